// TPoint: a point of the plane.
#include "grid/TPoint.h"

TPoint::~TPoint() = default;

TPoint* TPoint::Clone() const {
    return new TPoint(MbrDblX, MbrDblY);
}
