// TVectorTools: sums, means, slopes, series, membership and conversions.
#include <gridsnip/tools/TVectorTools.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <new>

#include "TestSupport.h"

TEST(TVectorTools, SumsAndMeans) {
    EXPECT_EQ(TVectorTools::SumVector({}), 0);
    EXPECT_EQ(TVectorTools::SumVector({1, 2, 3.5}), 6.5);
    EXPECT_TRUE(std::isnan(TVectorTools::VectorMean({})));
    EXPECT_EQ(TVectorTools::VectorMean({1, 2, 6}), 3);
    EXPECT_EQ(TVectorTools::VectorWeightedMean({1, 2, 3}, {1, 1, 1}), 2);
    EXPECT_EQ(TVectorTools::VectorWeightedMean({1, 2, 3}, {2, 2, 2}), 4);  // over the count
    EXPECT_TRUE(std::isnan(TVectorTools::VectorWeightedMean({}, {})));
    EXPECT_EQ(TVectorTools::VectorProduct({1, 2}, {3, 4}), (std::vector<double>{3, 8}));
    EXPECT_TRUE(TVectorTools::VectorProduct({}, {}).empty());
}

TEST(TVectorTools, LengthMessages) {
    EXPECT_EQ(MessageOf([] {
                  TVectorTools::VectorWeightedMean({1, 2}, {1, 2, 3});
              }),
              "Length of value and weight vectors do not match in TVectorTools::WeightedMean");
    EXPECT_EQ(MessageOf([] {
                  TVectorTools::VectorProduct({1, 2}, {1, 2, 3});
              }),
              "Length of vectors does not match in TVectorTools::VectorProduct");
    EXPECT_EQ(MessageOf([] {
                  TVectorTools::Gradient({1, 2, 3}, {1, 2});
              }),
              "Length of vectors does not match in TVectorTools::VectorProduct");
}

TEST(TVectorTools, Gradient) {
    EXPECT_EQ(TVectorTools::Gradient({0, 1, 2, 3}, {1, 3, 5, 7}), 2);
    EXPECT_FALSE(std::isfinite(TVectorTools::Gradient({1, 1, 1}, {1, 2, 3})));
    EXPECT_TRUE(std::isnan(TVectorTools::Gradient({2}, {5})));
}

TEST(TVectorTools, SeriesAccumulateByAddition) {
    EXPECT_EQ(TVectorTools::VectorSeries(0, 3, 1), (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(TVectorTools::VectorSeries(1, 1, 1), (std::vector<double>{1}));
    EXPECT_TRUE(TVectorTools::VectorSeries(5, 4, 1).empty());
    EXPECT_TRUE(TVectorTools::VectorSeries(5, 4, -1).empty());
    const auto tenths = TVectorTools::VectorSeries(0, 1, 0.1);
    ASSERT_EQ(tenths.size(), 11u);
    EXPECT_LT(tenths.back(), 1);
    EXPECT_EQ(TVectorTools::VectorSeries(0, 0.3, 0.1).size(), 3u);
    EXPECT_TRUE(TVectorTools::VectorSeries(NAN, 1, 1).empty());
    EXPECT_EQ(TVectorTools::VectorSeries(0, 1, NAN), (std::vector<double>{0}));
    for (double step : {0.0, -1.0}) {
        EXPECT_EQ(MessageOf([&] { TVectorTools::VectorSeries(0, 1, step); }),
                  "Step must be greater than 0 in TVectorTools::VectorSeries");
    }
    // Series that could never be held, or never end, fail at once.
    EXPECT_THROW(TVectorTools::VectorSeries(0, 1e300, 1), std::bad_alloc);
    EXPECT_THROW(TVectorTools::VectorSeries(1e20, 2e20, 1), std::bad_alloc);
}

TEST(TVectorTools, Membership) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(TVectorTools::HasValue(std::vector<double>{1.5, nan}, nan));
    EXPECT_TRUE(TVectorTools::HasValue(std::vector<double>{0.0}, -0.0));
    EXPECT_TRUE(TVectorTools::HasValue(std::vector<double>{1.5, 2}, 2.0));
    EXPECT_FALSE(TVectorTools::HasValue(std::vector<double>{}, 1.0));
    EXPECT_TRUE(TVectorTools::HasValue(std::vector<int>{3, 4}, 4));
    EXPECT_FALSE(TVectorTools::HasValue(std::vector<int>{3, 4}, 5));
}

TEST(TVectorTools, Conversions) {
    EXPECT_EQ(TVectorTools::StringToInt({"12", " -7", "3.9", "x", "+5z", "", "99999999999",
                                         "-99999999999", "2147483647", "-2147483648"}),
              (std::vector<int>{12, -7, 3, 0, 5, 0, INT_MAX, INT_MIN, INT_MAX, INT_MIN}));
    EXPECT_EQ(TVectorTools::StringToDouble({"2.5", "1e3", "abc", " -4x"}),
              (std::vector<double>{2.5, 1000, 0, -4}));
    EXPECT_EQ(TVectorTools::IntToDouble({1, -2}), (std::vector<double>{1, -2}));
}
