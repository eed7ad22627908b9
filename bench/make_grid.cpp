// make_grid: writes a deterministic synthetic ArcGIS ASCII grid for the benchmarks.
//
//   make_grid COLUMNS ROWS decimal|integer > grid.asc
//
// Values have up to six significant digits (decimal: two decimals, up to
// 9999.99; integer: up to 99999); one cell in twenty holds the no-data marker.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4 ||
        (std::strcmp(argv[3], "decimal") != 0 && std::strcmp(argv[3], "integer") != 0)) {
        std::fprintf(stderr, "usage: make_grid COLUMNS ROWS decimal|integer\n");
        return 2;
    }
    const long columns = std::atol(argv[1]);
    const long rows = std::atol(argv[2]);
    const bool decimal = std::strcmp(argv[3], "decimal") == 0;
    std::printf(
        "ncols %ld\nnrows %ld\nxllcorner -120.000416666667\nyllcorner 35.000416666667\n"
        "cellsize 0.000833333333333333\nNODATA_value -9999\n",
        columns, rows);
    std::uint64_t state = 88172645463325252ull;  // xorshift: the same grid every run
    std::string line;
    char number[32];
    for (long y = 0; y < rows; ++y) {
        line.clear();
        for (long x = 0; x < columns; ++x) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            if (state % 20 == 0) {
                line += "-9999";
            } else if (decimal) {
                const std::uint64_t v = (state >> 8) % 1000000;  // 0.00 .. 9999.99
                line += std::to_string(v / 100);
                if (v % 100 != 0) {
                    std::snprintf(number, sizeof number, ".%02u", static_cast<unsigned>(v % 100));
                    std::string fraction = number;
                    while (fraction.back() == '0')
                        fraction.pop_back();
                    line += fraction;
                }
            } else {
                line += std::to_string((state >> 8) % 100000);
            }
            line += x + 1 < columns ? ' ' : '\n';
        }
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}
