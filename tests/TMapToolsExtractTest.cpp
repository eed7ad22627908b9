// TMapTools::Extract: which cells a window takes, and what the window carries.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include <gridsnip/tools/TMapTools.h>
#include "TestSupport.h"

namespace {

std::unique_ptr<TMap> Cut(const TMap* source, double x1, double y1, double x2, double y2) {
    const TPoint a(x1, y1), b(x2, y2);
    return std::unique_ptr<TMap>(TMapTools::Extract(source, &a, &b));
}

}  // namespace

TEST(TMapToolsExtract, WindowsOfTheSmallGrid) {
    const auto source = LoadText(kSmallGrid);  // X edges 2..3.5, Y edges 5..4
    struct Case {
        double x1, y1, x2, y2;
        Rows values;
    } cases[] = {
        {2.6, 4.9, 3.2, 4.1, {{2, 3}, {5, 6}}},
        {3.2, 4.1, 2.6, 4.9, {{2, 3}, {5, 6}}},  // south-east first
        {3.2, 4.9, 2.6, 4.1, {{2, 3}, {5, 6}}},  // north-east and south-west
        {2.6, 4.5, 2.9, 4.5, {{2}}},             // an inner row boundary goes north
        {2.7, 4.7, 2.8, 4.6, {{2}}},             // both corners in one cell
        {2, 5, 3.5, 4, {{1, 2, 3}, {4, 5, 6}}},  // the outer edges: the whole grid
        {2.1, 4.1, 2.5, 4.1, {{4, 5}}},          // an inner column boundary goes east
    };
    for (const Case& c : cases) {
        const auto window = Cut(source.get(), c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(Values(window.get()), c.values) << c.x1 << " " << c.y1;
        EXPECT_EQ(window->MbrLngXDim, static_cast<int>(c.values[0].size()));
        EXPECT_EQ(window->MbrLngYDim, static_cast<int>(c.values.size()));
    }
}

TEST(TMapToolsExtract, WindowCarriesCentresEdgesAndResolution) {
    const auto source = LoadText(kSmallGrid);
    const auto window = Cut(source.get(), 2.6, 4.9, 3.2, 4.1);
    EXPECT_EQ(window->MbrDblResolution, 0.5);
    EXPECT_EQ(window->MbrPtrXAxis->GetPoint(0)->MbrDblX, 2.75);
    EXPECT_EQ(window->MbrPtrXAxis->GetPoint(1)->MbrDblX, 3.25);
    EXPECT_EQ(window->MbrPtrYAxis->GetPoint(0)->MbrDblY, 4.75);
    EXPECT_EQ(window->MbrPtrYAxis->GetPoint(1)->MbrDblY, 4.25);
    EXPECT_EQ(window->MbrPtrXAxisInterval->GetPoint(0)->MbrDblX, 2.5);
    EXPECT_EQ(window->MbrPtrYAxisInterval->GetPoint(2)->MbrDblY, 4);
    EXPECT_EQ(WriteText(window.get()),
              "ncols 2\nnrows 2\nxllcorner      2.5\nyllcorner        4\ncellsize 0.5\n"
              "NODATA_value -9999\n2 3 \n5 6 \n");
    // The source and the corners are left alone.
    EXPECT_EQ(Values(source.get()), (Rows{{1, 2, 3}, {4, 5, 6}}));
}

TEST(TMapToolsExtract, SingleRowWindowIsWrittenWithItsSouthernEdge) {
    const auto source = LoadText(kSmallGrid);
    const auto window = Cut(source.get(), 2.1, 4.9, 3.4, 4.6);
    EXPECT_EQ(Values(window.get()), (Rows{{1, 2, 3}}));
    EXPECT_NE(WriteText(window.get()).find("yllcorner      4.5\n"), std::string::npos);
}

TEST(TMapToolsExtract, WindowKeepsTheSourceNoDataMarker) {
    // Guards the marker: a window of a -32768 grid must not declare -9999, or
    // its no-data cells would turn into data.
    const auto source =
        LoadText("ncols 2 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -32768 -32768 7");
    const auto window = Cut(source.get(), 0, 1, 2, 0);
    EXPECT_EQ(window->MbrDblNoData, -32768);
    EXPECT_EQ(window->GetPointVal(0, 0), -32768);
}

TEST(TMapToolsExtract, CornersOutsideTheGridAreRefused) {
    const auto source = LoadText(kSmallGrid);
    const std::string outside = "Ordinate is out of range in TAxis::GetIndex";
    const double tiny = 1e-9;
    struct Case {
        double x1, y1, x2, y2;
    } cases[] = {
        {2 - tiny, 4.5, 3, 4.5}, {3, 5 + tiny, 3, 4.5}, {3, 4.5, 3.5 + tiny, 4.5},
        {3, 4.5, 3, 4 - tiny},   {NAN, 4.5, 3, 4.5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf([&] { Cut(source.get(), c.x1, c.y1, c.x2, c.y2); }), outside);
    }
    EXPECT_EQ(MessageOf([&] { TMapTools::Extract(source.get(), nullptr, nullptr); }),
              "Corner point is not set in TMapTools::Extract");
    TMap noAxes(1, 1, 1);
    EXPECT_EQ(MessageOf([&] { Cut(&noAxes, 0, 0, 0, 0); }), "Map has no axes in TMap::GetIndex");
}

TEST(TMapToolsExtract, CentreAxesOfDifferentResolutionsAreRefused) {
    auto source = LoadText(kSmallGrid);
    source->MbrPtrYAxis->MbrDblResolution = 0.25;
    EXPECT_EQ(MessageOf([&] { Cut(source.get(), 2, 5, 3, 4); }),
              "Axes resolutions do not match in TMap::TMap");
}
