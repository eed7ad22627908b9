// TInputFile: a named file or standard input, read with read(2) and pread(2).
#pragma once

#include <cstdint>
#include <string>

#include "app/TInput.h"

// Regular files (also a regular file on standard input) are positional; pipes,
// FIFOs and devices are read once, in order. read is retried after EINTR, and
// after EAGAIN on non-blocking input it waits with poll and reads on. Any
// other failure throws "Unable to read file NAME" (a named file) or "Unable to
// read standard input".
class TInputFile : public TInput {
  public:
    // Standard input, which stays open.
    TInputFile();
    // Opens the named file. Throws "Unable to open file NAME" when it cannot be
    // opened for reading or is a folder.
    explicit TInputFile(const std::string& name);
    ~TInputFile() override;
    TInputFile(const TInputFile&) = delete;
    TInputFile& operator=(const TInputFile&) = delete;

    std::size_t Read(char* to, std::size_t size) override;
    bool Positional() const override { return MbrBoolPositional; }
    std::uint64_t Size() const override { return MbrSizeSize; }
    std::size_t ReadAt(char* to, std::size_t size, std::uint64_t offset) const override;
    [[noreturn]] void FailRead() const override;

  private:
    void Describe();

    int MbrIntFd;
    bool MbrBoolOwned;
    std::string MbrStrName;  // empty for standard input
    bool MbrBoolPositional = false;
    std::uint64_t MbrSizeBase = 0;  // where standard input stood when it was taken over
    std::uint64_t MbrSizeSize = 0;
};
