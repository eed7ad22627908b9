// TPointTools and TPoint::Distance: the worked values, ties and degenerate input.
#include <gridsnip/tools/TPointTools.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>

#include <gridsnip/grid/TMapPoint.h>
#include "TestSupport.h"

namespace {

// Owns the points of a test and hands out the raw vector the tools take.
struct Points {
    std::vector<std::unique_ptr<TPoint>> owned;
    std::vector<TPoint*> raw;
    explicit Points(std::initializer_list<std::pair<double, double>> xy) {
        for (auto [x, y] : xy)
            Add(new TPoint(x, y));
    }
    void Add(TPoint* p) {
        owned.emplace_back(p);
        raw.push_back(p);
    }
};

std::vector<std::pair<double, double>> Coordinates(const std::vector<TPoint*>& points) {
    std::vector<std::pair<double, double>> xy;
    for (const TPoint* p : points)
        xy.emplace_back(p->MbrDblX, p->MbrDblY);
    return xy;
}

std::vector<std::pair<double, double>> Hull(std::initializer_list<std::pair<double, double>> xy) {
    Points points(xy);
    std::vector<TPoint*> hull = TPointTools::FindConvexHull(points.raw);
    auto result = Coordinates(hull);
    for (TPoint* p : hull) {
        EXPECT_EQ(std::count(points.raw.begin(), points.raw.end(), p), 0);  // copies
        delete p;
    }
    return result;
}

}  // namespace

TEST(TPointTools, DistanceHeronCentroid) {
    const TPoint origin(0, 0), p(3, 4), q(4, 0), r(0, 3);
    EXPECT_EQ(origin.Distance(&p), 5);
    EXPECT_DOUBLE_EQ(TPointTools::Heron(&origin, &q, &r), 6);
    const TPoint a(0, 0), b(1, 1), c(2, 2);
    const double collinear = TPointTools::Heron(&a, &b, &c);
    EXPECT_TRUE(collinear == 0 || std::isnan(collinear));
    Points triangle({{0, 0}, {2, 0}, {1, 3}});
    const std::unique_ptr<TPoint> centre(TPointTools::FindCentroid(triangle.raw));
    EXPECT_EQ(centre->MbrDblX, 1);
    EXPECT_EQ(centre->MbrDblY, 1);
    const std::unique_ptr<TPoint> none(TPointTools::FindCentroid({}));
    EXPECT_TRUE(std::isnan(none->MbrDblX));
}

TEST(TPointTools, ThetaTable) {
    struct Case {
        double dx, dy, theta;
    } cases[] = {{1, 0, 0},    {0, 0, 0},    {1, 1, 45},    {0, 1, 90},
                 {-1, 1, 135}, {-1, 0, 180}, {-1, -1, 225}, {0, -1, 270},
                 {1, -1, 315}, {2, 1, 30},   {-0.0, 1, 90}, {1, -0.0, 0}};
    const TPoint b(5, 5);
    for (const Case& c : cases) {
        const TPoint a(5 + c.dx, 5 + c.dy);
        EXPECT_DOUBLE_EQ(TPointTools::Theta(&a, &b), c.theta) << c.dx << "," << c.dy;
    }
    const TPoint zero(0, 0), up(0, 1);
    EXPECT_EQ(TPointTools::Theta(&up, &zero), 90);
    EXPECT_EQ(TPointTools::Theta(&zero, &up), 270);
}

TEST(TPointTools, MaxAndMinTakeTheSecondOnlyWhereStrictly) {
    const TPoint a(1, 5), b(3, 2), nan(NAN, NAN);
    const std::unique_ptr<TPoint> max(TPointTools::Max(&a, &b)), min(TPointTools::Min(&a, &b));
    EXPECT_EQ(std::make_pair(max->MbrDblX, max->MbrDblY), std::make_pair(3.0, 5.0));
    EXPECT_EQ(std::make_pair(min->MbrDblX, min->MbrDblY), std::make_pair(1.0, 2.0));
    const std::unique_ptr<TPoint> same(TPointTools::Max(&a, &a));
    EXPECT_NE(same.get(), &a);
    EXPECT_EQ(same->MbrDblX, 1);
    const std::unique_ptr<TPoint> fromA(TPointTools::Min(&a, &nan));
    EXPECT_EQ(fromA->MbrDblX, 1);  // a NaN comparison keeps a's coordinate
}

TEST(TPointTools, ConvexHullFollowsThePackageWrap) {
    using XY = std::vector<std::pair<double, double>>;
    const XY diamond = {{1, 0}, {2, 1}, {1, 2}, {0, 1}};
    EXPECT_EQ(Hull({{1, 1}, {1, 0}, {2, 1}, {1, 2}, {0, 1}}), diamond);
    EXPECT_EQ(Hull({{1, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 1}}), diamond);
    EXPECT_EQ(Hull({{1, 0}, {2, 1}, {1, 2}, {0, 1}, {1, 1}}), diamond);
    EXPECT_EQ(Hull({{3, 4}}), (XY{{3, 4}}));
    EXPECT_EQ(Hull({{0, 0}, {1, 1}}), (XY{{0, 0}, {1, 1}}));
    EXPECT_EQ(Hull({{0, 0}, {1, 0}}), (XY{{0, 0}}));
    EXPECT_EQ(Hull({{1, 0}, {0, 0}}), (XY{{1, 0}, {0, 0}}));
    EXPECT_EQ(Hull({}), XY{});
    // Duplicates and collinear points still end the walk.
    EXPECT_EQ(Hull({{0, 0}, {0, 0}, {2, 2}, {1, 1}, {2, 2}}).front(),
              (std::pair<double, double>{0, 0}));
    EXPECT_EQ(Hull({{NAN, NAN}, {1, 1}}).size(), 1u);

    Points cells({});
    cells.Add(new TMapPoint(0, 0, 7));
    cells.Add(new TMapPoint(1, 1, 8));
    std::vector<TPoint*> hull = TPointTools::FindConvexHull(cells.raw);
    ASSERT_EQ(hull.size(), 2u);
    const auto* cell = dynamic_cast<TMapPoint*>(hull[1]);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->MbrDblValue, 8);
    for (TPoint* p : hull)
        delete p;
}

TEST(TPointTools, ConvexPolygonArea) {
    Points chain({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    EXPECT_NEAR(TPointTools::FindConvexPolygonArea(chain.raw), 0.75, 1e-12);
    Points ring({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}});
    EXPECT_NEAR(TPointTools::FindConvexPolygonArea(ring.raw), 1, 1e-12);
    Points one({{3, 4}});
    EXPECT_EQ(TPointTools::FindConvexPolygonArea(one.raw), 0);
    EXPECT_EQ(TPointTools::FindConvexPolygonArea({}), 0);
}

TEST(TPointTools, MissingPointsAreRefused) {
    const TPoint a(0, 0);
    EXPECT_EQ(MessageOf([&] { TPointTools::Theta(&a, nullptr); }),
              "Point is not set in TPointTools::Theta");
    EXPECT_EQ(MessageOf([&] { a.Distance(nullptr); }), "Point is not set in TPoint::Distance");
    EXPECT_EQ(MessageOf([&] { TPointTools::FindConvexHull({nullptr}); }),
              "Point is not set in TPointTools::FindConvexHull");
}
