// TAxis: an ordered run of coordinate points with a common spacing.
#pragma once

#include <cstdint>
#include <vector>

#include <gridsnip/grid/TPoint.h>

// An axis owns its points: SetPoint deletes the point it replaces and the
// destructor deletes them all. Slots may be empty (null) until SetPoint fills
// them; every operation that reads points raises "Axis point is not set in ..."
// instead of touching an empty slot. The selector character of the lookups
// picks the coordinate: 'X' selects X, any other character selects Y.
// Axes are handled through pointers and copied only with Clone.
//
// MbrVecPoints is open to callers, who may read, change, swap or replace its
// points; whatever it holds is the axis. A point put into it belongs to the
// axis. Lookups keep no memory of earlier calls: each scans the points as they
// stand at that moment.
class TAxis {
  public:
    double MbrDblResolution;            // spacing between neighbouring points
    std::vector<TPoint*> MbrVecPoints;  // the points in axis order (owned)

    // An axis without points.
    explicit TAxis(double resolution);
    // An axis of `size` empty slots. Throws for a negative size.
    TAxis(double resolution, std::int32_t size);
    ~TAxis();

    TAxis(const TAxis&) = delete;
    TAxis& operator=(const TAxis&) = delete;

    // Number of points (slots).
    std::int32_t GetSize() const { return static_cast<std::int32_t>(MbrVecPoints.size()); }

    // Appends `point` after the last one and takes it over. If it throws, the
    // caller still owns the point.
    void AddPoint(TPoint* point);
    // Appends a new point at (x, y).
    void AddPoint(double x, double y);
    // Makes room for `size` points without changing the axis.
    void Reserve(std::int32_t size);

    // Stores `point` in slot `index`, deleting the point it replaces, and takes it
    // over. Throws "Index is out of range in TAxis::SetPoint" (the caller then
    // still owns the point).
    void SetPoint(std::int32_t index, TPoint* point);

    // The point in slot `index`, still owned by the axis (null for an empty slot).
    // Throws "Index is out of range in TAxis::GetPoint".
    TPoint* GetPoint(std::int32_t index) const;

    // The segment (stretch between points i and i + 1) that holds `ordinate`:
    // the first segment with min <= v < max, or, for v equal to the axis's upper
    // end, the first segment whose larger end equals v, found by a scan from
    // segment 0 (time grows with the number of points). Works on rising and
    // falling axes. Throws "Ordinate is out of range in TAxis::GetIndex" for a
    // value outside the end values, a NaN, or an axis of fewer than two points,
    // and "Axis point is not set in TAxis::GetIndex" for an empty slot it reads.
    std::int32_t GetIndex(double ordinate, char selector) const;

    // GetIndex without the range failure: -1 where GetIndex would raise
    // "Ordinate is out of range in TAxis::GetIndex". Still throws for an empty slot.
    std::int32_t FindIndex(double ordinate, char selector) const;

    // A new axis (caller owns it) of clones of points start..end inclusive.
    // Throws the start, end and order messages of TAxis::GetSegment, in that order.
    TAxis* GetSegment(std::int32_t start, std::int32_t end) const;

    // GetSegment between the segments that hold the two points' selected
    // coordinates; the points must come in axis order.
    TAxis* GetSegment(const TPoint* first, const TPoint* second, char selector) const;

    // A deep copy (points copied with their own Clone); the caller owns it.
    TAxis* Clone() const;

    // The point in slot `index`, for reading. Throws "Index is out of range in
    // TAxis::PointAt", and "Axis point is not set in <where>" for an empty slot.
    const TPoint& PointAt(std::int32_t index, const char* where) const;
};
