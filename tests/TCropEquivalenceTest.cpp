// The streaming crop gives exactly what loading the whole grid and cutting it gives.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include <gridsnip/tools/TMapTools.h>
#include "TestSupport.h"
#include "app/TCropCommand.h"

namespace {

struct Outcome {
    std::string out, err;
    int status;
    bool operator==(const Outcome&) const = default;
};

// The crop the plain way: the whole grid loaded, then cut, then written.
Outcome Plain(const std::string& grid, const double (&corners)[4]) {
    Outcome outcome{"", "", 0};
    try {
        std::istringstream in(grid);
        const std::unique_ptr<TMap> whole(TARCGISFileTools::LoadARCGISFile(in));
        const TPoint nw(corners[0], corners[1]), se(corners[2], corners[3]);
        const std::unique_ptr<TMap> window(TMapTools::Extract(whole.get(), &nw, &se));
        std::ostringstream out;
        out.precision(15);
        TARCGISFileTools::WriteARCGISFile(window.get(), out);
        outcome.out = out.str();
    } catch (const TGridError& error) {
        outcome.err = std::string(error.what()) + "\n";
        outcome.status = 1;
    }
    return outcome;
}

Outcome Streamed(const std::string& grid, const double (&corners)[4]) {
    std::ostringstream texts[4];
    const std::string words[4] = {(texts[0].precision(17), texts[0] << corners[0], texts[0].str()),
                                  (texts[1].precision(17), texts[1] << corners[1], texts[1].str()),
                                  (texts[2].precision(17), texts[2] << corners[2], texts[2].str()),
                                  (texts[3].precision(17), texts[3] << corners[3], texts[3].str())};
    const char* argv[] = {"gridsnip", words[0].c_str(), words[1].c_str(), words[2].c_str(),
                          words[3].c_str()};
    std::istringstream in(grid);
    std::ostringstream out, err;
    const int status = TCropCommand::Run(5, argv, in, out, err);
    return {out.str(), err.str(), status};
}

}  // namespace

TEST(TCropEquivalence, StreamedAndPlainCropsAgree) {
    std::mt19937 random(2026);
    const double cells[] = {1, 0.5, 0.1, 1.0 / 3, 0.000833333333333333};
    int windows = 0, failures = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const int columns = 1 + static_cast<int>(random() % 6);
        const int rows = 1 + static_cast<int>(random() % 6);
        const double cell = cells[random() % 5];
        const double west = static_cast<double>(static_cast<int>(random() % 200) - 100) / 8;
        const double south = static_cast<double>(static_cast<int>(random() % 200) - 100) / 8;
        std::ostringstream grid;
        grid.precision(17);
        grid << "ncols " << columns << "\nnrows " << rows << "\nxllcorner " << west
             << "\nyllcorner " << south << "\ncellsize " << cell << "\nNODATA_value -9999\n";
        std::vector<std::string> tokens;
        for (int i = 0; i < columns * rows; ++i) {
            std::ostringstream v;
            v << (random() % 7 == 0 ? -9999.0 : static_cast<double>(random() % 100000) / 100);
            tokens.push_back(v.str());
        }
        // Some bodies are broken: a bad token, or cut short.
        const unsigned damage = random() % 10;
        if (damage == 0)
            tokens[random() % tokens.size()] = "1,5";
        if (damage == 1)
            tokens.pop_back();
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            grid << tokens[i] << ((i + 1) % static_cast<std::size_t>(columns) == 0 ? "\n" : " ");
        }
        // Corners inside, outside, and exactly on cell boundaries.
        const auto coordinate = [&](double origin, int count) {
            const int k = static_cast<int>(random() % static_cast<unsigned>(count + 3)) - 1;
            double v = origin;
            for (int i = 0; i < k; ++i)
                v += cell;
            return random() % 2 ? v : v + cell * static_cast<double>(random() % 100) / 100;
        };
        const double corners[4] = {coordinate(west, columns), coordinate(south, rows),
                                   coordinate(west, columns), coordinate(south, rows)};
        const Outcome plain = Plain(grid.str(), corners);
        ASSERT_EQ(Streamed(grid.str(), corners), plain)
            << grid.str() << corners[0] << " " << corners[1] << " " << corners[2] << " "
            << corners[3];
        (plain.status == 0 ? windows : failures) += 1;
    }
    // Both kinds of outcome were exercised.
    EXPECT_GT(windows, 500);
    EXPECT_GT(failures, 500);
}
