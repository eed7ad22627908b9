// TAxisTools: conversions between an axis of cell centres and an axis of cell edges.
#include <gridsnip/grid/TAxisTools.h>

#include <cstdint>
#include <limits>
#include <memory>

#include <gridsnip/grid/TGridError.h>
#include "grid/TEdgeRule.h"

TAxis* TAxisTools::PointsToIntervals(const TAxis* centres, char direction) {
    static const char* const kWhere = "TAxisTools::PointsToIntervals";
    if (centres == nullptr) {
        throw TGridError("Axis is not set in TAxisTools::PointsToIntervals");
    }
    const std::int32_t n = centres->GetSize();
    centres->GetPoint(0);
    centres->GetPoint(n - 1);
    const TPoint& first = centres->PointAt(0, kWhere);
    const TPoint& last = centres->PointAt(n - 1, kWhere);
    if (n == std::numeric_limits<std::int32_t>::max()) {
        throw TGridError("Axis is too long in TAxisTools::PointsToIntervals");
    }

    const double r = centres->MbrDblResolution;
    const TEdgeRule::TStart start =
        TEdgeRule::StartAround(first.MbrDblX, first.MbrDblY, last.MbrDblY, r, direction);

    auto edges = std::make_unique<TAxis>(r);
    edges->Reserve(n + 1);
    // Successive addition, each sum rounded to double, as every axis is formed.
    if (direction == 'X') {
        TEdgeRule::Form(start.MbrDblX, r, n,
                        [&](std::int32_t, double x) { edges->AddPoint(x, start.MbrDblY); });
    } else {
        TEdgeRule::Form(start.MbrDblY, start.MbrDblYStep, n,
                        [&](std::int32_t, double y) { edges->AddPoint(start.MbrDblX, y); });
    }
    return edges.release();
}

TAxis* TAxisTools::IntervalsToPoints(const TAxis* edges, char /*direction*/) {
    static const char* const kWhere = "TAxisTools::IntervalsToPoints";
    if (edges == nullptr) {
        throw TGridError("Axis is not set in TAxisTools::IntervalsToPoints");
    }
    const std::int32_t n = edges->GetSize();
    edges->GetPoint(0);
    edges->GetPoint(n - 1);

    auto centres = std::make_unique<TAxis>(edges->MbrDblResolution);
    centres->Reserve(n - 1);
    for (std::int32_t i = 0; i + 1 < n; ++i) {
        const TPoint& a = edges->PointAt(i, kWhere);
        const TPoint& b = edges->PointAt(i + 1, kWhere);
        // Half the edge distance beyond the first edge: the midpoint for X edges
        // that rise and Y edges that fall.
        const double x = b.MbrDblX > a.MbrDblX ? a.MbrDblX + (b.MbrDblX - a.MbrDblX) * 0.5
                                               : a.MbrDblX + (a.MbrDblX - b.MbrDblX) * 0.5;
        const double y = a.MbrDblY > b.MbrDblY ? a.MbrDblY + (b.MbrDblY - a.MbrDblY) * 0.5
                                               : a.MbrDblY + (a.MbrDblY - b.MbrDblY) * 0.5;
        centres->AddPoint(x, y);
    }
    return centres.release();
}
