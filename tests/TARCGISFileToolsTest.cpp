// TARCGISFileTools and TMapTools::WriteFlatFile: the text format, read and written.
#include <gridsnip/files/TARCGISFileTools.h>

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <sstream>

#include <gridsnip/tools/TMapTools.h>
#include "TestSupport.h"

namespace {

const char* const kHeader =
    "ncols 3\nnrows 2\nxllcorner 2\nyllcorner 4\ncellsize 0.5\nNODATA_value -9999\n";

}  // namespace

TEST(TARCGISFileTools, LoadPlacesTheGridFromItsLowerLeftCorner) {
    const auto map = LoadText(kSmallGrid);
    EXPECT_EQ(map->MbrLngXDim, 3);
    EXPECT_EQ(map->MbrLngYDim, 2);
    EXPECT_EQ(map->MbrDblResolution, 0.5);
    EXPECT_EQ(map->MbrDblNoData, -9999);
    EXPECT_EQ(Values(map.get()), (std::vector<std::vector<double>>{{1, 2, 3}, {4, 5, 6}}));
    const double xEdges[] = {2, 2.5, 3, 3.5}, yEdges[] = {5, 4.5, 4};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(map->MbrPtrXAxisInterval->GetPoint(i)->MbrDblX, xEdges[i]);
        EXPECT_EQ(map->MbrPtrXAxisInterval->GetPoint(i)->MbrDblY, 5);  // the northern edge
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(map->MbrPtrYAxisInterval->GetPoint(i)->MbrDblY, yEdges[i]);
        EXPECT_EQ(map->MbrPtrYAxisInterval->GetPoint(i)->MbrDblX, 2);
    }
    EXPECT_EQ(map->MbrPtrXAxis->GetPoint(0)->MbrDblX, 2.25);
    EXPECT_EQ(map->MbrPtrYAxis->GetPoint(0)->MbrDblY, 4.75);  // row 0 is the first body line
    EXPECT_EQ(map->MbrPtrYAxis->GetPoint(1)->MbrDblY, 4.25);
    const TPoint firstCell(2.25, 4.75);
    EXPECT_EQ(map->GetPointVal(&firstCell), 1);
}

TEST(TARCGISFileTools, LayoutAndSpellingsThatLoadTheSame) {
    const auto reference = Values(LoadText(kSmallGrid).get());
    const char* inputs[] = {
        "ncols 3 nrows 2 xllcorner 2 yllcorner 4 cellsize 0.5 NODATA_value -9999 1 2 3 4 5 6",
        "ncols\n3\nnrows\t2\n\nxllcorner 2\r\nyllcorner 4\r\ncellsize 0.5\r\n"
        "nodata_value -9999\r\n1 2 3\r\n4 5 6\r\n",
        "ncols 3\nnrows 2\nxllcorner 2\nyllcorner 4\ncellsize 0.5\nNODATA_value -9999\n"
        "1\v2\f3 +4 5 6",  // no line end after the last value
    };
    for (const char* input : inputs) {
        EXPECT_EQ(Values(LoadText(input).get()), reference) << input;
    }
}

TEST(TARCGISFileTools, MalformedInputIsRefusedWithItsMessage) {
    const std::string h = kHeader;
    const std::string toTag = "ncols 3\nnrows 2\nxllcorner 2\nyllcorner 4\ncellsize 0.5\n";
    struct Case {
        std::string input;
        std::string message;
    } cases[] = {
        {"", "File format error: expected to find ncols tag"},
        {"NCOLS 3", "File format error: expected to find ncols tag"},
        {"ncols 3 rows 2", "File format error: expectd to find nrows tag"},
        {"ncols 2.5 nrows 2", "File format error: expectd to find nrows tag"},
        {"ncols 99999999999 nrows 2", "File format error: expectd to find nrows tag"},
        {"ncols 3 nrows 2 xll 2", "File format error: expected to find xllcorner tag"},
        {"ncols 3 nrows 2 xllcorner 2 yll 4", "File format error: expected to find yllcorner tag"},
        {"ncols 3 nrows 2 xllcorner 2 yllcorner 4 cell 1",
         "File format error: expected to find cellsize tag"},
        {toTag + "NODATA_VALUE -9999 1 2 3 4 5 6",
         "File format error: expected to find NODATA_value tag"},
        {toTag + "1 2 3 4 5 6", "File format error: expected to find NODATA_value tag"},
        {toTag + "NODATA_value_ -9999 1 2 3 4 5 6",
         "File format error: expected to find NODATA_value tag"},
        {"ncols 3 nrows 2 xllcorner 2 yllcorner 4 cellsize nan NODATA_value 1",
         "File format error: expected to find NODATA_value tag"},
        {toTag + "NODATA_value",
         "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile"},
        {toTag + "NODATA_value none 1 2 3 4 5 6",
         "File format error: NODATA_value is not a number in TARCGISFileTools::LoadARCGISFile"},
        {"ncols 0 nrows 2 xllcorner 2 yllcorner 4 cellsize 0.5 NODATA_value -9999",
         "File format error: ncols must be a positive integer in TARCGISFileTools::LoadARCGISFile"},
        {"ncols -3 nrows 2 xllcorner 2 yllcorner 4 cellsize 0.5 NODATA_value -9999",
         "File format error: ncols must be a positive integer in TARCGISFileTools::LoadARCGISFile"},
        {"ncols 3 nrows 0 xllcorner 2 yllcorner 4 cellsize 0.5 NODATA_value -9999",
         "File format error: nrows must be a positive integer in TARCGISFileTools::LoadARCGISFile"},
        {"ncols 2147483647 nrows 1 xllcorner 2 yllcorner 4 cellsize 0.5 NODATA_value -9999",
         "File format error: ncols must be a positive integer in TARCGISFileTools::LoadARCGISFile"},
        {"ncols 3 nrows 2 xllcorner 2 yllcorner 4 cellsize 0 NODATA_value -9999",
         "File format error: cellsize must be a positive number in "
         "TARCGISFileTools::LoadARCGISFile"},
        {"ncols 3 nrows 2 xllcorner 2 yllcorner 4 cellsize -0.5 NODATA_value -9999",
         "File format error: cellsize must be a positive number in "
         "TARCGISFileTools::LoadARCGISFile"},
        {h + "1 2 3 4 5", "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile"},
        {h + " \n\t ", "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile"},
        {h + "1 2 3 4 x 6",
         "File format error: value 'x' at column 1, row 1 is not a number in "
         "TARCGISFileTools::LoadARCGISFile"},
        {h + "1 2 1e999",
         "File format error: value '1e999' at column 2, row 0 is not a number in "
         "TARCGISFileTools::LoadARCGISFile"},
        {h + "1,5 2 3",
         "File format error: value '1,5' at column 0, row 0 is not a number in "
         "TARCGISFileTools::LoadARCGISFile"},
        {h + "1 \x01\xff"
             "abcdefghijklmnopqrstuvwxyz0123456789",
         "File format error: value '??abcdefghijklmnopqrstuvwxyz0123' at column 1, row 0 is not a "
         "number in TARCGISFileTools::LoadARCGISFile"},
        // Two billion rows claimed over three values: the end of the input, not a
        // reservation of the claimed size.
        {"ncols 2000000000 nrows 2000000000 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value 0 1 2 "
         "3",
         "Unexpected end of file found in TARCGISFileTools::LoadARCGISFile"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf([&] { LoadText(c.input); }), c.message) << c.input;
    }
}

namespace {

// `prefix`, then `fill` bytes without end (cut at 64 MiB), counting what the
// reader takes.
class TEndless : public std::streambuf {
  public:
    TEndless(const std::string& prefix, char fill)
        : MbrStrFirst(prefix + std::string(4096, fill)), MbrStrBlock(4096, fill) {
        Serve(MbrStrFirst);
    }
    std::size_t Served() const { return MbrSizeServed; }

  private:
    void Serve(std::string& block) {
        setg(block.data(), block.data(), block.data() + block.size());
        MbrSizeServed += block.size();
    }
    int_type underflow() override {
        if (MbrSizeServed >= std::size_t{64} << 20) {
            return traits_type::eof();
        }
        Serve(MbrStrBlock);
        return traits_type::to_int_type(*gptr());
    }
    std::string MbrStrFirst, MbrStrBlock;
    std::size_t MbrSizeServed = 0;
};

}  // namespace

TEST(TARCGISFileTools, AWordWithoutEndFailsAtOnceAsNoTag) {
    // /dev/zero, or one endless word: no word longer than the longest tag can
    // be a tag, so the tag's message comes after a block of the input, not
    // after the whole word has been gathered.
    const std::string toTag = "ncols 3\nnrows 2\nxllcorner 2\nyllcorner 4\ncellsize 0.5\n";
    struct Case {
        std::string prefix;
        char fill;
        std::string message;
    } cases[] = {
        {"", '\0', "File format error: expected to find ncols tag"},
        {"ncols", 'x', "File format error: expected to find ncols tag"},
        {"ncols 3 ", '\0', "File format error: expectd to find nrows tag"},
        {toTag + "NODATA_value", 'e', "File format error: expected to find NODATA_value tag"},
    };
    for (const Case& c : cases) {
        TEndless endless(c.prefix, c.fill);
        std::istream in(&endless);
        EXPECT_EQ(MessageOf([&] { std::unique_ptr<TMap>(TARCGISFileTools::LoadARCGISFile(in)); }),
                  c.message)
            << c.prefix;
        EXPECT_LE(endless.Served(), std::size_t{1} << 16) << c.prefix;
    }
}

TEST(TARCGISFileTools, LoadStopsJustAfterTheLastValue) {
    std::istringstream in(std::string(kSmallGrid) + "7 8\nrest");
    const std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(in));
    EXPECT_EQ(map->GetPointVal(2, 1), 6);
    EXPECT_EQ(in.get(), '\n');  // not even the line end after the last value was read
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, "7 8");
}

TEST(TARCGISFileTools, NoDataMarkerIsKeptAsRead) {
    const auto map =
        LoadText("ncols 2 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -32768 -32768 7");
    EXPECT_EQ(map->MbrDblNoData, -32768);
    EXPECT_EQ(map->GetPointVal(0, 0), -32768);
    EXPECT_EQ(WriteText(map.get()),
              "ncols 2\nnrows 1\nxllcorner        0\nyllcorner        0\ncellsize 1\n"
              "NODATA_value -32768\n-32768 7 \n");
}

TEST(TARCGISFileTools, WriteProducesTheExactFormat) {
    const auto map = LoadText(kSmallGrid);
    EXPECT_EQ(WriteText(map.get()),
              "ncols 3\nnrows 2\nxllcorner        2\nyllcorner        4\ncellsize 0.5\n"
              "NODATA_value -9999\n1 2 3 \n4 5 6 \n");
    // Corners wider than the field are written in full; six digits by default.
    const auto wide = LoadText(
        "ncols 1 nrows 1 xllcorner -180 yllcorner -12.3456789 cellsize 0.123456789 "
        "NODATA_value -9999 1234.5678");
    EXPECT_EQ(WriteText(wide.get()),
              "ncols 1\nnrows 1\nxllcorner     -180\nyllcorner -12.3457\ncellsize 0.123457\n"
              "NODATA_value -9999\n1234.57 \n");
}

TEST(TARCGISFileTools, SpecialStreamFormattingIsHonoured) {
    const auto map = LoadText(kSmallGrid);
    std::ostringstream out;
    out << std::fixed << std::setprecision(1);
    TMapTools::WriteFlatFile(map.get(), out, ';');
    EXPECT_EQ(out.str(), "1.0;2.0;3.0;\n4.0;5.0;6.0;\n");
    std::ostringstream comma;
    TMapTools::WriteFlatFile(map.get(), comma, ',');
    EXPECT_EQ(comma.str(), "1,2,3,\n4,5,6,\n");
}

TEST(TARCGISFileTools, WriteThenLoadGivesTheGridBack) {
    const auto map = LoadText(
        "ncols 3 nrows 2 xllcorner -120.000416666667 yllcorner 35.5 cellsize 0.000833333333333333 "
        "NODATA_value -9999 0.1 -9999 1e-300 123456789.123 -0 nan");
    const auto again = LoadText(WriteText(map.get(), 17));
    EXPECT_EQ(again->MbrLngXDim, 3);
    EXPECT_EQ(again->MbrLngYDim, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const double a = map->GetPointVal(x, y), b = again->GetPointVal(x, y);
            EXPECT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << x << "," << y;
        }
    }
    EXPECT_EQ(again->MbrPtrXAxisInterval->GetPoint(0)->MbrDblX, -120.000416666667);
    EXPECT_EQ(again->MbrDblResolution, 0.000833333333333333);
    // Writing the reloaded grid gives the same text again.
    EXPECT_EQ(WriteText(again.get(), 17), WriteText(map.get(), 17));
}

TEST(TARCGISFileTools, SingleRowWithRisingEdgesWritesItsSouthernEdge) {
    auto x = std::make_unique<TAxis>(1.0);
    x->AddPoint(new TPoint(0.5, 0));
    auto y = std::make_unique<TAxis>(1.0);
    y->AddPoint(new TPoint(0, 10.5));
    const TMap map(x.get(), y.get());  // one Y centre: its edges rise, 10 then 11
    const std::string text = WriteText(&map);
    EXPECT_NE(text.find("yllcorner       10\n"), std::string::npos) << text;
}

TEST(TARCGISFileTools, FileForms) {
    TempDir dir;
    const std::string path = dir.Path("grid.asc");
    const auto map = LoadText(kSmallGrid);
    TARCGISFileTools::WriteARCGISFile(map.get(), path);
    const std::unique_ptr<TMap> again(TARCGISFileTools::LoadARCGISFile(path));
    EXPECT_EQ(Values(again.get()), Values(map.get()));

    EXPECT_EQ(MessageOf([] { TARCGISFileTools::LoadARCGISFile(std::string("no/such.asc")); }),
              "Unable to open file no/such.asc");
    const std::string missingFolder = dir.Path("none/out.asc");
    EXPECT_EQ(MessageOf([&] { TARCGISFileTools::WriteARCGISFile(map.get(), missingFolder); }),
              "Unable to open file " + missingFolder);
    EXPECT_EQ(
        MessageOf([&] { TARCGISFileTools::WriteARCGISFile(map.get(), std::string("/dev/full")); }),
        "Unable to write file /dev/full");
}

namespace {

// Whether two doubles are the same number: equal with the same sign, or both NaN.
bool Same(double a, double b) {
    return (a == b && std::signbit(a) == std::signbit(b)) || (std::isnan(a) && std::isnan(b));
}

// Every number of two grids, compared bit for bit: header, edges and values.
void ExpectSameGrid(const TMap* a, const TMap* b) {
    ASSERT_EQ(a->MbrLngXDim, b->MbrLngXDim);
    ASSERT_EQ(a->MbrLngYDim, b->MbrLngYDim);
    EXPECT_TRUE(Same(a->MbrDblResolution, b->MbrDblResolution)) << b->MbrDblResolution;
    EXPECT_TRUE(Same(a->MbrDblNoData, b->MbrDblNoData)) << b->MbrDblNoData;
    for (int i = 0; i <= a->MbrLngXDim; ++i) {
        EXPECT_TRUE(Same(a->MbrPtrXAxisInterval->GetPoint(i)->MbrDblX,
                         b->MbrPtrXAxisInterval->GetPoint(i)->MbrDblX))
            << "X edge " << i;
    }
    for (int i = 0; i <= a->MbrLngYDim; ++i) {
        EXPECT_TRUE(Same(a->MbrPtrYAxisInterval->GetPoint(i)->MbrDblY,
                         b->MbrPtrYAxisInterval->GetPoint(i)->MbrDblY))
            << "Y edge " << i;
    }
    for (int y = 0; y < a->MbrLngYDim; ++y) {
        for (int x = 0; x < a->MbrLngXDim; ++x) {
            EXPECT_TRUE(Same(a->GetPointVal(x, y), b->GetPointVal(x, y))) << x << "," << y;
        }
    }
}

}  // namespace

// The file-name forms take no stream, so they write exact numbers. They used
// to write six significant digits: a 30-arc-second grid came back moved
// (yllcorner 37.0166666666667 as 37.0167) and values lost their last digits.
TEST(TARCGISFileTools, GridsWrittenByNameLoadBackBitForBit) {
    const double cell = 1.0 / 120;  // 30 arc seconds
    const double west = -120 + 5 * cell;
    const double south = 37 + 2 * cell;  // 37.016666666666666
    const double values[] = {0.1 + 0.2, 1.0 / 3, -1e-300,  123456789.123, -0.0,
                             kNaN,      674.79,  2.5e-310, 1e22,          -1.7976931348623157e308};
    std::ostringstream text;
    text.precision(17);
    text << "ncols 5 nrows 2 xllcorner " << west << " yllcorner " << south << " cellsize " << cell
         << " NODATA_value " << -3.4028234663852886e38;
    for (double v : values)
        text << ' ' << v;
    const auto map = LoadText(text.str());

    TempDir dir;
    TARCGISFileTools::WriteARCGISFile(map.get(), dir.Path("one.asc"));
    const std::unique_ptr<TMap> again(TARCGISFileTools::LoadARCGISFile(dir.Path("one.asc")));
    ExpectSameGrid(map.get(), again.get());
    const std::string written = ReadFile(dir.Path("one.asc"));
    EXPECT_EQ(written.substr(0, written.find("NODATA")),
              "ncols 5\nnrows 2\nxllcorner -119.95833333333333\nyllcorner 37.016666666666666\n"
              "cellsize 0.008333333333333333\n");
    EXPECT_NE(written.find("\n0.30000000000000004 0.3333333333333333 -1e-300 123456789.123 -0 \n"),
              std::string::npos)
        << written;

    // The list form writes each file the same way.
    const std::vector<TMap*> list = {map.get()};
    TARCGISFileTools::WriteFileList(list, {dir.Path("two.asc")});
    const std::unique_ptr<TMap> fromList(TARCGISFileTools::LoadARCGISFile(dir.Path("two.asc")));
    ExpectSameGrid(map.get(), fromList.get());
}

// Short numbers stay short, and the corners keep their field of 8.
TEST(TARCGISFileTools, GridsWrittenByNameKeepTheFormat) {
    TempDir dir;
    TARCGISFileTools::WriteARCGISFile(LoadText(kSmallGrid).get(), dir.Path("small.asc"));
    EXPECT_EQ(ReadFile(dir.Path("small.asc")),
              "ncols 3\nnrows 2\nxllcorner        2\nyllcorner        4\ncellsize 0.5\n"
              "NODATA_value -9999\n1 2 3 \n4 5 6 \n");
}

TEST(TARCGISFileTools, MapsThatCannotBeWrittenWriteNothing) {
    TMap noAxes(1, 2, 2);
    std::ostringstream out;
    EXPECT_EQ(MessageOf([&] { TARCGISFileTools::WriteARCGISFile(&noAxes, out); }),
              "Map has no axes in TARCGISFileTools::WriteARCGISFile");
    auto map = LoadText(kSmallGrid);
    map->MbrVecValues[1].pop_back();
    EXPECT_EQ(MessageOf([&] { TARCGISFileTools::WriteARCGISFile(map.get(), out); }),
              "Map values do not match its dimensions in TARCGISFileTools::WriteARCGISFile");
    EXPECT_EQ(MessageOf([&] { TMapTools::WriteFlatFile(map.get(), out, ' '); }),
              "Map values do not match its dimensions in TMapTools::WriteFlatFile");
    EXPECT_EQ(out.str(), "");
}
