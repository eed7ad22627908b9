// TMapTools overlay and block operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include <gridsnip/tools/TMapTools.h>
#include "TestSupport.h"

namespace {

// A grid of `columns` x `rows` cells of size `cell` from (west, south), each cell
// holding 10 x row + column.
MapPtr Placed(double west, double south, double cell, int columns, int rows) {
    std::ostringstream text;
    text << "ncols " << columns << " nrows " << rows << " xllcorner " << west << " yllcorner "
         << south << " cellsize " << cell << " NODATA_value -9999";
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x)
            text << ' ' << 10 * y + x;
    return LoadText(text.str());
}

struct Extent {
    double west, east, south, north;
};

Extent ExtentOf(const TMap* map) {
    const TAxis* x = map->MbrPtrXAxisInterval;
    const TAxis* y = map->MbrPtrYAxisInterval;
    // A single row's Y edges rise: take the lower end as south, whichever it is.
    const double first = y->GetPoint(0)->MbrDblY, last = y->GetPoint(map->MbrLngYDim)->MbrDblY;
    return {x->GetPoint(0)->MbrDblX, x->GetPoint(map->MbrLngXDim)->MbrDblX, std::min(first, last),
            std::max(first, last)};
}

}  // namespace

TEST(TMapToolsBlocks, IntersectionCutsBothToTheCommonCells) {
    struct Case {
        MapPtr a, b;
        Extent common;
    };
    Case cases[] = {
        {Placed(0, 0, 1, 4, 4), Placed(2, 1, 1, 4, 4), {2, 4, 1, 4}},
        {Placed(2, 1, 1, 4, 4), Placed(0, 0, 1, 4, 4), {2, 4, 1, 4}},
        {Placed(0, 0, 1, 4, 4), Placed(0, 0, 1, 4, 4), {0, 4, 0, 4}},    // itself: whole
        {Placed(0, 0, 1, 4, 4), Placed(1, 1, 0.5, 4, 4), {1, 3, 1, 3}},  // finer, inside
        {Placed(0, 0, 1, 4, 4), Placed(3, 3, 0.5, 4, 4), {3, 4, 3, 4}},  // finer, overlapping
    };
    for (Case& c : cases) {
        TMap* outA = nullptr;
        TMap* outB = nullptr;
        TMapTools::Intersection(c.a.get(), c.b.get(), outA, outB);
        const MapPtr cutA(outA), cutB(outB);
        for (const TMap* cut : {outA, outB}) {
            const Extent e = ExtentOf(cut);
            EXPECT_DOUBLE_EQ(e.west, c.common.west);
            EXPECT_DOUBLE_EQ(e.east, c.common.east);
            EXPECT_DOUBLE_EQ(e.south, c.common.south);
            EXPECT_DOUBLE_EQ(e.north, c.common.north);
        }
        if (c.a->MbrDblResolution == c.b->MbrDblResolution) {
            EXPECT_EQ(outA->MbrLngXDim, outB->MbrLngXDim);
            EXPECT_EQ(outA->MbrLngYDim, outB->MbrLngYDim);
        }
    }
    // Touching along an edge or at a corner, or apart: no common cell.
    const auto a = Placed(0, 0, 1, 2, 2);
    for (const auto& b : {Placed(2, 0, 1, 2, 2), Placed(2, 2, 1, 2, 2), Placed(10, 10, 1, 2, 2)}) {
        TMap* outA = nullptr;
        TMap* outB = nullptr;
        EXPECT_EQ(MessageOf([&] { TMapTools::Intersection(a.get(), b.get(), outA, outB); }),
                  "Maps do not intersect in TMapTools::Intersection");
        EXPECT_EQ(outA, nullptr);
    }
}

TEST(TMapToolsBlocks, InsertWritesCellsByTheirCentres) {
    auto destination = Placed(0, 0, 1, 3, 3);
    const auto whole = Placed(0, 0, 1, 3, 3);
    whole->InitValues(-9999);  // markers are copied as values
    TMapTools::Insert(destination.get(), whole.get());
    EXPECT_EQ(Values(destination.get()), (Rows(3, std::vector<double>(3, -9999))));

    // Finer: the last written (southernmost, then easternmost) wins.
    auto target = Placed(0, 0, 1, 2, 2);
    TMapTools::Insert(target.get(), Placed(1, 0, 0.5, 2, 2).get());
    EXPECT_EQ(Values(target.get()), (Rows{{0, 1}, {10, 11}}));
    // Coarser: only cells holding a centre of the insert are written.
    auto fine = Placed(0, 0, 0.5, 4, 4);
    TMapTools::Insert(fine.get(), Placed(0, 0, 2, 1, 1).get());
    EXPECT_EQ(fine->GetPointVal(2, 1), 0);  // holds the centre (1, 1): row 1 owns y = 1
    EXPECT_EQ(fine->GetPointVal(2, 2), 22);
    EXPECT_EQ(fine->GetPointVal(0, 0), 0);  // its own value, untouched
    EXPECT_EQ(fine->GetPointVal(3, 3), 33);

    auto kept = Placed(0, 0, 1, 3, 3);
    const Rows before = Values(kept.get());
    EXPECT_EQ(MessageOf([&] { TMapTools::Insert(kept.get(), Placed(0, 1, 1, 3, 3).get()); }),
              "Insert map's NW corner is outside of the destination map in TMapTools::Insert");
    EXPECT_EQ(MessageOf([&] { TMapTools::Insert(kept.get(), Placed(-1, 0, 1, 2, 2).get()); }),
              "Insert map's NW corner is outside of the destination map in TMapTools::Insert");
    EXPECT_EQ(MessageOf([&] { TMapTools::Insert(kept.get(), Placed(0, -1, 1, 3, 3).get()); }),
              "Insert map's SE corner is outside of the destination map in TMapTools::Insert");
    EXPECT_EQ(Values(kept.get()), before);
}

TEST(TMapToolsBlocks, PatchExtentAndBuffer) {
    auto grid = Placed(0, 0, 1, 5, 4);
    std::int32_t n = -1, s = -1, w = -1, e = -1;
    const auto patch = [&](double value) {
        TMapTools::FindPatchExtent(grid.get(), value, n, s, w, e);
        return std::vector<std::int32_t>{n, s, w, e};
    };
    using Block = std::vector<std::int32_t>;
    EXPECT_EQ(patch(12), (Block{1, 1, 2, 2}));
    EXPECT_EQ(patch(99), (Block{0, 0, 0, 0}));
    EXPECT_EQ(patch(0), (Block{0, 0, 0, 0}));  // the north-west cell alike
    EXPECT_EQ(patch(NAN), (Block{0, 0, 0, 0}));
    grid->SetPoint(4, 3, 12);
    grid->SetPoint(0, 2, 12);
    EXPECT_EQ(patch(12), (Block{1, 3, 0, 4}));
    TMap fresh(1, 3, 2);
    TMapTools::FindPatchExtent(&fresh, -9999, n, s, w, e);
    EXPECT_EQ((Block{n, s, w, e}), (Block{0, 1, 0, 2}));

    struct Case {
        std::int32_t buffer;
        Block in, out;
    } cases[] = {
        {0, {1, 2, 1, 2}, {1, 2, 1, 2}},    {1, {1, 2, 1, 2}, {0, 3, 0, 3}},
        {100, {1, 2, 1, 2}, {0, 3, 0, 4}},  {INT32_MAX, {1, 2, 1, 2}, {0, 3, 0, 4}},
        {-3, {1, 2, 1, 2}, {1, 2, 1, 2}},  // a negative buffer counts as 0
        {0, {-2, 9, -5, 40}, {0, 3, 0, 4}},
    };
    for (const Case& c : cases) {
        n = c.in[0], s = c.in[1], w = c.in[2], e = c.in[3];
        TMapTools::BufferIndices(grid.get(), c.buffer, n, s, w, e);
        EXPECT_EQ((Block{n, s, w, e}), c.out) << c.buffer;
    }
}

TEST(TMapToolsBlocks, FillBlockChecksInOrder) {
    auto grid = Placed(0, 0, 1, 3, 3);
    struct Case {
        std::int32_t n, s, w, e;
        const char* message;
    } cases[] = {
        {3, 2, 0, 0, "Northern edge must be less than southern edge in TMapTools::FillBlock"},
        {0, 0, 2, 1, "Western edge must be less than eastern edge in TMapTools::FillBlock"},
        {3, 4, 0, 0, "Northern ordinate is out of range in TMapTools::FillBlock"},
        {-1, 0, 0, 0, "Northern ordinate is out of range in TMapTools::FillBlock"},
        {0, 3, 0, 0, "Southern ordinate is out of range in TMapTools::FillBlock"},
        {0, 0, -1, 0, "Western ordinate is out of range in TMapTools::FillBlock"},
        {0, 0, 0, 3, "Eastern ordinate is out of range in TMapTools::FillBlock"},
    };
    const Rows before = Values(grid.get());
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf([&] { TMapTools::FillBlock(grid.get(), 5, c.n, c.s, c.w, c.e); }),
                  c.message);
    }
    EXPECT_EQ(Values(grid.get()), before);
    TMapTools::FillBlock(grid.get(), 5, 1, 1, 2, 2);
    EXPECT_EQ(Values(grid.get()), (Rows{{0, 1, 2}, {10, 11, 5}, {20, 21, 22}}));
    TMapTools::FillBlock(grid.get(), 7, 0, 2, 0, 1);
    EXPECT_EQ(Values(grid.get()), (Rows{{7, 7, 2}, {7, 7, 5}, {7, 7, 22}}));
}
