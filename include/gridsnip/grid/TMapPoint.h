// TMapPoint: a grid cell handed out as a point, with the cell's value.
#pragma once

#include <gridsnip/grid/TPoint.h>

class TMapPoint : public TPoint {
  public:
    double MbrDblValue;  // the value of the cell

    TMapPoint(double x, double y, double value) : TPoint(x, y), MbrDblValue(value) {}
    ~TMapPoint() override;

    // Returns a new TMapPoint with the same X, Y and value; the caller owns it.
    TMapPoint* Clone() const override;

  protected:
    TMapPoint(const TMapPoint&) = default;
    TMapPoint& operator=(const TMapPoint&) = default;
};
