// TPoint: a point of the plane, X eastward (longitude) and Y northward (latitude).
#pragma once

// Points live on the heap and are deleted through TPoint pointers (an axis does
// that with its points), so the destructor is virtual.
class TPoint {
  public:
    double MbrDblX;  // longitude; the column direction of a grid
    double MbrDblY;  // latitude; the row direction of a grid

    TPoint(double x, double y) : MbrDblX(x), MbrDblY(y) {}
    virtual ~TPoint();

    // Returns a new point with the same coordinates (a TMapPoint for a TMapPoint);
    // the caller owns it.
    virtual TPoint* Clone() const;

    // The Euclidean distance to `other`. Throws "Point is not set in
    // TPoint::Distance" for a null point.
    double Distance(const TPoint* other) const;

  protected:
    TPoint(const TPoint&) = default;
    TPoint& operator=(const TPoint&) = default;
};
