// TMapTools resampling: the bilinear formula, Downscale frames, grid resampling, Subdivide.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include <gridsnip/tools/TMapTools.h>
#include "TestSupport.h"

namespace {

double Plane(double x, double y) {
    return 2 * x - 3 * y + 7;
}

// A grid of cell size 1 whose values form a plane at the cell centres, with its
// rows running north to south (as read from a file) or south to north.
MapPtr PlaneGrid(int columns, int rows, bool southToNorth) {
    TAxis x(1.0), y(1.0);
    for (int i = 0; i < columns; ++i)
        x.AddPoint(new TPoint(0.5 + i, 0));
    for (int j = 0; j < rows; ++j) {
        y.AddPoint(new TPoint(0, southToNorth ? 0.5 + j : rows - 0.5 - j));
    }
    auto map = std::make_unique<TMap>(&x, &y);
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            map->SetPoint(i, j, Plane(0.5 + i, y.GetPoint(j)->MbrDblY));
        }
    }
    return map;
}

}  // namespace

TEST(TMapToolsResampling, FormulaCases) {
    struct Case {
        double x, y, expected;
    } cases[] = {{0, 0, 1}, {0.5, 0.5, 2.5}, {1, 1, 4}, {1, 0, 2}, {2, 0, 3} /* extrapolated */};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(TMapTools::BilinearInterpolate(1, 2, 3, 4, c.x, 0, 1, c.y, 0, 1),
                         c.expected);
        const TMapPoint p1(0, 0, 1), p2(1, 99, 2), p3(99, 1, 3), p4(99, 99, 4);
        TMapPoint target(c.x, c.y, 0);
        TMapTools::BilinearInterpolate(&p1, &p2, &p3, &p4, &target);
        EXPECT_EQ(target.MbrDblValue,
                  TMapTools::BilinearInterpolate(1, 2, 3, 4, c.x, 0, 1, c.y, 0, 1));
        EXPECT_EQ(target.MbrDblX, c.x);
        EXPECT_EQ(target.MbrDblY, c.y);
    }
    EXPECT_DOUBLE_EQ(TMapTools::BilinearInterpolate(10, 20, 30, 40, 3, 2, 4, 6, 5, 7), 25);
}

TEST(TMapToolsResampling, DownscaleFramesTheExtent) {
    const auto grid = LoadText(kSmallGrid);  // 1.5 wide, 1.0 high, corner (2, 4)
    struct Case {
        double size;
        int columns, rows;
    } cases[] = {{0.3, 5, 3}, {0.2, 7, 5}, {0.5, 3, 2}, {1.0, 1, 1}};
    for (const Case& c : cases) {
        const auto frame = Own(TMapTools::Downscale(grid.get(), c.size));
        EXPECT_EQ(frame->MbrLngXDim, c.columns) << c.size;
        EXPECT_EQ(frame->MbrLngYDim, c.rows) << c.size;
        EXPECT_EQ(frame->MbrDblResolution, c.size);
        EXPECT_EQ(frame->MbrDblNoData, -9999);
        EXPECT_EQ(frame->MbrPtrXAxis->GetPoint(0)->MbrDblX, 2 + c.size / 2);
        EXPECT_EQ(frame->MbrPtrYAxis->GetPoint(0)->MbrDblY, 5 - c.size / 2);
        EXPECT_EQ(frame->GetPointVal(c.columns - 1, c.rows - 1), -9999);
    }
    EXPECT_EQ(MessageOf([&] { Own(TMapTools::Downscale(grid.get(), 1.2)); }),
              "Index is out of range in TAxis::GetPoint");  // higher than the grid
    for (double bad : {0.0, -1.0, kNaN}) {
        EXPECT_EQ(MessageOf([&] { Own(TMapTools::Downscale(grid.get(), bad)); }),
                  "New resolution cannot be <= 0.0 in TMapTools::Downscale");
        EXPECT_EQ(MessageOf([&] { Own(TMapTools::BilinearInterpolate(grid.get(), bad)); }),
                  "New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate");
    }
    EXPECT_EQ(MessageOf([&] { Own(TMapTools::Downscale(grid.get(), 1e-12)); }),
              "Result grid is too large in TMapTools::Downscale");
}

TEST(TMapToolsResampling, InterpolationReproducesAPlaneInBothRowDirections) {
    for (bool southToNorth : {false, true}) {
        SCOPED_TRACE(southToNorth);
        const auto source = PlaneGrid(8, 6, southToNorth);
        const auto result = Own(TMapTools::BilinearInterpolate(source.get(), 1.0));
        ASSERT_EQ(result->MbrLngXDim, 8);
        ASSERT_EQ(result->MbrLngYDim, 6);
        int written = 0;
        for (int j = 0; j < 6; ++j) {
            for (int i = 0; i < 8; ++i) {
                const double v = result->GetPointVal(i, j);
                if (v == -9999)
                    continue;
                ++written;
                // Each written cell holds the value at its own south-western corner.
                const double west = result->MbrPtrXAxis->GetPoint(i)->MbrDblX - 0.5;
                const double south = result->MbrPtrYAxis->GetPoint(j)->MbrDblY - 0.5;
                EXPECT_NEAR(v, Plane(west, south), 1e-9) << i << "," << j;
            }
        }
        // A border one source cell wide stays unwritten; south to north it is
        // narrower by one new cell along the north.
        EXPECT_EQ(written, southToNorth ? 6 * 5 : 6 * 4);
    }
}

TEST(TMapToolsResampling, NoDataIsNeitherInterpolatedNorLost) {
    // Guards two faults: a -32768 neighbour fed into the formula as a number, and
    // a result declaring -9999 while its unreached cells hold -32768.
    auto source = PlaneGrid(6, 6, false);
    source->MbrDblNoData = -32768;
    source->SetPoint(2, 2, -32768);
    const auto result = Own(TMapTools::BilinearInterpolate(source.get(), 1.0));
    EXPECT_EQ(result->MbrDblNoData, -32768);
    EXPECT_EQ(result->GetPointVal(0, 0), -32768);  // the unreached border
    int marked = 0;
    for (int j = 1; j < 5; ++j) {
        for (int i = 1; i < 5; ++i) {
            const double v = result->GetPointVal(i, j);
            const double west = i, south = 6 - j - 1;
            if (v == -32768) {
                ++marked;
            } else {
                EXPECT_NEAR(v, Plane(west, south), 1e-9);
            }
        }
    }
    EXPECT_EQ(marked, 4);  // every sample point that has cell (2, 2) among its four
}

TEST(TMapToolsResampling, GridTooShortForASampleRowFails) {
    const auto source =
        LoadText("ncols 4 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999 1 2 3 4");
    EXPECT_EQ(MessageOf([&] { Own(TMapTools::BilinearInterpolate(source.get(), 1.0)); }),
              "LngGetY1 is out of range in TMapTools::BilinearInterpolate");
}

TEST(TMapToolsResampling, SubdivideRepeatsEachCell) {
    const auto source = LoadText(
        "ncols 3 nrows 2 xllcorner 2 yllcorner 4 cellsize 0.5 NODATA_value -32768 "
        "1 2 3 4 5 -32768");
    const auto same = Own(TMapTools::Subdivide(source.get(), 1));
    EXPECT_EQ(Values(same.get()), Values(source.get()));
    EXPECT_EQ(WriteText(same.get()), WriteText(source.get()));

    const auto split = Own(TMapTools::Subdivide(source.get(), 2));
    EXPECT_EQ(Values(split.get()), (Rows{{1, 1, 2, 2, 3, 3},
                                         {1, 1, 2, 2, 3, 3},
                                         {4, 4, 5, 5, -32768, -32768},
                                         {4, 4, 5, 5, -32768, -32768}}));
    EXPECT_EQ(split->MbrDblResolution, 0.25);
    EXPECT_EQ(split->MbrDblNoData, -32768);
    EXPECT_EQ(split->MbrPtrXAxisInterval->GetPoint(0)->MbrDblX, 2);
    EXPECT_EQ(split->MbrPtrXAxisInterval->GetPoint(6)->MbrDblX, 3.5);
    EXPECT_EQ(split->MbrPtrYAxisInterval->GetPoint(0)->MbrDblY, 5);
    EXPECT_EQ(split->MbrPtrYAxisInterval->GetPoint(4)->MbrDblY, 4);

    for (int bad : {0, -2}) {
        EXPECT_EQ(MessageOf([&] { Own(TMapTools::Subdivide(source.get(), bad)); }),
                  "Factor must be greater than 0 in TMapTools::Subdivide");
    }
    EXPECT_EQ(MessageOf([&] { Own(TMapTools::Subdivide(source.get(), 1 << 30)); }),
              "Result grid is too large in TMapTools::Subdivide");
}
