// TMapTools thresholds, value tables and counts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <random>

#include <gridsnip/tools/TMapTools.h>
#include "TestSupport.h"

TEST(TMapToolsClassification, ThresholdKeepsValuesAtOrAbove) {
    const auto grid = Grid(1, {{4.9, 5, 7, kNaN, -9999}}, -32768);
    const auto kept = Own(TMapTools::Threshold(grid.get(), 5));
    EXPECT_EQ(Values(kept.get()), (Rows{{0, 5, 7, 0, 0}}));
    EXPECT_EQ(kept->MbrDblNoData, -9999);  // classification results carry -9999
    EXPECT_EQ(kept->MbrPtrXAxis->GetPoint(4)->MbrDblX, 4.5);
    const auto low = Own(TMapTools::Threshold(grid.get(), -9999));
    EXPECT_EQ(low->GetPointVal(4, 0), -9999);

    const auto replaced = Own(TMapTools::ThresholdReplace(grid.get(), 5, 1));
    const Rows values = Values(replaced.get());
    EXPECT_EQ(values[0][0], 4.9);
    EXPECT_EQ(values[0][1], 1);
    EXPECT_EQ(values[0][2], 1);
    EXPECT_TRUE(std::isnan(values[0][3]));
    EXPECT_EQ(values[0][4], -9999);
}

TEST(TMapToolsClassification, ThresholdOfAListKeepsItsOrder) {
    EXPECT_TRUE(TMapTools::Threshold(std::vector<TMap*>{}, 1).empty());
    const auto a = Grid(1, {{1}}), b = Grid(1, {{2}}), c = Grid(1, {{3}});
    std::vector<TMap*> result = TMapTools::Threshold({a.get(), b.get(), c.get()}, 2);
    ASSERT_EQ(result.size(), 3u);
    EXPECT_EQ(result[0]->GetPointVal(0, 0), 0);
    EXPECT_EQ(result[1]->GetPointVal(0, 0), 2);
    EXPECT_EQ(result[2]->GetPointVal(0, 0), 3);
    for (TMap* map : result)
        delete map;
    // A failure part way releases what was made (the sanitizer build checks).
    TMap broken(1, 1, 1);
    EXPECT_EQ(MessageOf([&] {
                  TMapTools::Threshold({a.get(), &broken}, 2);
              }),
              "Axis is not set in TMap::TMap");
}

TEST(TMapToolsClassification, ReplaceValueThroughATable) {
    const auto grid = Grid(1, {{1, 2, 3, -9999, kNaN, -0.0}});
    const auto mapped = Own(TMapTools::ReplaceValue(grid.get(), {{1, 10}, {2, 20}, {0, 5}}, 0));
    // A NaN is no key (the smallest key would be 0 here), -0 finds 0.
    EXPECT_EQ(Values(mapped.get()), (Rows{{10, 20, 0, 0, 0, 5}}));
    const auto empty = Own(TMapTools::ReplaceValue(grid.get(), {}, 7));
    EXPECT_EQ(Values(empty.get()), (Rows{{7, 7, 7, 7, 7, 7}}));
}

TEST(TMapToolsClassification, CountValues) {
    const auto grid = Grid(1, {{1, 1}, {2, -9999}});
    EXPECT_EQ(TMapTools::CountValues(grid.get()),
              (std::map<double, long>{{-9999, 1}, {1, 2}, {2, 1}}));
    EXPECT_EQ(TMapTools::CountValues(grid.get(), 1), 2);
    EXPECT_EQ(TMapTools::CountValues(grid.get(), 3), 0);
    // NaN cells are left out of the table, and a NaN value matches nothing.
    const auto withNaN = Grid(1, {{kNaN, 1, kNaN, 0}});
    EXPECT_EQ(TMapTools::CountValues(withNaN.get()), (std::map<double, long>{{0, 1}, {1, 1}}));
    EXPECT_EQ(TMapTools::CountValues(withNaN.get(), kNaN), 0);
}

// 0 and -0 are one key, and the table keeps the one met first column by
// column from column 0. A row-by-row walk used to keep the other one.
TEST(TMapToolsClassification, CountValuesKeepsTheZeroOfTheColumnWalk) {
    struct Case {
        Rows rows;
        bool negative;  // the sign of the zero key
    } cases[] = {
        {{{5, -0.0}, {0, 5}}, false},
        {{{5, 0}, {-0.0, 5}}, true},
        {{{-0.0, 0}}, true},
        {{{0}, {-0.0}}, false},
    };
    for (const Case& c : cases) {
        const auto counts = TMapTools::CountValues(Grid(1, c.rows).get());
        const auto zero = counts.find(0.0);
        ASSERT_NE(zero, counts.end());
        EXPECT_EQ(zero->second, 2);
        EXPECT_EQ(std::signbit(zero->first), c.negative);
    }
    // Against the column walk written out, on random grids of 0, -0 and 1.
    std::mt19937 random(3);
    const double choices[] = {0.0, -0.0, 1.0};
    for (int trial = 0; trial < 300; ++trial) {
        Rows rows(1 + random() % 4, std::vector<double>(1 + random() % 4));
        for (auto& row : rows)
            for (double& v : row)
                v = choices[random() % 3];
        std::map<double, long> expected;
        for (std::size_t x = 0; x < rows[0].size(); ++x)
            for (const auto& row : rows)
                ++expected[row[x]];
        const auto counts = TMapTools::CountValues(Grid(1, rows).get());
        ASSERT_EQ(counts, expected) << trial;
        auto k = counts.begin();
        for (const auto& e : expected)
            ASSERT_EQ(std::signbit((k++)->first), std::signbit(e.first)) << trial;
    }
}
