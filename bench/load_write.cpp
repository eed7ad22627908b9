// load_write: times loading a whole grid and writing it, as the library does it.
//
//   load_write GRID.asc RUNS
//
// Prints one line per measurement: "load SECONDS", "write6 SECONDS BYTES" and
// "write15 SECONDS BYTES" (the default precision and precision 15), the median
// of RUNS runs, output counted and dropped.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <streambuf>
#include <vector>

#include <gridsnip/files/TARCGISFileTools.h>

namespace {

// Counts what is written and throws it away.
class TCountingBuf : public std::streambuf {
  public:
    long MbrLngBytes = 0;

  protected:
    int_type overflow(int_type c) override {
        MbrLngBytes += c == traits_type::eof() ? 0 : 1;
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        MbrLngBytes += static_cast<long>(n);
        return n;
    }
};

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: load_write GRID.asc RUNS\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[2]));
    std::vector<double> loads;
    std::unique_ptr<TMap> map;
    for (int i = 0; i < runs; ++i) {
        map.reset();
        const auto start = std::chrono::steady_clock::now();
        map.reset(TARCGISFileTools::LoadARCGISFile(std::string(argv[1])));
        loads.push_back(Seconds(start));
    }
    std::printf("load %.4f\n", Median(loads));
    for (int precision : {6, 15}) {
        std::vector<double> writes;
        long bytes = 0;
        for (int i = 0; i < runs; ++i) {
            TCountingBuf sink;
            std::ostream out(&sink);
            out.precision(precision);
            const auto start = std::chrono::steady_clock::now();
            TARCGISFileTools::WriteARCGISFile(map.get(), out);
            writes.push_back(Seconds(start));
            bytes = sink.MbrLngBytes;
        }
        std::printf("write%d %.4f %ld\n", precision, Median(writes), bytes);
    }
    return 0;
}
