// TAxis: an ordered run of coordinate points with a common spacing.
#include <gridsnip/grid/TAxis.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include <gridsnip/grid/TGridError.h>

#include "grid/TEdgeRule.h"

namespace {

double Selected(const TPoint& point, char selector) {
    return selector == 'X' ? point.MbrDblX : point.MbrDblY;
}

}  // namespace

TAxis::TAxis(double resolution) : MbrDblResolution(resolution) {}

TAxis::TAxis(double resolution, std::int32_t size) : MbrDblResolution(resolution) {
    if (size < 0) {
        throw TGridError("Size cannot be negative in TAxis::TAxis");
    }
    MbrVecPoints.assign(static_cast<std::size_t>(size), nullptr);
}

TAxis::~TAxis() {
    for (TPoint* point : MbrVecPoints) {
        delete point;
    }
}

void TAxis::AddPoint(TPoint* point) {
    // Sizes are 32-bit throughout the grid model.
    if (MbrVecPoints.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw TGridError("Axis is full in TAxis::AddPoint");
    }
    MbrVecPoints.push_back(point);
}

void TAxis::AddPoint(double x, double y) {
    auto point = std::make_unique<TPoint>(x, y);
    AddPoint(point.get());
    point.release();
}

void TAxis::Reserve(std::int32_t size) {
    if (size > 0) {
        MbrVecPoints.reserve(static_cast<std::size_t>(size));
    }
}

void TAxis::SetPoint(std::int32_t index, TPoint* point) {
    if (index < 0 || index >= GetSize()) {
        throw TGridError("Index is out of range in TAxis::SetPoint");
    }
    delete MbrVecPoints[static_cast<std::size_t>(index)];
    MbrVecPoints[static_cast<std::size_t>(index)] = point;
}

TPoint* TAxis::GetPoint(std::int32_t index) const {
    if (index < 0 || index >= GetSize()) {
        throw TGridError("Index is out of range in TAxis::GetPoint");
    }
    return MbrVecPoints[static_cast<std::size_t>(index)];
}

const TPoint& TAxis::PointAt(std::int32_t index, const char* where) const {
    if (index < 0 || index >= GetSize()) {
        throw TGridError("Index is out of range in TAxis::PointAt");
    }
    const TPoint* point = MbrVecPoints[static_cast<std::size_t>(index)];
    if (point == nullptr) {
        throw TGridError(std::string("Axis point is not set in ") + where);
    }
    return *point;
}

std::int32_t TAxis::GetIndex(double ordinate, char selector) const {
    const std::int32_t index = FindIndex(ordinate, selector);
    if (index < 0) {
        throw TGridError(TEdgeRule::kOutOfRange);
    }
    return index;
}

std::int32_t TAxis::FindIndex(double ordinate, char selector) const {
    static const char* const kWhere = "TAxis::GetIndex";
    const std::int32_t n = GetSize();
    // No segment exists on an axis of fewer than two points, and a NaN lies in
    // none: both are reported as out of range rather than guessed at.
    if (n < 2 || std::isnan(ordinate)) {
        return -1;
    }
    const double first = Selected(PointAt(0, kWhere), selector);
    const double last = Selected(PointAt(n - 1, kWhere), selector);
    if (!(std::min(first, last) <= ordinate && ordinate <= std::max(first, last))) {
        return -1;
    }
    // Segments in index order: the first that holds the ordinate is the answer.
    // The points are read afresh on every call, since callers may have changed
    // them through MbrVecPoints since the last one.
    TEdgeRule::TLookup lookup(ordinate);
    double a = first;
    for (std::int32_t i = 0; i + 1 < n && !lookup.Held(); ++i) {
        const double b = Selected(PointAt(i + 1, kWhere), selector);
        lookup.Offer(i, a, b);
        a = b;
    }
    return lookup.Result(first, last);
}

TAxis* TAxis::GetSegment(std::int32_t start, std::int32_t end) const {
    const std::int32_t n = GetSize();
    if (start < 0 || start >= n) {
        throw TGridError("Start index is out of range in TAxis::GetSegment");
    }
    if (end < 0 || end >= n) {
        throw TGridError("End index is out of range in TAxis::GetSegment");
    }
    if (start > end) {
        throw TGridError("Start index is greater than end index in TAxis::GetSegment");
    }
    auto segment = std::make_unique<TAxis>(MbrDblResolution);
    segment->Reserve(end - start + 1);
    for (std::int32_t i = start; i <= end; ++i) {
        std::unique_ptr<TPoint> copy(PointAt(i, "TAxis::GetSegment").Clone());
        segment->MbrVecPoints.push_back(copy.release());
    }
    return segment.release();
}

TAxis* TAxis::GetSegment(const TPoint* first, const TPoint* second, char selector) const {
    if (first == nullptr || second == nullptr) {
        throw TGridError("Point is not set in TAxis::GetSegment");
    }
    const std::int32_t start = GetIndex(Selected(*first, selector), selector);
    const std::int32_t end = GetIndex(Selected(*second, selector), selector);
    return GetSegment(start, end);
}

TAxis* TAxis::Clone() const {
    auto copy = std::make_unique<TAxis>(MbrDblResolution);
    copy->Reserve(GetSize());
    for (std::int32_t i = 0; i < GetSize(); ++i) {
        std::unique_ptr<TPoint> point(PointAt(i, "TAxis::Clone").Clone());
        copy->MbrVecPoints.push_back(point.release());
    }
    return copy.release();
}
