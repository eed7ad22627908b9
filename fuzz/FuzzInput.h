// FuzzInput: helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Stops the run loudly: libFuzzer and the replay both report an abort.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

// Takes lines off the front of the input.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : MbrStrText(reinterpret_cast<const char*>(data), size) {}

    // The next line (without its line end), or what is left.
    std::string Line() {
        const std::size_t end = MbrStrText.find('\n', MbrSizeAt);
        const std::size_t stop = end == std::string::npos ? MbrStrText.size() : end;
        std::string line = MbrStrText.substr(MbrSizeAt, stop - MbrSizeAt);
        MbrSizeAt = end == std::string::npos ? MbrStrText.size() : end + 1;
        return line;
    }
    std::string Rest() const { return MbrStrText.substr(MbrSizeAt); }

  private:
    std::string MbrStrText;
    std::size_t MbrSizeAt = 0;
};
