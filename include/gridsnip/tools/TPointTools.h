// TPointTools: plane geometry over points: centroids, pseudo-angles, areas, hulls.
#pragma once

#include <vector>

#include <gridsnip/grid/TPoint.h>

// Points are only read; every point returned is new and owned by the caller.
// A null point anywhere raises "Point is not set in TPointTools::<function>".
class TPointTools {
  public:
    // The mean of the points (NaN coordinates for no points).
    static TPoint* FindCentroid(std::vector<TPoint*> points);
    // The pseudo-angle of the direction from b to a: 90 per quadrant,
    // counter-clockwise from east, in [0, 360); 0 for equal points.
    static double Theta(const TPoint* a, const TPoint* b);
    // The area of the triangle by Heron's formula; NaN when rounding makes the
    // product under the root negative (collinear points).
    static double Heron(const TPoint* p1, const TPoint* p2, const TPoint* p3);
    // The larger X and the larger Y; b's coordinate only where strictly larger.
    static TPoint* Max(const TPoint* a, const TPoint* b);
    // The smaller X and the smaller Y; b's coordinate only where strictly smaller.
    static TPoint* Min(const TPoint* a, const TPoint* b);
    // The convex hull by package wrapping: from the lowest point (the first of
    // equal lowest), counter-clockwise, without repeating the start. Points on
    // one ray from a hull point: the one earlier in the working order is taken.
    // Returns Clone copies (a TMapPoint stays one); empty for no points.
    static std::vector<TPoint*> FindConvexHull(std::vector<TPoint*> points);
    // The area of the fan of triangles between consecutive points and their
    // centroid; the points are an open chain (repeat the first at the end for a
    // closed ring). 0 for one point or none.
    static double FindConvexPolygonArea(std::vector<TPoint*> points);
};
