// TAxisTools: edges from centres and centres from edges.
#include <gridsnip/grid/TAxisTools.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "TestSupport.h"

namespace {

std::unique_ptr<TAxis> MakeAxis(const std::vector<std::pair<double, double>>& points,
                                double resolution) {
    auto axis = std::make_unique<TAxis>(resolution);
    for (const auto& [x, y] : points) {
        axis->AddPoint(new TPoint(x, y));
    }
    return axis;
}

void ExpectPoints(const TAxis* axis, const std::vector<std::pair<double, double>>& expected) {
    ASSERT_EQ(axis->GetSize(), static_cast<int>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_DOUBLE_EQ(axis->GetPoint(static_cast<int>(i))->MbrDblX, expected[i].first) << i;
        EXPECT_DOUBLE_EQ(axis->GetPoint(static_cast<int>(i))->MbrDblY, expected[i].second) << i;
    }
}

}  // namespace

TEST(TAxisTools, PointsToIntervalsFollowsTheAxisDirection) {
    const auto x = MakeAxis({{2.25, 5}, {2.75, 5}, {3.25, 5}}, 0.5);
    const std::unique_ptr<TAxis> xEdges(TAxisTools::PointsToIntervals(x.get(), 'X'));
    ExpectPoints(xEdges.get(), {{2, 4.75}, {2.5, 4.75}, {3, 4.75}, {3.5, 4.75}});
    EXPECT_EQ(xEdges->MbrDblResolution, 0.5);

    const auto y = MakeAxis({{2, 4.75}, {2, 4.25}}, 0.5);
    const std::unique_ptr<TAxis> yEdges(TAxisTools::PointsToIntervals(y.get(), 'Y'));
    ExpectPoints(yEdges.get(), {{1.75, 5}, {1.75, 4.5}, {1.75, 4}});

    // One point shows no direction: two edges, rising.
    const auto single = MakeAxis({{0, 10}}, 2);
    const std::unique_ptr<TAxis> singleEdges(TAxisTools::PointsToIntervals(single.get(), 'Y'));
    ExpectPoints(singleEdges.get(), {{-1, 9}, {-1, 11}});
}

TEST(TAxisTools, IntervalsToPointsTakesMidpoints) {
    const auto edges = MakeAxis({{2, 5}, {2.5, 5}, {3, 5}, {3.5, 5}}, 0.5);
    const std::unique_ptr<TAxis> centres(TAxisTools::IntervalsToPoints(edges.get(), 'X'));
    ExpectPoints(centres.get(), {{2.25, 5}, {2.75, 5}, {3.25, 5}});
    // Falling X edges: half the distance beyond the first edge, not the midpoint.
    const auto falling = MakeAxis({{3, 0}, {2, 0}}, 1);
    const std::unique_ptr<TAxis> beyond(TAxisTools::IntervalsToPoints(falling.get(), 'X'));
    ExpectPoints(beyond.get(), {{3.5, 0}});

    const auto one = MakeAxis({{1, 1}}, 1);
    EXPECT_EQ(std::unique_ptr<TAxis>(TAxisTools::IntervalsToPoints(one.get(), 'X'))->GetSize(), 0);
}

TEST(TAxisTools, EmptyAxesAndEmptySlotsAreRefused) {
    const TAxis empty(1);
    EXPECT_EQ(MessageOf([&] { TAxisTools::PointsToIntervals(&empty, 'X'); }),
              "Index is out of range in TAxis::GetPoint");
    EXPECT_EQ(MessageOf([&] { TAxisTools::IntervalsToPoints(&empty, 'X'); }),
              "Index is out of range in TAxis::GetPoint");
    const TAxis holes(1, 2);
    EXPECT_EQ(MessageOf([&] { TAxisTools::PointsToIntervals(&holes, 'X'); }),
              "Axis point is not set in TAxisTools::PointsToIntervals");
    EXPECT_EQ(MessageOf([&] { TAxisTools::IntervalsToPoints(&holes, 'X'); }),
              "Axis point is not set in TAxisTools::IntervalsToPoints");
}
