// TMapPoint: a grid cell handed out as a point, with the cell's value.
#include "grid/TMapPoint.h"

TMapPoint::~TMapPoint() = default;

TMapPoint* TMapPoint::Clone() const {
    return new TMapPoint(MbrDblX, MbrDblY, MbrDblValue);
}
