// TCropReference: the crop the plain way, and the engine on text in memory, for tests and fuzzers.
#pragma once

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <memory>
#include <sstream>
#include <string>

#include <gridsnip/files/TARCGISFileTools.h>
#include <gridsnip/grid/TGridError.h>
#include <gridsnip/tools/TMapTools.h>
#include "app/TCropCommand.h"
#include "app/TInput.h"
#include "app/TOutput.h"
#include "numbers/TNumberText.h"

// A grid's text in memory, handed over in pieces of `piece` bytes, as a
// stream or as a positional input (a regular file).
class TMemoryInput : public TInput {
  public:
    TMemoryInput(std::string text, std::size_t piece, bool positional)
        : MbrStrText(std::move(text)), MbrSizePiece(piece), MbrBoolPositional(positional) {}

    std::size_t Read(char* to, std::size_t size) override {
        const std::size_t n = ReadAt(to, size, MbrSizeAt);
        MbrSizeAt += n;
        return n;
    }
    bool Positional() const override { return MbrBoolPositional; }
    std::uint64_t Size() const override { return MbrStrText.size(); }
    std::size_t ReadAt(char* to, std::size_t size, std::uint64_t offset) const override {
        if (offset >= MbrStrText.size()) {
            return 0;
        }
        const std::size_t n = std::min({size, MbrSizePiece, MbrStrText.size() - offset});
        std::memcpy(to, MbrStrText.data() + offset, n);
        return n;
    }
    [[noreturn]] void FailRead() const override {
        throw TGridError("Unable to read standard input");
    }

  private:
    std::string MbrStrText;
    std::size_t MbrSizePiece;
    bool MbrBoolPositional;
    std::size_t MbrSizeAt = 0;
};

// The window's text in memory; `MbrBoolFinished` once it was made final.
class TMemoryOutput : public TOutput {
  public:
    void Write(const char* data, std::size_t size) override { MbrStrText.append(data, size); }
    void Finish() override { MbrBoolFinished = true; }
    std::string MbrStrText;
    bool MbrBoolFinished = false;
};

struct TCropOutcome {
    std::string MbrStrOut, MbrStrErr;
    int MbrIntStatus = 0;
    bool operator==(const TCropOutcome&) const = default;
};

class TCropReference {
  public:
    // A coordinate as a command-line word that atof reads back exactly.
    static std::string CornerText(double value) {
        std::ostringstream text;
        text.precision(17);
        text << value;
        return text.str();
    }

    // The number as the exact rule writes it.
    static std::string Exact(double value) {
        char text[TNumberText::kExactRoom];
        return std::string(text, TNumberText::FormatExact(text, value));
    }

    // The whole grid loaded, cut by Extract, and written as the writer writes
    // a map (header from the map's edge axes, one row per line, every value
    // followed by a blank) with every number by the exact rule.
    static TCropOutcome Plain(const std::string& grid, const double (&corners)[4]) {
        TCropOutcome outcome;
        try {
            std::istringstream in(grid);
            const std::unique_ptr<TMap> whole(TARCGISFileTools::LoadARCGISFile(in));
            const TPoint nw(corners[0], corners[1]), se(corners[2], corners[3]);
            const std::unique_ptr<TMap> window(TMapTools::Extract(whole.get(), &nw, &se));
            const double west = window->MbrPtrXAxisInterval->GetPoint(0)->MbrDblX;
            const double north = window->MbrPtrYAxisInterval->GetPoint(0)->MbrDblY;
            const double last = window->MbrPtrYAxisInterval->GetPoint(window->MbrLngYDim)->MbrDblY;
            std::ostringstream out;
            out << "ncols " << window->MbrLngXDim << "\nnrows " << window->MbrLngYDim
                << "\nxllcorner " << std::setw(8) << Exact(west) << "\nyllcorner " << std::setw(8)
                << Exact(north < last ? north : last) << "\ncellsize "
                << Exact(window->MbrDblResolution) << "\nNODATA_value "
                << Exact(window->MbrDblNoData) << "\n";
            for (const std::vector<double>& row : window->MbrVecValues) {
                for (double v : row) {
                    out << Exact(v) << ' ';
                }
                out << '\n';
            }
            outcome.MbrStrOut = out.str();
        } catch (const TGridError& error) {
            outcome.MbrStrErr = std::string(error.what()) + "\n";
            outcome.MbrIntStatus = 1;
        }
        return outcome;
    }

    // The command on the grid as standard input and standard output.
    static TCropOutcome Engine(const std::string& grid, const double (&corners)[4],
                               std::size_t piece, bool positional,
                               const TCropEngine::TOptions& options = {}) {
        const std::string words[4] = {CornerText(corners[0]), CornerText(corners[1]),
                                      CornerText(corners[2]), CornerText(corners[3])};
        const char* argv[] = {"gridsnip", words[0].c_str(), words[1].c_str(), words[2].c_str(),
                              words[3].c_str()};
        TMemoryInput in(grid, piece, positional);
        TMemoryOutput out;
        std::ostringstream err;
        const int status = TCropCommand::Run(5, argv, in, out, err, options);
        TCropOutcome outcome{out.MbrStrText, err.str(), status};
        if (status == 0 && !out.MbrBoolFinished) {
            outcome.MbrStrErr += "(output not finished)";
        }
        return outcome;
    }
};
