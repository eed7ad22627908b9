// The gridsnip command run as a process: arguments, streams, files, exit status.
#include <gtest/gtest.h>

#include <sstream>

#include "TCropReference.h"
#include "TestSupport.h"

namespace {

const char* const kUsage =
    "Usage: gridsnip NW-Longitude NW-Latitude SE-Longitude SE-Latitude input_file output_file\n";

// The window of kSmallGrid between (2.6, 4.9) and (3.2, 4.1).
const char* const kWindow =
    "ncols 2\nnrows 2\nxllcorner      2.5\nyllcorner        4\ncellsize 0.5\n"
    "NODATA_value -9999\n2 3 \n5 6 \n";

ProcessResult Gridsnip(const std::vector<std::string>& arguments, const std::string& input = "",
                       const std::string& stdoutPath = "") {
    return RunProcess(GRIDSNIP_EXE, arguments, input, stdoutPath);
}

}  // namespace

TEST(TCropCommand, ArgumentCountsChooseInputAndOutput) {
    TempDir dir;
    const std::string in = dir.Path("in.asc");
    WriteFile(in, kSmallGrid);
    const std::string out = dir.Path("out.asc");
    const std::string extra = dir.Path("extra.asc");
    struct Case {
        std::vector<std::string> arguments;
        std::string input;
        std::string out, err;
        int status;
    } cases[] = {
        {{}, kSmallGrid, "", kUsage, 1},
        {{"2.6", "4.9", "3.2"}, kSmallGrid, "", kUsage, 1},
        {{"2.6", "4.9", "3.2", "4.1"}, kSmallGrid, kWindow, "", 0},
        {{"2.6", "4.9", "3.2", "4.1", in}, "", kWindow, "", 0},
        {{"2.6", "4.9", "3.2", "4.1", in, out}, "", "", "", 0},
        // Seven and more: standard output; the sixth argument is never created.
        {{"2.6", "4.9", "3.2", "4.1", in, extra, "x"}, "", kWindow, "", 0},
        // South-east corner first: the same window.
        {{"3.2", "4.1", "2.6", "4.9"}, kSmallGrid, kWindow, "", 0},
        // atof: a word is 0 and a number's tail is ignored.
        {{"2.6xyz", "4.9", "3.2", "4.1abc"}, kSmallGrid, kWindow, "", 0},
        {{"abc", "4.9", "3.2", "4.1"},
         kSmallGrid,
         "",
         "Ordinate is out of range in TAxis::GetIndex\n",
         1},
        {{"nan", "4.9", "3.2", "4.1", in},
         "",
         "",
         "Ordinate is out of range in TAxis::GetIndex\n",
         1},
        {{"2.6", "4.9", "3.2", "4.1", dir.Path("missing.asc")},
         "",
         "",
         "Unable to open file " + dir.Path("missing.asc") + "\n",
         1},
        {{"2.6", "4.9", "3.2", "4.1"},
         "ncols 3",
         "",
         "File format error: expectd to find nrows tag\n",
         1},
        {{"2.6", "4.9", "3.2", "4.1"},
         std::string(kSmallGrid, 0, std::string(kSmallGrid).size() - 3),
         "",
         "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile\n",
         1},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& a : c.arguments)
            line += a + " ";
        SCOPED_TRACE(line);
        const ProcessResult result = Gridsnip(c.arguments, c.input);
        EXPECT_EQ(result.MbrOut, c.out);
        EXPECT_EQ(result.MbrErr, c.err);
        EXPECT_EQ(result.MbrStatus, c.status);
    }
    EXPECT_EQ(ReadFile(out), kWindow);
    EXPECT_FALSE(FileExists(extra));
}

TEST(TCropCommand, ExistingOutputIsReplacedOnSuccessAndUntouchedOnError) {
    TempDir dir;
    const std::string in = dir.Path("in.asc"), out = dir.Path("out.asc");
    WriteFile(in, kSmallGrid);
    WriteFile(out, "precious\n");
    const ProcessResult outside = Gridsnip({"9", "4.9", "3.2", "4.1", in, out});
    EXPECT_EQ(outside.MbrErr, "Ordinate is out of range in TAxis::GetIndex\n");
    EXPECT_EQ(outside.MbrStatus, 1);
    EXPECT_EQ(ReadFile(out), "precious\n");

    const std::string fresh = dir.Path("fresh.asc");
    EXPECT_EQ(Gridsnip({"9", "4.9", "3.2", "4.1", in, fresh}).MbrStatus, 1);
    EXPECT_FALSE(FileExists(fresh));

    const ProcessResult ok = Gridsnip({"2.6", "4.9", "3.2", "4.1", in, out});
    EXPECT_EQ(ok.MbrStatus, 0);
    EXPECT_EQ(ReadFile(out), kWindow);

    const std::string badFolder = dir.Path("none/out.asc");
    const ProcessResult noFolder = Gridsnip({"2.6", "4.9", "3.2", "4.1", in, badFolder});
    EXPECT_EQ(noFolder.MbrErr, "Unable to open file " + badFolder + "\n");
    EXPECT_EQ(noFolder.MbrStatus, 1);
}

TEST(TCropCommand, WriteFailuresAreReported) {
    TempDir dir;
    const std::string in = dir.Path("in.asc");
    WriteFile(in, kSmallGrid);
    const ProcessResult file = Gridsnip({"2.6", "4.9", "3.2", "4.1", in, "/dev/full"});
    EXPECT_EQ(file.MbrErr, "Unable to write file /dev/full\n");
    EXPECT_EQ(file.MbrStatus, 1);
    const ProcessResult standardOutput =
        Gridsnip({"2.6", "4.9", "3.2", "4.1", in}, "", "/dev/full");
    EXPECT_EQ(standardOutput.MbrErr, "Unable to write to standard output\n");
    EXPECT_EQ(standardOutput.MbrStatus, 1);
}

TEST(TCropCommand, NumbersAreWrittenByTheExactRule) {
    // Guards the output rule: 15 digits lost values that need 16 or 17
    // (1721.0031195746528283 came out as 1721.00311957465) and the cell size
    // 0.008333333333333333; six would move the corner by half a cell.
    const std::string grid =
        "ncols 4\nnrows 1\nxllcorner -120.000416666667\nyllcorner 38.000416666667\n"
        "cellsize 0.008333333333333333\nNODATA_value -9999\n"
        "1721.0031195746528283 0.30000000000000004 674.79 -9999\n";
    const double corners[4] = {-120, 38.005, -119.97, 38.001};
    const std::vector<std::string> arguments = {"-120", "38.005", "-119.97", "38.001"};
    const ProcessResult window = Gridsnip(arguments, grid);
    EXPECT_EQ(window.MbrErr, "");
    EXPECT_EQ(window.MbrOut, TCropReference::Plain(grid, corners).MbrStrOut);
    EXPECT_NE(window.MbrOut.find("\ncellsize 0.008333333333333333\n"), std::string::npos);
    EXPECT_NE(window.MbrOut.find("\n1721.0031195746528 0.30000000000000004 674.79 -9999 \n"),
              std::string::npos)
        << window.MbrOut;
}

TEST(TCropCommand, BundledSampleCrops) {
    const std::string sample = std::string(GRIDSNIP_EXAMPLES_DIR) + "/sample.asc";
    const ProcessResult whole = Gridsnip({"-120.999", "38.249", "-119.334", "37.001", sample});
    ASSERT_EQ(whole.MbrErr, "");
    const auto source = std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFile(sample));
    const auto cut = LoadText(whole.MbrOut);
    EXPECT_EQ(cut->MbrLngXDim, source->MbrLngXDim);
    EXPECT_EQ(cut->MbrLngYDim, source->MbrLngYDim);
    EXPECT_EQ(Values(cut.get()), Values(source.get()));
    EXPECT_EQ(cut->MbrDblNoData, source->MbrDblNoData);
}

TEST(TCropCommand, RunsInMemoryWithTheSameResults) {
    // The command's entry is usable on any input and output, as the fuzzers use it.
    const char* argv[] = {"gridsnip", "2.6", "4.9", "3.2", "4.1"};
    for (bool positional : {false, true}) {
        TMemoryInput in(kSmallGrid, 4096, positional);
        TMemoryOutput out;
        std::ostringstream err;
        EXPECT_EQ(TCropCommand::Run(5, argv, in, out, err), 0);
        EXPECT_EQ(out.MbrStrText, kWindow);
        EXPECT_TRUE(out.MbrBoolFinished);
        EXPECT_EQ(err.str(), "");
    }
}
