// Test helpers: grids from inline text, and the command run as a real process.
#pragma once

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gridsnip/files/TARCGISFileTools.h>
#include <gridsnip/grid/TGridError.h>
#include <gridsnip/grid/TMap.h>

// The 3 x 2 grid used throughout: X edges 2, 2.5, 3, 3.5; Y edges 5, 4.5, 4.
inline const char* const kSmallGrid =
    "ncols 3\nnrows 2\nxllcorner 2\nyllcorner 4\ncellsize 0.5\nNODATA_value -9999\n"
    "1 2 3\n4 5 6\n";

inline std::unique_ptr<TMap> LoadText(const std::string& text) {
    std::istringstream in(text);
    return std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFile(in));
}

// A random plain number of up to five digits: a point somewhere in half of
// them, a minus sign on a quarter.
template <typename Random>
std::string RandomPlainToken(Random& random) {
    std::string t = std::to_string(random() % 100000);
    if (random() % 2)
        t.insert(t.begin() + static_cast<std::ptrdiff_t>(t.size() - random() % t.size()), '.');
    if (random() % 4 == 0)
        t = "-" + t;
    return t;
}

using Rows = std::vector<std::vector<double>>;
using MapPtr = std::unique_ptr<TMap>;
inline const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Takes over a map an operation returned.
inline MapPtr Own(TMap* map) {
    return MapPtr(map);
}

// A grid with its lower-left corner at (0, 0), rows given north first.
inline std::unique_ptr<TMap> Grid(double cellsize, const std::vector<std::vector<double>>& rows,
                                  double noData = -9999) {
    std::ostringstream text;
    text.precision(17);
    text << "ncols " << rows[0].size() << " nrows " << rows.size()
         << " xllcorner 0 yllcorner 0 cellsize " << cellsize << " NODATA_value " << noData;
    for (const auto& row : rows) {
        for (double v : row)
            text << ' ' << v;
    }
    return LoadText(text.str());
}

inline std::string WriteText(const TMap* map, std::streamsize precision = 6) {
    std::ostringstream out;
    out.precision(precision);
    TARCGISFileTools::WriteARCGISFile(map, out);
    return out.str();
}

// The message a call raises, or "" when it raises none.
template <typename Call>
std::string MessageOf(Call&& call) {
    try {
        call();
    } catch (const TGridError& error) {
        return error.what();
    }
    return "";
}

inline std::vector<std::vector<double>> Values(const TMap* map) {
    return map->MbrVecValues;
}

struct ProcessResult {
    std::string MbrOut;
    std::string MbrErr;
    int MbrStatus = -1;  // exit status, or 128 + signal
};

struct ProcessOptions {
    std::string MbrStrStdoutPath;                // standard output to this file instead of a pipe
    bool MbrBoolCloseStdout = false;             // standard output a pipe nobody reads
    long MbrLngMemoryLimit = 0;                  // address-space limit in bytes, 0 for none
    int MbrIntCpuSeconds = 60;                   // CPU time limit
    std::vector<std::string> MbrVecEnvironment;  // NAME=VALUE set in the child
    bool MbrBoolIgnoreSigpipe = false;           // SIGPIPE ignored in the child (else its default)
    bool MbrBoolNonBlockingStdin = false;        // standard input a non-blocking pipe
    std::size_t MbrSizePauseAt = 0;              // input stops this far for a while (0: never)
    bool MbrBoolAsNobody = false;                // run as user and group 65534 (when root)
};

// Runs `program` with `arguments`, feeding `input` on standard input. With
// `stdoutPath` set, standard output goes to that file instead of a pipe.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& input, const std::string& stdoutPath = "");
ProcessResult RunProcessWith(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& input, const ProcessOptions& options);

// A fresh empty folder, removed with its files at the end of the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    std::string Path(const std::string& name) const { return MbrPath + "/" + name; }

  private:
    std::string MbrPath;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);
