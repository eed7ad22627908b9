// The crop engine gives exactly what loading the whole grid, cutting it and writing it gives.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "TCropReference.h"

namespace {

// A value token of any shape the format allows: short decimals (copied
// through), long ones, exponents, signs, leading and trailing zeros, special
// values (all converted by the exact rule).
std::string RandomValue(std::mt19937& random) {
    switch (random() % 12) {
        case 0:
            return "-9999";
        case 1: {
            std::ostringstream v;
            v.precision(17);
            v << std::uniform_real_distribution<double>(-5000, 5000)(random);
            return v.str();  // up to 17 significant digits
        }
        case 2:
            return std::to_string(random() % 1000) + "e" + std::to_string(random() % 40);
        case 3:
            return "+" + std::to_string(random() % 1000);
        case 4:
            return "0" + std::to_string(random() % 1000) + ".50";
        case 5:
            return "." + std::to_string(random() % 1000);
        case 6:
            return random() % 2 ? "nan" : "-inf";
        case 7:
            return "0.0000" + std::to_string(1 + random() % 1000);
        default:
            return std::to_string(static_cast<double>(random() % 100000) / 100).substr(0, 7);
    }
}

// The engine in one of its ways of reading: a file split across 1 to 4
// threads with notes every few bytes, or a stream; pieces of 1 byte to 4 MiB.
struct TWay {
    bool MbrBoolPositional;
    std::size_t MbrSizePiece;
    TCropEngine::TOptions MbrOptions;
};

TWay RandomWay(std::mt19937& random) {
    const std::size_t pieces[] = {1, 2, 7, 64, 4096, std::size_t{4} << 20};
    TWay way{random() % 2 == 0, pieces[random() % 6], {}};
    way.MbrOptions.MbrIntThreads = 1 + static_cast<unsigned>(random() % 4);
    way.MbrOptions.MbrSizeNoteSpacing = 1 + random() % 64;
    return way;
}

}  // namespace

TEST(TCropEquivalence, EngineAndPlainCropsAgree) {
    std::mt19937 random(2026);
    const double cells[] = {1, 0.5, 0.1, 1.0 / 3, 0.000833333333333333, 0.008333333333333333};
    int windows = 0, badValues = 0, shortBodies = 0, outside = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        // Windows of every shape: single cells, rows, columns, the whole grid.
        const int columns = 1 + static_cast<int>(random() % (trial % 3 == 0 ? 40 : 6));
        const int rows = 1 + static_cast<int>(random() % (trial % 3 == 1 ? 40 : 6));
        const double cell = cells[random() % 6];
        const double west = static_cast<double>(static_cast<int>(random() % 200) - 100) / 8;
        const double south = static_cast<double>(static_cast<int>(random() % 200) - 100) / 8;
        std::ostringstream grid;
        grid.precision(17);
        grid << "ncols " << columns << "\nnrows " << rows << "\nxllcorner " << west
             << "\nyllcorner " << south << "\ncellsize " << cell << "\nNODATA_value "
             << (random() % 2 ? "-9999" : "-3.4028234663852886e+38") << "\n";
        std::vector<std::string> tokens;
        for (int i = 0; i < columns * rows + static_cast<int>(random() % 3); ++i) {
            tokens.push_back(RandomValue(random));
        }
        // Broken bodies: several bad tokens (some after the last expected
        // value, where they do not count), or a body cut short.
        const unsigned damage = random() % 8;
        if (damage <= 1) {
            for (unsigned k = 0; k <= random() % 3; ++k) {
                tokens[random() % tokens.size()] = damage == 0 ? "1,5" : "--3";
            }
        }
        if (damage == 2) {
            tokens.resize(random() % tokens.size());
        }
        const std::string separators[] = {" ", "\n", "\r\n", "\t ", "  "};
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            grid << tokens[i] << separators[random() % 5];
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
        const TCropOutcome plain = TCropReference::Plain(grid.str(), corners);
        const TWay way = RandomWay(random);
        ASSERT_EQ(TCropReference::Engine(grid.str(), corners, way.MbrSizePiece,
                                         way.MbrBoolPositional, way.MbrOptions),
                  plain)
            << grid.str() << corners[0] << " " << corners[1] << " " << corners[2] << " "
            << corners[3] << (way.MbrBoolPositional ? " file, " : " stream, ")
            << way.MbrOptions.MbrIntThreads << " threads, pieces of " << way.MbrSizePiece;
        if (plain.MbrIntStatus == 0) {
            ++windows;
        } else if (plain.MbrStrErr.find("is not a number") != std::string::npos) {
            ++badValues;
        } else if (plain.MbrStrErr.find("Unexpected end") != std::string::npos) {
            ++shortBodies;
        } else {
            ++outside;
        }
    }
    // Every kind of outcome was exercised.
    EXPECT_GT(windows, 600);
    EXPECT_GT(badValues, 400);
    EXPECT_GT(shortBodies, 250);
    EXPECT_GT(outside, 800);
}

TEST(TCropEquivalence, GridsWiderAndTallerThanTwoToThe24) {
    // One row of 2^24 + 5 cells and one column as tall. Cell size 1 from 0
    // keeps every edge exact, so the window's header is known: two cells at
    // the far end of the grid.
    constexpr int kCells = (1 << 24) + 5;
    std::string values;
    values.reserve(static_cast<std::size_t>(kCells) * 2 + 16);
    for (int i = 0; i < kCells; ++i) {
        values += static_cast<char>('0' + i % 10);
        values += ' ';
    }
    const std::string tail =
        std::to_string((kCells - 2) % 10) + " " + std::to_string((kCells - 1) % 10) + " ";
    const std::string wide = "ncols " + std::to_string(kCells) +
                             " nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999\n" +
                             values;
    const std::string tall = "ncols 1 nrows " + std::to_string(kCells) +
                             " xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999\n" + values;
    const double east = kCells;
    const double wideCorners[4] = {east - 1.5, 0.5, east - 0.5, 0.5};
    // Rows count from the north: the last two rows lie between Y 0 and 2.
    const double tallCorners[4] = {0.5, 1.5, 0.5, 0.5};
    const std::string wideWindow = "ncols 2\nnrows 1\nxllcorner " + std::to_string(kCells - 2) +
                                   "\nyllcorner        0\ncellsize 1\nNODATA_value -9999\n" + tail +
                                   "\n";
    const std::string tallWindow =
        "ncols 1\nnrows 2\nxllcorner        0\nyllcorner        0\ncellsize 1\nNODATA_value "
        "-9999\n" +
        std::to_string((kCells - 2) % 10) + " \n" + std::to_string((kCells - 1) % 10) + " \n";
    for (bool positional : {true, false}) {
        SCOPED_TRACE(positional ? "file" : "stream");
        const TCropOutcome wideCrop =
            TCropReference::Engine(wide, wideCorners, std::size_t{1} << 20, positional);
        EXPECT_EQ(wideCrop, (TCropOutcome{wideWindow, "", 0}));
        const TCropOutcome tallCrop =
            TCropReference::Engine(tall, tallCorners, std::size_t{1} << 20, positional);
        EXPECT_EQ(tallCrop, (TCropOutcome{tallWindow, "", 0}));
    }
}
