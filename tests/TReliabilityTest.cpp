// Hostile input, faults and properties: the command stays safe and exact.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include <gridsnip/tools/TMapTools.h>
#include "TCropReference.h"
#include "TestSupport.h"

namespace {

const std::string kHeader =
    "ncols 3\nnrows 2\nxllcorner 2\nyllcorner 4\ncellsize 0.5\nNODATA_value -9999\n";
const std::string kEndOfFile = "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile\n";

std::string ValueMessage(const std::string& token, int column, int row) {
    return "File format error: value '" + token + "' at column " + std::to_string(column) +
           ", row " + std::to_string(row) +
           " is not a number in TARCGISFileTools::LoadARCGISFile\n";
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizers reserve more address space than any limit
#else
constexpr bool kSanitized = false;
#endif

ProcessOptions Limited() {
    ProcessOptions options;
    options.MbrIntCpuSeconds = 20;
    options.MbrLngMemoryLimit = kSanitized ? 0 : 512L << 20;
    return options;
}

}  // namespace

TEST(TReliability, HostileInputIsRefusedWithOneLine) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string input;
        std::string message;
    } cases[] = {
        {"empty", "", "File format error: expected to find ncols tag\n"},
        {"binary",
         std::string("\x7f"
                     "ELF\0\0\x01\xff\xfe",
                     9) +
             std::string(1000, '\0'),
         "File format error: expected to find ncols tag\n"},
        {"two billion rows",
         "ncols 2000000000 nrows 2000000000 xllcorner 0 yllcorner 0 "
         "cellsize 1 NODATA_value -9999 1 2 3",
         kEndOfFile},
        {"cells beyond 32 bits",
         "ncols 100000 nrows 100000 xllcorner 0 yllcorner 0 "
         "cellsize 1 NODATA_value -9999 1 2 3",
         kEndOfFile},
        {"ncols beyond 32 bits", "ncols 99999999999 nrows 2 xllcorner 0",
         "File format error: expectd to find nrows tag\n"},
        {"ncols beyond 64 bits", "ncols 999999999999999999999 nrows 2",
         "File format error: expectd to find nrows tag\n"},
        {"10 MB token", kHeader + std::string(10 << 20, '7') + " 2 3 4 5 6",
         ValueMessage(std::string(32, '7'), 0, 0)},
        {"only white space", kHeader + std::string(100000, ' ') + "\n\t\r\n", kEndOfFile},
        {"no NODATA line", "ncols 3\nnrows 2\nxllcorner 2\nyllcorner 4\ncellsize 0.5\n1 2 3 4 5 6",
         "File format error: expected to find NODATA_value tag\n"},
        {"1e999", kHeader + "1 1e999 3 4 5 6", ValueMessage("1e999", 1, 0)},
        {"0x10", kHeader + "1 2 3 0x10 5 6", ValueMessage("0x10", 0, 1)},
        {"1,5", kHeader + "1,5 2 3 4 5 6", ValueMessage("1,5", 0, 0)},
        {"--3", kHeader + "1 2 3 4 5 --3", ValueMessage("--3", 2, 1)},
        {"byte-order mark", "\xef\xbb\xbf" + kHeader + "1 2 3 4 5 6",
         "File format error: expected to find ncols tag\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string in = dir.Path("in.asc"), out = dir.Path("out.asc");
        WriteFile(in, c.input);
        const ProcessResult result =
            RunProcessWith(GRIDSNIP_EXE, {"2.6", "4.9", "3.2", "4.1", in, out}, "", Limited());
        EXPECT_EQ(result.MbrErr, c.message);
        EXPECT_EQ(result.MbrStatus, 1);
        EXPECT_EQ(result.MbrOut, "");
        EXPECT_FALSE(FileExists(out));
        // The same through standard input.
        const ProcessResult piped =
            RunProcessWith(GRIDSNIP_EXE, {"2.6", "4.9", "3.2", "4.1"}, c.input, Limited());
        EXPECT_EQ(piped.MbrErr, c.message);
        EXPECT_EQ(piped.MbrStatus, 1);
        EXPECT_EQ(piped.MbrOut, "");
    }
}

TEST(TReliability, SpecialValuesAreNumbers) {
    // nan, -nan, inf and +5 are numbers by the rule, so the crop succeeds.
    const ProcessResult result =
        RunProcess(GRIDSNIP_EXE, {"2", "5", "3.5", "4"}, kHeader + "nan -nan inf -inf +5 6");
    EXPECT_EQ(result.MbrStatus, 0);
    EXPECT_NE(result.MbrOut.find("nan -nan inf \n-inf 5 6 \n"), std::string::npos) << result.MbrOut;
}

TEST(TReliability, FoldersAndPipesAsFiles) {
    TempDir dir;
    const std::string in = dir.Path("in.asc");
    WriteFile(in, kHeader + "1 2 3 4 5 6");
    // A folder as input, and as output.
    ProcessResult folder = RunProcess(GRIDSNIP_EXE, {"2.6", "4.9", "3.2", "4.1", dir.Path("")}, "");
    EXPECT_EQ(folder.MbrErr, "Unable to open file " + dir.Path("") + "\n");
    EXPECT_EQ(folder.MbrStatus, 1);
    mkdir(dir.Path("sub").c_str(), 0755);
    folder = RunProcess(GRIDSNIP_EXE, {"2.6", "4.9", "3.2", "4.1", in, dir.Path("sub")}, "");
    EXPECT_EQ(folder.MbrErr, "Unable to open file " + dir.Path("sub") + "\n");
    EXPECT_EQ(folder.MbrStatus, 1);

    // A named pipe whose writer gives up half way.
    const std::string fifo = dir.Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        std::ofstream pipe(fifo);
        pipe << kHeader << "1 2 3";
    });
    const ProcessResult early = RunProcessWith(
        GRIDSNIP_EXE, {"2.6", "4.9", "3.2", "4.1", fifo, dir.Path("out.asc")}, "", Limited());
    writer.join();
    EXPECT_EQ(early.MbrErr, kEndOfFile);
    EXPECT_EQ(early.MbrStatus, 1);
    EXPECT_FALSE(FileExists(dir.Path("out.asc")));
}

TEST(TReliability, ReaderThatGoesAwayEndsTheCommand) {
    // Standard output closed by its reader: the command ends (by SIGPIPE or with
    // the write message), it does not hang.
    const std::string sample = std::string(GRIDSNIP_EXAMPLES_DIR) + "/sample.asc";
    ProcessOptions options = Limited();
    options.MbrBoolCloseStdout = true;
    const ProcessResult result = RunProcessWith(
        GRIDSNIP_EXE, {"-120.999", "38.249", "-119.34", "37.001", sample}, "", options);
    EXPECT_TRUE(result.MbrStatus == 128 + SIGPIPE ||
                (result.MbrStatus == 1 && result.MbrErr == "Unable to write to standard output\n"))
        << result.MbrStatus << " " << result.MbrErr;
}

TEST(TReliability, MemoryNeverFollowsTheGridFromAFile) {
    if (kSanitized) {
        GTEST_SKIP() << "address-space limits do not apply under the sanitizers";
    }
    // 4500 x 4500 cells, 81 MB of text, in 48 MiB of address space: from the
    // file the whole grid comes through (memory does not grow with the
    // window); from standard input the window's text is held until the input
    // is checked, so the whole window cannot be, and a small one can.
    TempDir dir;
    const std::string grid = dir.Path("big.asc");
    std::string text =
        "ncols 4500\nnrows 4500\nxllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n";
    {
        std::ofstream out(grid);
        out << text;
        std::string row;
        for (int i = 0; i < 4500; ++i)
            row += "1.5 ";
        row += "\n";
        for (int i = 0; i < 4500; ++i)
            out << row;
    }
    ProcessOptions options;
    options.MbrLngMemoryLimit = 48L << 20;
    options.MbrStrStdoutPath = dir.Path("out.asc");
    const ProcessResult whole =
        RunProcessWith(GRIDSNIP_EXE, {"0", "4500", "4500", "0", grid}, "", options);
    EXPECT_EQ(whole.MbrErr, "");
    EXPECT_EQ(whole.MbrStatus, 0);
    EXPECT_EQ(ReadFile(dir.Path("out.asc")).size(),
              std::string("ncols 4500\nnrows 4500\nxllcorner        0\nyllcorner        0\n"
                          "cellsize 1\nNODATA_value -9999\n")
                      .size() +
                  4500u * (4500u * 4u + 1u));

    const std::string input = ReadFile(grid);
    options.MbrStrStdoutPath = "";
    const ProcessResult piped =
        RunProcessWith(GRIDSNIP_EXE, {"0", "4500", "4500", "0"}, input, options);
    EXPECT_EQ(piped.MbrErr, "Not enough memory to crop this grid\n");
    EXPECT_EQ(piped.MbrStatus, 1);
    EXPECT_EQ(piped.MbrOut, "");
    const ProcessResult small =
        RunProcessWith(GRIDSNIP_EXE, {"100.5", "200.5", "109.5", "191.5"}, input, options);
    EXPECT_EQ(small.MbrErr, "");
    EXPECT_EQ(small.MbrStatus, 0);
    EXPECT_EQ(small.MbrOut.substr(0, 18), "ncols 10\nnrows 10\n");
}

TEST(TReliability, HeaderClaimsFailAtOnceInLittleMemory) {
    if (kSanitized) {
        GTEST_SKIP() << "address-space limits do not apply under the sanitizers";
    }
    // A 90-byte file that claims 2^24 x 2^24 cells, and one that claims
    // 2^31 - 2 columns: nothing is allocated or formed from the claim before
    // the body has shown that it holds it. 16 MiB of address space and two
    // CPU seconds are far below what forming 2^31 edges would take.
    TempDir dir;
    ProcessOptions options;
    options.MbrLngMemoryLimit = 16L << 20;
    options.MbrIntCpuSeconds = 2;
    for (const std::string claim :
         {"ncols 16777216\nnrows 16777216\n", "ncols 2147483646\nnrows 2147483646\n"}) {
        const std::string text =
            claim + "xllcorner 0\nyllcorner 0\ncellsize 1\nNODATA_value -9999\n1 2 3\n";
        WriteFile(dir.Path("claim.asc"), text);
        const ProcessResult file = RunProcessWith(
            GRIDSNIP_EXE, {"0.5", "1.5", "1.5", "0.5", dir.Path("claim.asc")}, "", options);
        EXPECT_EQ(file.MbrErr, kEndOfFile);
        EXPECT_EQ(file.MbrStatus, 1);
        const ProcessResult piped =
            RunProcessWith(GRIDSNIP_EXE, {"0.5", "1.5", "1.5", "0.5"}, text, options);
        EXPECT_EQ(piped.MbrErr, kEndOfFile);
        EXPECT_EQ(piped.MbrStatus, 1);
    }
}

TEST(TReliability, EndlessInputWithoutWhiteSpaceFailsAtOnce) {
    // /dev/zero as the input file and as standard input: its first word is no
    // tag once it is longer than the longest tag, so the ncols message comes
    // at once, in little memory (as much as the sanitizers leave measurable)
    // and little CPU time.
    ProcessOptions options;
    options.MbrIntCpuSeconds = 5;
    options.MbrLngMemoryLimit = kSanitized ? 0 : 32L << 20;
    const std::string exe = GRIDSNIP_EXE;
    const ProcessResult named = RunProcessWith(exe, {"0", "0", "1", "1", "/dev/zero"}, "", options);
    const ProcessResult piped =
        RunProcessWith("/bin/sh", {"-c", "exec \"$0\" 0 0 1 1 < /dev/zero", exe}, "", options);
    for (const ProcessResult& result : {named, piped}) {
        EXPECT_EQ(result.MbrErr, "File format error: expected to find ncols tag\n");
        EXPECT_EQ(result.MbrStatus, 1);
        EXPECT_EQ(result.MbrOut, "");
    }
}

TEST(TReliability, FalseClaimOnALongPipeFailsWithoutFormingTheClaim) {
    // 2^31 - 2 columns and rows claimed, 9 MB of body (more than is read
    // ahead before the corners are looked up), corners in the first cells:
    // the lookup stops at the few edges that hold the corners, and the end of
    // the input comes within a fraction of the CPU seconds that forming 2^31
    // edges per axis takes.
    ProcessOptions options;
    options.MbrIntCpuSeconds = 3;
    std::string text =
        "ncols 2147483646\nnrows 2147483646\nxllcorner 0\nyllcorner 0\ncellsize 1\n"
        "NODATA_value -9999\n";
    for (int i = 0; i < 4500000; ++i) {
        text += "1\n";
    }
    const ProcessResult piped = RunProcessWith(GRIDSNIP_EXE, {"0", "1", "1", "0"}, text, options);
    EXPECT_EQ(piped.MbrErr, kEndOfFile);
    EXPECT_EQ(piped.MbrStatus, 1);
}

namespace {

// The command in memory on a grid text; "" for an error.
std::string Crop(const std::string& grid, double x1, double y1, double x2, double y2) {
    std::ostringstream words[4];
    const double corners[4] = {x1, y1, x2, y2};
    std::string text[4];
    for (int i = 0; i < 4; ++i) {
        words[i].precision(17);
        words[i] << corners[i];
        text[i] = words[i].str();
    }
    const char* argv[] = {"gridsnip", text[0].c_str(), text[1].c_str(), text[2].c_str(),
                          text[3].c_str()};
    TMemoryInput in(grid, 1 << 20, false);
    TMemoryOutput out;
    std::ostringstream err;
    return TCropCommand::Run(5, argv, in, out, err) == 0 ? out.MbrStrText : "";
}

std::string RandomGrid(std::mt19937& random, int& columns, int& rows) {
    columns = 1 + static_cast<int>(random() % 9);
    rows = 1 + static_cast<int>(random() % 9);
    const double cells[] = {1, 0.25, 0.1, 0.000833333333333333};
    std::ostringstream grid;
    grid.precision(15);
    grid << "ncols " << columns << "\nnrows " << rows << "\nxllcorner "
         << static_cast<double>(static_cast<int>(random() % 4000) - 2000) / 16 << "\nyllcorner "
         << static_cast<double>(static_cast<int>(random() % 2000) - 1000) / 16 << "\ncellsize "
         << cells[random() % 4] << "\nNODATA_value " << (random() % 2 ? -9999 : -32768) << "\n";
    for (int i = 0; i < columns * rows; ++i) {
        grid << static_cast<double>(random() % 2000000) / 1000 - 1000 << ' ';
    }
    return grid.str();
}

}  // namespace

TEST(TReliability, PropertiesOfCrops) {
    std::mt19937 random(42);
    for (int trial = 0; trial < 300; ++trial) {
        int columns, rows;
        const std::string grid = RandomGrid(random, columns, rows);
        const auto map = LoadText(grid);
        const TAxis* x = map->MbrPtrXAxisInterval;
        const TAxis* y = map->MbrPtrYAxisInterval;
        const double west = x->GetPoint(0)->MbrDblX, east = x->GetPoint(columns)->MbrDblX;
        const double north = y->GetPoint(0)->MbrDblY, south = y->GetPoint(rows)->MbrDblY;
        // The grid's own outer edges give the grid back, every value bit for bit.
        const auto whole = LoadText(Crop(grid, west, north, east, south));
        ASSERT_EQ(whole->MbrLngXDim, columns) << grid;
        ASSERT_EQ(whole->MbrLngYDim, rows) << grid;
        ASSERT_EQ(Values(whole.get()), Values(map.get())) << grid;
        // Corners in any of the four orders give the same window.
        // Corners a fraction of a cell inside the cells.
        const double cell = map->MbrDblResolution;
        const auto column = [&] {
            return static_cast<int>(random() % static_cast<unsigned>(columns));
        };
        const auto row = [&] {
            return static_cast<int>(random() % static_cast<unsigned>(rows)) + 1;
        };
        const double ax = x->GetPoint(column())->MbrDblX + cell * 0.125;
        const double bx = x->GetPoint(column())->MbrDblX + cell * 0.5;
        const double ay = y->GetPoint(row())->MbrDblY + cell * 0.25;
        const double by = y->GetPoint(row())->MbrDblY + cell * 0.75;
        const std::string window = Crop(grid, ax, ay, bx, by);
        ASSERT_NE(window, "");
        EXPECT_EQ(Crop(grid, bx, by, ax, ay), window);
        EXPECT_EQ(Crop(grid, ax, by, bx, ay), window);
        EXPECT_EQ(Crop(grid, bx, ay, ax, by), window);
        // Cropping the crop with inner corners (cell centres of the window) equals
        // cropping the source with them.
        const auto cut = LoadText(window);
        const auto centre = [&](const TAxis* axis, char selector) {
            const TPoint* p =
                axis->GetPoint(static_cast<int>(random() % static_cast<unsigned>(axis->GetSize())));
            return selector == 'X' ? p->MbrDblX : p->MbrDblY;
        };
        const double cx = centre(cut->MbrPtrXAxis, 'X'), cy = centre(cut->MbrPtrYAxis, 'Y');
        const double dx = centre(cut->MbrPtrXAxis, 'X'), dy = centre(cut->MbrPtrYAxis, 'Y');
        // Same cells, values and marker; the corners agree to the written
        // precision, as each crop recomputes its edges from its centres.
        const auto twice = LoadText(Crop(window, cx, cy, dx, dy));
        const auto once = LoadText(Crop(grid, cx, cy, dx, dy));
        EXPECT_EQ(Values(twice.get()), Values(once.get())) << grid;
        EXPECT_EQ(twice->MbrDblNoData, once->MbrDblNoData);
        const auto corner = [](const TMap* m, int i) {
            return i == 0 ? m->MbrPtrXAxisInterval->GetPoint(0)->MbrDblX
                          : m->MbrPtrYAxisInterval->GetPoint(m->MbrLngYDim)->MbrDblY;
        };
        for (int i = 0; i < 2; ++i) {
            const double a = corner(twice.get(), i), b = corner(once.get(), i);
            EXPECT_NEAR(a, b, 1e-12 * std::max(1.0, std::fabs(b))) << grid;
        }
        // Write, load and write again is a fixed point.
        EXPECT_EQ(WriteText(LoadText(WriteText(map.get(), 17)).get(), 17),
                  WriteText(map.get(), 17));
    }
}
