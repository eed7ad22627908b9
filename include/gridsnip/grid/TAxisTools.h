// TAxisTools: conversions between an axis of cell centres and an axis of cell edges.
#pragma once

#include <gridsnip/grid/TAxis.h>

class TAxisTools {
  public:
    // The edge axis (one point more) around the centre axis `centres`; the caller
    // owns it. X edges always rise, the first half a resolution west of the first
    // centre; the Y direction is read from the end points (falling centres give
    // falling edges when `direction` is 'Y'). Coordinates are formed by
    // successive addition of the resolution. Throws "Index is out of range in
    // TAxis::GetPoint" for an empty axis.
    static TAxis* PointsToIntervals(const TAxis* centres, char direction);

    // The centre axis (one point fewer) between the edges of `edges`; the caller
    // owns it. For X edges that rise and Y edges that fall each centre is the
    // midpoint of its two edges. `direction` is not used. Throws "Index is out
    // of range in TAxis::GetPoint" for an empty axis.
    static TAxis* IntervalsToPoints(const TAxis* edges, char direction);
};
