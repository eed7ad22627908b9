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
}

// A step lost in rounding is the caller's range, not a memory failure: the
// series would never end. It used to be reported as std::bad_alloc.
TEST(TVectorTools, VectorSeriesRefusesAStepLostInRounding) {
    const double p53 = 9007199254740992.0;  // 2^53: above it the gap is 2
    const double inf = std::numeric_limits<double>::infinity();
    const double u = std::numeric_limits<double>::epsilon();  // the gap above 1
    struct Case {
        double start, end, step;
        bool stalls;
    } cases[] = {
        {1e20, 2e20, 1, true},          // lost at the start
        {0, 1e300, 1, true},            // lost on the way, long before the end
        {p53 - 4, p53, 1, true},        // reaches 2^53, where 1 is half the gap
        {p53 + 2, p53 + 6, 1, true},    // odd last bit: one step, then stuck
        {-p53 - 8, -p53 - 4, 1, true},  // negative values: the gap shrinks upward
        {p53 + 2, p53 + 2, 1, false},   // one value; the step is never added twice
        {p53 - 4, p53 - 1, 1, false},   // ends below 2^53
        {p53, p53 + 8, 2, false},       // a whole gap is never lost
        {0, inf, 1e300, true},          // the values reach infinity and stay there
        {-inf, 0, 1, true},
        {1, 2, 1e-17, true},              // below half the gap at 1
        {1, 1 + 4 * u, u / 2, true},      // half the gap, at an even value
        {1 + u, 1 + u, u / 2, false},     // odd: one step up, past the end
        {1, 1 + 4 * u, 0.55 * u, false},  // just above half the gap
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.end << " " << c.step);
        if (c.stalls) {
            EXPECT_EQ(MessageOf([&] { TVectorTools::VectorSeries(c.start, c.end, c.step); }),
                      "Step is too small for the range in TVectorTools::VectorSeries");
        } else {
            // Short series: the values are those of the plain loop.
            std::vector<double> expected;
            for (double v = c.start; v <= c.end; v += c.step)
                expected.push_back(v);
            EXPECT_EQ(TVectorTools::VectorSeries(c.start, c.end, c.step), expected);
        }
    }
}

// A series that ends but is too long for memory fails at once with the
// standard allocation failure. The sanitizers' allocator ends the process on
// such a request instead of failing it, so this runs only without them.
TEST(TVectorTools, VectorSeriesTooLongToHoldIsAnAllocationFailure) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer aborts on an impossible allocation";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "AddressSanitizer aborts on an impossible allocation";
#endif
#endif
    // 2^52 + 1 values (36 PB); 1 is never lost below 2^53.
    EXPECT_THROW(TVectorTools::VectorSeries(0, 4503599627370496.0, 1), std::bad_alloc);
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
