// TMapPoint: a grid cell handed out as a point, with the cell's value.
#include <gridsnip/grid/TMapPoint.h>

TMapPoint::~TMapPoint() = default;

TMapPoint* TMapPoint::Clone() const {
    return new TMapPoint(MbrDblX, MbrDblY, MbrDblValue);
}
