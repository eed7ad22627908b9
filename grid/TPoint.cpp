// TPoint: a point of the plane.
#include <gridsnip/grid/TPoint.h>

#include <cmath>

#include <gridsnip/grid/TGridError.h>

TPoint::~TPoint() = default;

TPoint* TPoint::Clone() const {
    return new TPoint(MbrDblX, MbrDblY);
}

double TPoint::Distance(const TPoint* other) const {
    if (other == nullptr) {
        throw TGridError("Point is not set in TPoint::Distance");
    }
    const double dx = MbrDblX - other->MbrDblX;
    const double dy = MbrDblY - other->MbrDblY;
    return std::sqrt(dx * dx + dy * dy);
}
