// TAxis: segment lookup, segments, point slots and copies.
#include <gridsnip/grid/TAxis.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>

#include <gridsnip/grid/TMapPoint.h>
#include "TestSupport.h"
#include "grid/TAxisSearch.h"
#include "grid/TEdgeRule.h"

namespace {

const char* const kOutOfRange = "Ordinate is out of range in TAxis::GetIndex";

std::unique_ptr<TAxis> MakeAxis(std::initializer_list<double> values, char selector,
                                double resolution = 0.5) {
    auto axis = std::make_unique<TAxis>(resolution);
    for (double v : values) {
        axis->AddPoint(selector == 'X' ? new TPoint(v, 0) : new TPoint(0, v));
    }
    return axis;
}

}  // namespace

TEST(TAxis, GetIndexOnRisingAndFallingAxes) {
    const auto x = MakeAxis({2, 2.5, 3, 3.5}, 'X');
    const auto y = MakeAxis({5, 4.5, 4}, 'Y');
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const TAxis* axis;
        char selector;
        double ordinate;
        int index;  // -1: out of range
    } cases[] = {
        {x.get(), 'X', 2, 0},    {x.get(), 'X', 2.5, 1},   {x.get(), 'X', 3.49, 2},
        {x.get(), 'X', 3.5, 2},  {x.get(), 'X', 1.99, -1}, {x.get(), 'X', 3.51, -1},
        {x.get(), 'X', nan, -1}, {y.get(), 'Y', 5, 0},     {y.get(), 'Y', 4.5, 0},
        {y.get(), 'Y', 4.49, 1}, {y.get(), 'Y', 4, 1},     {y.get(), 'Y', 5.01, -1},
        {y.get(), 'Z', 4.49, 1},  // any selector other than 'X' reads Y
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ordinate);
        if (c.index < 0) {
            EXPECT_EQ(MessageOf([&] { c.axis->GetIndex(c.ordinate, c.selector); }), kOutOfRange);
        } else {
            EXPECT_EQ(c.axis->GetIndex(c.ordinate, c.selector), c.index);
        }
    }
}

TEST(TAxis, GetIndexRefusesAxesWithoutSegmentsAndEmptySlots) {
    const auto one = MakeAxis({2}, 'X');
    EXPECT_EQ(MessageOf([&] { one->GetIndex(2, 'X'); }), kOutOfRange);
    const TAxis empty(0.5);
    EXPECT_EQ(MessageOf([&] { empty.GetIndex(2, 'X'); }), kOutOfRange);
    TAxis holes(0.5, 3);
    holes.SetPoint(0, new TPoint(0, 0));
    EXPECT_EQ(MessageOf([&] { holes.GetIndex(0, 'X'); }),
              "Axis point is not set in TAxis::GetIndex");
    // The search over such an axis fails where the scan fails.
    EXPECT_EQ(MessageOf([&] { TAxisSearch(holes, 'X').Get(0); }),
              "Axis point is not set in TAxis::GetIndex");
}

TEST(TAxis, SetAndGetPointCheckTheIndex) {
    TAxis axis(1.0, 2);
    EXPECT_EQ(axis.GetSize(), 2);
    EXPECT_EQ(axis.GetPoint(1), nullptr);
    axis.SetPoint(1, new TPoint(7, 8));
    axis.SetPoint(1, new TPoint(9, 10));  // replaces (and deletes) the first
    EXPECT_EQ(axis.GetPoint(1)->MbrDblX, 9);
    TPoint stray(0, 0);
    for (int index : {-1, 2}) {
        EXPECT_EQ(MessageOf([&] { axis.SetPoint(index, &stray); }),
                  "Index is out of range in TAxis::SetPoint");
        EXPECT_EQ(MessageOf([&] { axis.GetPoint(index); }),
                  "Index is out of range in TAxis::GetPoint");
    }
    EXPECT_EQ(MessageOf([] { TAxis(1.0, -1); }), "Size cannot be negative in TAxis::TAxis");
}

TEST(TAxis, GetSegmentChecksStartThenEndThenOrder) {
    const auto axis = MakeAxis({0, 1, 2, 3}, 'X', 1.0);
    struct Case {
        int start, end;
        const char* message;
    } cases[] = {
        {2, 1, "Start index is greater than end index in TAxis::GetSegment"},
        {0, 4, "End index is out of range in TAxis::GetSegment"},
        {0, -1, "End index is out of range in TAxis::GetSegment"},
        {4, 4, "Start index is out of range in TAxis::GetSegment"},
        {-1, 2, "Start index is out of range in TAxis::GetSegment"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf([&] { axis->GetSegment(c.start, c.end); }), c.message);
    }
    const std::unique_ptr<TAxis> segment(axis->GetSegment(1, 3));
    ASSERT_EQ(segment->GetSize(), 3);
    EXPECT_EQ(segment->MbrDblResolution, 1.0);
    EXPECT_EQ(segment->GetPoint(0)->MbrDblX, 1);
    EXPECT_EQ(segment->GetPoint(2)->MbrDblX, 3);
    EXPECT_NE(segment->GetPoint(0), axis->GetPoint(1));  // copies, not shared
}

TEST(TAxis, GetSegmentByPointsLooksUpBothEnds) {
    const auto y = MakeAxis({5, 4.5, 4, 3.5}, 'Y');
    const TPoint north(0, 4.9), south(0, 3.6);
    const std::unique_ptr<TAxis> segment(y->GetSegment(&north, &south, 'Y'));
    EXPECT_EQ(segment->GetSize(), 3);
    // On a falling axis the point with the larger coordinate must come first.
    EXPECT_EQ(MessageOf([&] { y->GetSegment(&south, &north, 'Y'); }),
              "Start index is greater than end index in TAxis::GetSegment");
    const TPoint outside(0, 6);
    EXPECT_EQ(MessageOf([&] { y->GetSegment(&outside, &south, 'Y'); }), kOutOfRange);
}

TEST(TAxis, CloneIsDeepAndKeepsMapPoints) {
    TAxis axis(0.25);
    axis.AddPoint(new TMapPoint(1, 2, 3));
    const std::unique_ptr<TAxis> copy(axis.Clone());
    EXPECT_EQ(copy->MbrDblResolution, 0.25);
    const auto* point = dynamic_cast<TMapPoint*>(copy->GetPoint(0));
    ASSERT_NE(point, nullptr);
    EXPECT_NE(point, axis.GetPoint(0));
    EXPECT_EQ(point->MbrDblValue, 3);

    const TAxis holes(0.5, 1);
    EXPECT_EQ(MessageOf([&] { holes.Clone(); }), "Axis point is not set in TAxis::Clone");
    EXPECT_EQ(MessageOf([&] { holes.GetSegment(0, 0); }),
              "Axis point is not set in TAxis::GetSegment");
}

namespace {

// The lookup rule written out plainly: the first segment with min <= v < max,
// else the first whose max equals v; -1 outside.
int ReferenceIndex(const std::vector<double>& a, double v) {
    const int n = static_cast<int>(a.size());
    if (n < 2 || std::isnan(v))
        return -1;
    const double lo = std::min(a.front(), a.back()), hi = std::max(a.front(), a.back());
    if (v < lo || v > hi)
        return -1;
    for (int i = 0; i + 1 < n; ++i)
        if (std::min(a[i], a[i + 1]) <= v && v < std::max(a[i], a[i + 1]))
            return i;
    for (int i = 0; i + 1 < n; ++i)
        if (std::max(a[i], a[i + 1]) == v)
            return i;
    return -1;
}

}  // namespace

// The axis lookup and the search that reads an axis once must both give the
// rule's segment on any axis: rising, falling, shuffled, with repeated
// coordinates or a NaN, and after a caller changed points through the public
// vector. (A lookup that remembered an axis's order used to answer from a
// stale order after such a change.)
TEST(TAxis, LookupsGiveTheRulesSegmentOnRandomAxes) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 400; ++trial) {
        const int n = 1 + static_cast<int>(random() % 12);
        std::vector<double> a;
        double v = static_cast<double>(random() % 5) - 2;
        for (int i = 0; i < n; ++i) {
            a.push_back(v);
            v += static_cast<double>(random() % 3) * 0.5;  // steps of 0, 0.5 and 1
        }
        const int kind = trial % 4;  // rising, falling, shuffled, rising with a NaN
        if (kind == 1)
            std::reverse(a.begin(), a.end());
        if (kind == 2)
            std::shuffle(a.begin(), a.end(), random);
        if (kind == 3 && n > 2)
            a[static_cast<std::size_t>(n / 2)] = std::nan("");
        TAxis axis(1.0);
        for (double c : a)
            axis.AddPoint(c, -c);
        const auto check = [&](const char* when) {
            const TAxisSearch search(axis, 'X');
            for (double probe = -3; probe <= 12; probe += 0.25) {
                const int expected = ReferenceIndex(a, probe);
                ASSERT_EQ(axis.FindIndex(probe, 'X'), expected)
                    << when << " trial " << trial << " probe " << probe;
                ASSERT_EQ(search.Find(probe), expected)
                    << when << " trial " << trial << " probe " << probe;
            }
        };
        check("as built");
        if (n < 2)
            continue;
        // Swap the two end points through the vector: the direction turns.
        std::swap(axis.MbrVecPoints.front(), axis.MbrVecPoints.back());
        std::swap(a.front(), a.back());
        check("after a swap");
        // Move one point in place through the pointer the vector holds.
        const auto k = static_cast<std::size_t>(random() % static_cast<unsigned>(n));
        a[k] = static_cast<double>(random() % 9) - 2;
        axis.MbrVecPoints[k]->MbrDblX = a[k];
        check("after a move");
    }
}

TEST(TAxis, PointAtChecksTheIndexAndTheSlot) {
    TAxis axis(1.0, 2);
    axis.SetPoint(0, new TPoint(3, 4));
    EXPECT_EQ(axis.PointAt(0, "here").MbrDblY, 4);
    for (int index : {-1, 2}) {
        EXPECT_EQ(MessageOf([&] { axis.PointAt(index, "here"); }),
                  "Index is out of range in TAxis::PointAt");
    }
    EXPECT_EQ(MessageOf([&] { axis.PointAt(1, "here"); }), "Axis point is not set in here");
}

namespace {

// The segment the lookup rule gives for `ordinate` on the axis of `segments`
// + 1 edges formed from `start` by `step`, offered in rising or falling
// order; with `stop`, forming ends once the ordinate is held. `formed` counts
// the edges formed.
std::int32_t FormedLookup(double start, double step, std::int32_t segments, bool falling,
                          double ordinate, bool stop, std::int64_t& formed) {
    TEdgeRule::TLookup lookup(ordinate);
    double previous = start;
    formed = 0;
    TEdgeRule::Form(start, step, segments, [&](std::int32_t k, double edge) {
        ++formed;
        if (k > 0) {
            lookup.Offer(falling ? segments - k : k - 1, previous, edge);
        }
        previous = edge;
        return !(stop && lookup.Held());
    });
    return lookup.Result(start, previous);
}

}  // namespace

// Edges formed with a positive step never decrease, so a walk that stops once
// the ordinate is held gives what the whole walk gives: on steps that round,
// that vanish against a large start, that overflow, on non-numbers, and on
// ordinates on, between and beyond the edges.
TEST(TEdgeRule, StoppingOnceHeldGivesTheWholeWalksSegment) {
    std::mt19937 random(16);
    const double starts[] = {
        0, -3.25, 1e17, 1.7e308, -std::numeric_limits<double>::infinity(), std::nan("")};
    const double steps[] = {1,      1.0 / 3, 0.1,
                            1e-300, 1e308,   std::numeric_limits<double>::infinity()};
    std::int64_t stopped = 0;
    for (double start : starts) {
        for (double step : steps) {
            for (int trial = 0; trial < 60; ++trial) {
                const auto segments = static_cast<std::int32_t>(1 + random() % 20);
                // Ordinates at edges, between them, and outside the axis.
                double ordinate = start;
                const int k = static_cast<int>(random() % 24) - 2;
                for (int i = 0; i < k; ++i) {
                    ordinate += step;
                }
                if (random() % 2) {
                    ordinate += step * static_cast<double>(random() % 100) / 100;
                }
                if (k < 0) {
                    ordinate -= step;
                }
                for (bool falling : {false, true}) {
                    std::int64_t all = 0, some = 0;
                    const std::int32_t whole =
                        FormedLookup(start, step, segments, falling, ordinate, false, all);
                    ASSERT_EQ(all, segments + 1);
                    ASSERT_EQ(FormedLookup(start, step, segments, falling, ordinate, true, some),
                              whole)
                        << start << " + " << step << " x " << segments << " at " << ordinate;
                    stopped += some < all;
                }
            }
        }
    }
    EXPECT_GT(stopped, 300);  // the early stop was taken, not only the whole walk
}
