// TMapTools series of grids: cell runs, neighbourhoods, sliding slopes and averages.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include <gridsnip/tools/TMapTools.h>
#include <gridsnip/tools/TVectorTools.h>
#include "TestSupport.h"

namespace {

// Owns a series of grids and hands out the raw list.
struct Series {
    std::vector<std::unique_ptr<TMap>> owned;
    std::vector<TMap*> raw;
    void Add(std::unique_ptr<TMap> map) {
        raw.push_back(map.get());
        owned.push_back(std::move(map));
    }
};

// A series of 1 x 1 grids holding the given values.
Series Cells(std::initializer_list<double> values, double noData = -9999) {
    Series series;
    for (double v : values)
        series.Add(Grid(1, {{v}}, noData));
    return series;
}

struct Owned {
    std::vector<TMap*> maps;
    ~Owned() {
        for (TMap* m : maps)
            delete m;
    }
};

}  // namespace

TEST(TMapToolsSeries, GetValuesVector) {
    Series series = Cells({0, 1, 2, 3, 4});
    EXPECT_EQ(TMapTools::GetValuesVector(series.raw, 0, 0, 1, 3), (std::vector<double>{1, 2, 3}));
    struct Case {
        int start, end;
        std::int32_t column, row;
        const char* message;
    } cases[] = {
        {2, 2, 0, 0, "Stat map number must be less than end map number"},
        {3, 1, 0, 0, "Stat map number must be less than end map number"},
        {-1, 3, 0, 0, "Start map number is out of range in TMapTools::GetValuesVector"},
        {5, 3, 0, 0, "Start map number is out of range in TMapTools::GetValuesVector"},
        {0, 5, 0, 0, "End map number is out of range in TMapTools::GetValuesVector"},
        {0, -2, 0, 0, "End map number is out of range in TMapTools::GetValuesVector"},
        {0, 1, 1, 5, "X-ordinate is out of range in TMap::GetPointVal"},
        {0, 1, 0, -1, "Y-ordinate is out of range in TMap::GetPointVal"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf([&] {
                      TMapTools::GetValuesVector(series.raw, c.column, c.row, c.start, c.end);
                  }),
                  c.message);
    }
}

TEST(TMapToolsSeries, FindNonzeroNeighbourVal) {
    Rows zeros(4, std::vector<double>(4, 0));
    Rows a = zeros;
    a[2][0] = 4;  // (column 0, row 2) = (column - 1, row + 1) of (1, 1)
    a[0][2] = 7;  // (column + 1, row - 1)
    EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(Grid(1, a).get(), 1, 1), 7);
    Rows b = zeros;
    b[0][0] = 4;
    b[2][0] = 9;
    EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(Grid(1, b).get(), 1, 1), 4);
    Rows corner = zeros;
    corner[2][2] = 5;  // outside the corner's 2 x 2 block
    EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(Grid(1, corner).get(), 0, 0), 0);
    corner[1][1] = -9999;
    EXPECT_EQ(TMapTools::FindNonzeroNeighbourVal(Grid(1, corner).get(), 0, 0), -9999);
    const auto grid = Grid(1, zeros);
    EXPECT_EQ(MessageOf([&] { TMapTools::FindNonzeroNeighbourVal(grid.get(), 4, -1); }),
              "X-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal");
    EXPECT_EQ(MessageOf([&] { TMapTools::FindNonzeroNeighbourVal(grid.get(), 0, 4); }),
              "Y-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal");
}

TEST(TMapToolsSeries, ValueGradientsWindowsAndCells) {
    // Cells (column 0..4 of row 0): slope 1; 0 first; 0 in the middle, replaced
    // by the neighbour's 9; 0 last, fitted as 0; a no-data value left out.
    Series series;
    series.Add(Grid(1, {{1, 0, 1, 1, 5, 9}}));
    series.Add(Grid(1, {{2, 7, 0, 2, -9999, 9}}));
    series.Add(Grid(1, {{3, 7, 3, 0, 7, 9}}));
    series.Add(Grid(1, {{4, 7, 4, 4, 8, 9}}));
    Owned two{TMapTools::ValueGradients(series.raw, 2)};
    ASSERT_EQ(two.maps.size(), 2u);
    const Rows first = Values(two.maps[0]);
    EXPECT_DOUBLE_EQ(first[0][0], 1);
    EXPECT_EQ(first[0][1], -9999);  // grid 0 holds 0 there
    // 1, 0, 3: the 0 is replaced from its neighbourhood in grid 1, where column 1
    // holds 7 and column 3 holds 2 and the easternmost wins: (0,1), (1,2), (2,3).
    EXPECT_DOUBLE_EQ(first[0][2], 1);
    EXPECT_DOUBLE_EQ(first[0][3], TVectorTools::Gradient({0, 1, 2}, {1, 2, 0}));
    EXPECT_DOUBLE_EQ(first[0][4], 1);  // (0, 5) and (2, 7): the no-data point left out
    EXPECT_DOUBLE_EQ(first[0][5], 0);
    EXPECT_EQ(two.maps[0]->MbrDblNoData, -9999);

    Owned none{TMapTools::ValueGradients(series.raw, 4)};
    EXPECT_TRUE(none.maps.empty());
    for (int bad : {5, -1}) {
        EXPECT_EQ(MessageOf([&] { Owned o{TMapTools::ValueGradients(series.raw, bad)}; }),
                  "Window size must be < number of maps in TMapTools::ValueGradients");
    }
    EXPECT_TRUE(TMapTools::ValueGradients({}, 0).empty());
    EXPECT_EQ(MessageOf([&] { Owned o{TMapTools::ValueGradients(series.raw, 0)}; }),
              "Stat map number must be less than end map number");
    Series mixed = Cells({1, 2});
    mixed.Add(Grid(1, {{1, 2}}));
    EXPECT_EQ(MessageOf([&] { Owned o{TMapTools::ValueGradients(mixed.raw, 1)}; }),
              "Map dimensions do not match in TMapTools::ValueGradients");
}

TEST(TMapToolsSeries, ValueGradientsOfOnePointIsNaN) {
    Series series = Cells({5, -9999});
    Owned result{TMapTools::ValueGradients(series.raw, 1)};
    ASSERT_EQ(result.maps.size(), 1u);
    EXPECT_TRUE(std::isnan(result.maps[0]->GetPointVal(0, 0)));
}

TEST(TMapToolsSeries, MovingAverage) {
    Series series = Cells({1, 3, 5, -32768}, -32768);
    Owned pairs{TMapTools::MovingAverage(series.raw, 2)};
    ASSERT_EQ(pairs.maps.size(), 3u);
    EXPECT_EQ(pairs.maps[0]->GetPointVal(0, 0), 2);
    EXPECT_EQ(pairs.maps[1]->GetPointVal(0, 0), 4);
    EXPECT_EQ(pairs.maps[2]->GetPointVal(0, 0), -32768);  // no-data, with the marker
    EXPECT_EQ(pairs.maps[2]->MbrDblNoData, -32768);
    Owned all{TMapTools::MovingAverage(series.raw, 4)};
    EXPECT_EQ(all.maps.size(), 1u);
    EXPECT_TRUE(TMapTools::MovingAverage(series.raw, 5).empty());
    EXPECT_EQ(MessageOf([&] { Owned o{TMapTools::MovingAverage(series.raw, 1)}; }),
              "Must have more than 2 maps to sum in TMapTools::Sum");
    // A failure in a later window releases the earlier ones (checked under the
    // sanitizers): the third grid is wider.
    Series broken = Cells({1, 2});
    broken.Add(Grid(1, {{1, 2}}));
    EXPECT_EQ(MessageOf([&] { Owned o{TMapTools::MovingAverage(broken.raw, 2)}; }),
              "X-dimension of maps are inconsistent in TMapTools::Sum");
}
