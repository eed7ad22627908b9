// TMapTools cell arithmetic: pairing, geometry, no-data markers and messages.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include <gridsnip/tools/TMapTools.h>
#include "TestSupport.h"

TEST(TMapToolsArithmetic, AddPairsFineCellsWithTheCoarseCellAroundTheirCentre) {
    const auto fine =
        Grid(0.5, {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}}, -1);
    const auto coarse = Grid(1, {{100, 200}, {300, 400}});
    const Rows expected = {
        {101, 102, 203, 204}, {105, 106, 207, 208}, {309, 310, 411, 412}, {313, 314, 415, 416}};
    for (const auto& [a, b] : {std::pair{fine.get(), coarse.get()}, {coarse.get(), fine.get()}}) {
        const auto sum = Own(TMapTools::Add(a, b));
        EXPECT_EQ(Values(sum.get()), expected);
        EXPECT_EQ(sum->MbrDblResolution, 0.5);
        EXPECT_EQ(sum->MbrDblNoData, -1);  // the fine grid's marker
        EXPECT_EQ(sum->MbrPtrXAxis->GetPoint(3)->MbrDblX, 1.75);
        EXPECT_EQ(sum->MbrPtrYAxisInterval->GetPoint(0)->MbrDblY, 2);
    }
    const auto product = Own(TMapTools::Multiply(coarse.get(), fine.get()));
    EXPECT_EQ(product->GetPointVal(3, 3), 6400);
    const auto quotient = Own(TMapTools::Divide(fine.get(), coarse.get()));
    EXPECT_EQ(quotient->GetPointVal(2, 0), 3.0 / 200);
}

TEST(TMapToolsArithmetic, PairedNoDataTakesTheFineMarker) {
    const auto a = Grid(1, {{1, -32768}, {3, 4}}, -32768);
    const auto b = Grid(1, {{10, 20}, {-9999, 40}});
    const auto sum = Own(TMapTools::Add(a.get(), b.get()));  // equal resolutions: a visits
    EXPECT_EQ(Values(sum.get()), (Rows{{11, -32768}, {-32768, 44}}));
    EXPECT_EQ(sum->MbrDblNoData, -32768);
    const auto other = Own(TMapTools::Add(b.get(), a.get()));
    EXPECT_EQ(Values(other.get()), (Rows{{11, -9999}, {-9999, 44}}));
    EXPECT_EQ(other->MbrDblNoData, -9999);
}

TEST(TMapToolsArithmetic, PairedOperationsFailWhereFineCentresLeaveTheCoarseGrid) {
    // Every fine cell outside is no-data, and the lookup still fails.
    const auto fine = Grid(0.5, {{1, 2, -9999}, {3, 4, -9999}});  // 1.5 wide
    const auto coarse = Grid(1, {{1}});
    EXPECT_EQ(MessageOf([&] { Own(TMapTools::Add(fine.get(), coarse.get())); }),
              "Ordinate is out of range in TAxis::GetIndex");
    EXPECT_EQ(MessageOf([&] { Own(TMapTools::Multiply(coarse.get(), fine.get())); }),
              "Ordinate is out of range in TAxis::GetIndex");
}

TEST(TMapToolsArithmetic, DivideChecksResolutionsAndFollowsIeee) {
    const auto fine = Grid(0.5, {{6, 0}, {1, 1}});
    const auto coarse = Grid(1, {{0}});
    EXPECT_EQ(
        MessageOf([&] { Own(TMapTools::Divide(coarse.get(), fine.get())); }),
        "Divisor must be of equal of coarser resolution than the dividend in TMapTools::Divide");
    const auto quotient = Own(TMapTools::Divide(fine.get(), coarse.get()));
    EXPECT_TRUE(std::isinf(quotient->GetPointVal(0, 0)));
    EXPECT_TRUE(std::isnan(quotient->GetPointVal(1, 0)));
}

TEST(TMapToolsArithmetic, SubtractPairsByIndex) {
    const auto a = Grid(1, {{5, 6}, {-32768, 8}}, -32768);
    auto b = Grid(0.5, {{1, 2}, {3, -9999}});  // another resolution and extent: by index
    const auto difference = Own(TMapTools::Subtract(a.get(), b.get()));
    EXPECT_EQ(Values(difference.get()), (Rows{{4, 4}, {-32768, -32768}}));
    EXPECT_EQ(difference->MbrDblNoData, -32768);
    EXPECT_EQ(difference->MbrDblResolution, 1);
    const auto wide = Grid(1, {{1, 2, 3}, {4, 5, 6}});
    const auto tall = Grid(1, {{1, 2}, {3, 4}, {5, 6}});
    EXPECT_EQ(MessageOf([&] { Own(TMapTools::Subtract(a.get(), wide.get())); }),
              "X dimensions do not match in TMapTools::Subtract");
    EXPECT_EQ(MessageOf([&] { Own(TMapTools::Subtract(a.get(), tall.get())); }),
              "Y dimensions do not match in TMapTools::Subtract");
}

TEST(TMapToolsArithmetic, ByANumberKeepsTheInputMarker) {
    // Guards the marker: no-data cells keep the input's marker and the result
    // declares it, for -9999 and any other marker alike.
    for (double marker : {-9999.0, -32768.0}) {
        SCOPED_TRACE(marker);
        const auto grid = Grid(1, {{2, marker, -9999, kNaN}}, marker);
        const auto times = Own(TMapTools::Multiply(grid.get(), 3.0));
        const auto over = Own(TMapTools::Divide(grid.get(), 2.0));
        for (const TMap* result : {times.get(), over.get()}) {
            EXPECT_EQ(result->MbrDblNoData, marker);
            EXPECT_EQ(result->GetPointVal(1, 0), marker);
            EXPECT_TRUE(std::isnan(result->GetPointVal(3, 0)));
        }
        EXPECT_EQ(times->GetPointVal(0, 0), 6);
        EXPECT_EQ(over->GetPointVal(0, 0), 1);
        // -9999 is data in a -32768 grid.
        EXPECT_EQ(times->GetPointVal(2, 0), marker == -9999 ? -9999 : -29997);
        EXPECT_EQ(over->GetPointVal(2, 0), marker == -9999 ? -9999 : -4999.5);
    }
    const auto zero = Own(TMapTools::Divide(Grid(1, {{1}}).get(), 0.0));
    EXPECT_TRUE(std::isinf(zero->GetPointVal(0, 0)));
}

TEST(TMapToolsArithmetic, SumCountsAndAverageOverAList) {
    const auto a = Grid(1, {{1, 2, 3, kNaN}});
    const auto b = Grid(1, {{10, -32768, 30, 1}}, -32768);
    const auto c = Grid(1, {{100, 200, -9999, 1}});
    const std::vector<TMap*> list = {a.get(), b.get(), c.get()};
    const auto sum = Own(TMapTools::Sum(list));
    EXPECT_EQ(sum->MbrDblNoData, -9999);  // the first grid's marker, in every no-data cell
    EXPECT_EQ(sum->GetPointVal(0, 0), 111);
    EXPECT_EQ(sum->GetPointVal(1, 0), -9999);
    EXPECT_EQ(sum->GetPointVal(2, 0), -9999);
    EXPECT_TRUE(std::isnan(sum->GetPointVal(3, 0)));

    const auto counts = Own(TMapTools::DataCounts(list));
    EXPECT_EQ(Values(counts.get()), (Rows{{3, 2, 2, 3}}));  // NaN counts as data
    EXPECT_EQ(counts->MbrDblNoData, -9999);

    const auto twoA = Grid(1, {{2, 2}}, -32768);
    const auto twoB = Grid(1, {{4, -32768}}, -32768);
    const auto average = Own(TMapTools::Average({twoA.get(), twoB.get()}));
    EXPECT_EQ(Values(average.get()), (Rows{{3, -32768}}));  // the marker is never divided
    EXPECT_EQ(average->MbrDblNoData, -32768);
}

TEST(TMapToolsArithmetic, ListMessages) {
    const auto a = Grid(1, {{1, 2}});
    const auto wide = Grid(1, {{1, 2, 3}});
    const auto tall = Grid(1, {{1, 2}, {3, 4}});
    struct Case {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[&] { Own(TMapTools::Sum({a.get()})); },
         "Must have more than 2 maps to sum in TMapTools::Sum"},
        {[&] { Own(TMapTools::Average({a.get()})); },
         "Must have more than 2 maps to sum in TMapTools::Sum"},
        {[&] {
             Own(TMapTools::Sum({a.get(), a.get(), wide.get()}));
         },
         "X-dimension of maps are inconsistent in TMapTools::Sum"},
        {[&] {
             Own(TMapTools::Sum({a.get(), tall.get()}));
         },
         "Y-dimension of maps are inconsistent in TMapTools::Sum"},
        {[&] { Own(TMapTools::DataCounts({})); },
         "Must have at least one map in TMapTools::DataCounts"},
        {[&] {
             Own(TMapTools::DataCounts({a.get(), wide.get()}));
         },
         "X-dimension of maps are inconsistent in TMapTools::DataCounts"},
        {[&] {
             Own(TMapTools::DataCounts({a.get(), tall.get()}));
         },
         "Y-dimension of maps are inconsistent in TMapTools::DataCounts"},
        {[&] { Own(TMapTools::Mask(a.get(), wide.get(), 0, 1)); },
         "X dimensions do not match in TMapTools::Mask"},
        {[&] { Own(TMapTools::Mask(a.get(), tall.get(), 0, 1)); },
         "Y dimensions do not match in TMapTools::Mask"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf(c.call), c.message);
    }
    EXPECT_EQ(Values(Own(TMapTools::Sum({a.get(), a.get()})).get()), (Rows{{2, 4}}));
    EXPECT_EQ(Values(Own(TMapTools::DataCounts({a.get()})).get()), (Rows{{1, 1}}));
}

TEST(TMapToolsArithmetic, MaskTakesTheSecondGridsValuesAndMarker) {
    const auto first = Grid(1, {{7, 7, 7}});
    const auto second = Grid(2, {{0, 5, -32768}}, -32768);
    const auto masked = Own(TMapTools::Mask(first.get(), second.get(), 0, 1));
    EXPECT_EQ(Values(masked.get()), (Rows{{1, 5, -32768}}));
    EXPECT_EQ(masked->MbrDblNoData, -32768);
    EXPECT_EQ(masked->MbrDblResolution, 1);  // the first grid's geometry
}

TEST(TMapToolsArithmetic, RoundContentsRoundsHalfUpForEverySign) {
    const double inf = std::numeric_limits<double>::infinity();
    const auto grid =
        Grid(1, {{2.5, 3.49, -2.5, -2.6, -0.7, 2.4, 5e9 + 0.5, -32768.4, inf, kNaN}}, -32768.4);
    const auto rounded = Own(TMapTools::RoundContents(grid.get()));
    const Rows values = Values(rounded.get());
    const double expected[] = {3, 3, -2, -3, -1, 2, 5e9 + 1, -32768.4, inf};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(values[0][static_cast<std::size_t>(i)], expected[i]) << i;
    }
    EXPECT_TRUE(std::isnan(values[0][9]));
    EXPECT_EQ(rounded->MbrDblNoData, -32768.4);
}
