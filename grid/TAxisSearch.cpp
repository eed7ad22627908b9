// TAxisSearch: many segment lookups on one axis within one call, each giving TAxis::GetIndex's
// result.
#include "grid/TAxisSearch.h"

#include <algorithm>
#include <cmath>

#include <gridsnip/grid/TGridError.h>

#include "grid/TEdgeRule.h"

TAxisSearch::TAxisSearch(const TAxis& axis, char selector)
    : MbrAxis(axis), MbrChrSelector(selector) {
    MbrVecCoordinates.reserve(axis.MbrVecPoints.size());
    for (const TPoint* point : axis.MbrVecPoints) {
        if (point == nullptr) {
            // The scan reads only the slots it reaches, and fails there: leave
            // such an axis to it.
            MbrVecCoordinates.clear();
            return;
        }
        MbrVecCoordinates.push_back(selector == 'X' ? point->MbrDblX : point->MbrDblY);
    }
    // Fewer than two points make no segment: left to the scan too.
    bool rising = MbrVecCoordinates.size() >= 2;
    bool falling = rising;
    for (std::size_t i = 1; i < MbrVecCoordinates.size(); ++i) {
        rising = rising && MbrVecCoordinates[i - 1] < MbrVecCoordinates[i];
        falling = falling && MbrVecCoordinates[i - 1] > MbrVecCoordinates[i];
    }
    MbrIntDirection = rising ? 1 : falling ? -1 : 0;
}

const TAxis& TAxisSearch::EdgesOf(const TMap& map, char selector) {
    const TAxis* edges = selector == 'X' ? map.MbrPtrXAxisInterval : map.MbrPtrYAxisInterval;
    if (edges == nullptr) {
        throw TGridError("Map has no axes in TMap::GetIndex");
    }
    return *edges;
}

std::int32_t TAxisSearch::Find(double ordinate) const {
    // An axis that is not strictly monotone, or has an empty slot, is the
    // scan's: the axis has not changed since the search was made.
    if (MbrIntDirection == 0) {
        return MbrAxis.FindIndex(ordinate, MbrChrSelector);
    }
    const std::vector<double>& c = MbrVecCoordinates;
    const auto n = static_cast<std::int32_t>(c.size());
    const double first = c.front();
    const double last = c.back();
    if (std::isnan(ordinate) ||
        !(std::min(first, last) <= ordinate && ordinate <= std::max(first, last))) {
        return -1;
    }
    // Strictly monotone: the segments do not overlap and cover the range but
    // its upper end, so the one segment holding the ordinate is the scan's
    // first match, found by bisection. The upper end belongs to the segment
    // that ends there: the last one on a rising axis, the first on a falling one.
    if (MbrIntDirection > 0) {
        if (ordinate == last) {
            return n - 2;
        }
        // The last point at or below the ordinate starts its segment.
        const auto after = std::partition_point(c.begin(), c.end(),
                                                [ordinate](double v) { return v <= ordinate; });
        return static_cast<std::int32_t>(after - c.begin()) - 1;
    }
    if (ordinate == first) {
        return 0;
    }
    // The last point above the ordinate starts its segment.
    const auto after =
        std::partition_point(c.begin(), c.end(), [ordinate](double v) { return v > ordinate; });
    return static_cast<std::int32_t>(after - c.begin()) - 1;
}

std::int32_t TAxisSearch::Get(double ordinate) const {
    const std::int32_t index = Find(ordinate);
    if (index < 0) {
        throw TGridError(TEdgeRule::kOutOfRange);
    }
    return index;
}
