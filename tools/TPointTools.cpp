// TPointTools: plane geometry over points: centroids, pseudo-angles, areas, hulls.
#include <gridsnip/tools/TPointTools.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>

#include <gridsnip/grid/TGridError.h>

namespace {

void RequirePoints(const std::vector<TPoint*>& points, const char* where) {
    for (const TPoint* point : points) {
        if (point == nullptr) {
            throw TGridError(std::string("Point is not set in ") + where);
        }
    }
}

void RequirePoint(const TPoint* point, const char* where) {
    if (point == nullptr) {
        throw TGridError(std::string("Point is not set in ") + where);
    }
}

}  // namespace

TPoint* TPointTools::FindCentroid(std::vector<TPoint*> points) {
    RequirePoints(points, "TPointTools::FindCentroid");
    double x = 0;
    double y = 0;
    for (const TPoint* point : points) {
        x += point->MbrDblX;
        y += point->MbrDblY;
    }
    const auto n = static_cast<double>(points.size());
    return new TPoint(x / n, y / n);
}

double TPointTools::Theta(const TPoint* a, const TPoint* b) {
    RequirePoint(a, "TPointTools::Theta");
    RequirePoint(b, "TPointTools::Theta");
    const double dx = a->MbrDblX - b->MbrDblX;
    const double dy = a->MbrDblY - b->MbrDblY;
    double t = (dx == 0 && dy == 0) ? 0.0 : dy / (std::fabs(dx) + std::fabs(dy));
    // A negative zero compares equal to zero here, as it should.
    if (dx < 0) {
        t = 2 - t;
    } else if (dy < 0) {
        t = t + 4;
    }
    return 90 * t;
}

double TPointTools::Heron(const TPoint* p1, const TPoint* p2, const TPoint* p3) {
    RequirePoint(p1, "TPointTools::Heron");
    RequirePoint(p2, "TPointTools::Heron");
    RequirePoint(p3, "TPointTools::Heron");
    const double p = p1->Distance(p2);
    const double q = p1->Distance(p3);
    const double r = p2->Distance(p3);
    const double s = ((p + q) + r) * 0.5;
    return std::sqrt(s * (s - p) * (s - q) * (s - r));
}

TPoint* TPointTools::Max(const TPoint* a, const TPoint* b) {
    RequirePoint(a, "TPointTools::Max");
    RequirePoint(b, "TPointTools::Max");
    return new TPoint(b->MbrDblX > a->MbrDblX ? b->MbrDblX : a->MbrDblX,
                      b->MbrDblY > a->MbrDblY ? b->MbrDblY : a->MbrDblY);
}

TPoint* TPointTools::Min(const TPoint* a, const TPoint* b) {
    RequirePoint(a, "TPointTools::Min");
    RequirePoint(b, "TPointTools::Min");
    return new TPoint(b->MbrDblX < a->MbrDblX ? b->MbrDblX : a->MbrDblX,
                      b->MbrDblY < a->MbrDblY ? b->MbrDblY : a->MbrDblY);
}

std::vector<TPoint*> TPointTools::FindConvexHull(std::vector<TPoint*> points) {
    RequirePoints(points, "TPointTools::FindConvexHull");
    const std::size_t n = points.size();
    if (n == 0) {
        return {};
    }
    // Working slots 0 .. n - 1, plus slot n standing for the return to the start.
    std::vector<const TPoint*> slots(points.begin(), points.end());
    std::size_t start = 0;
    for (std::size_t i = 1; i < n; ++i) {
        if (points[i]->MbrDblY < points[start]->MbrDblY) {
            start = i;
        }
    }
    slots.push_back(points[start]);

    double previous = 0;
    std::size_t kept = start;
    std::size_t m = 0;
    // Each round fixes one more hull slot, so the walk ends within n rounds.
    for (;; ++m) {
        std::swap(slots[m], slots[kept]);
        const TPoint* current = slots[m];
        std::size_t candidate = n + 1;  // none
        double bound = 360;
        for (std::size_t i = m + 1; i <= n; ++i) {
            const double angle = Theta(slots[i], current);
            if (angle > previous && angle < bound) {
                candidate = i;
                bound = angle;
            }
        }
        if (candidate > n || candidate == n) {
            break;
        }
        kept = candidate;
        previous = bound;
    }

    std::vector<std::unique_ptr<TPoint>> copies;
    copies.reserve(m + 1);
    for (std::size_t i = 0; i <= m; ++i) {
        copies.emplace_back(slots[i]->Clone());
    }
    std::vector<TPoint*> hull;
    hull.reserve(copies.size());
    for (std::unique_ptr<TPoint>& copy : copies) {
        hull.push_back(copy.release());
    }
    return hull;
}

double TPointTools::FindConvexPolygonArea(std::vector<TPoint*> points) {
    RequirePoints(points, "TPointTools::FindConvexPolygonArea");
    if (points.empty()) {
        return 0;
    }
    const std::unique_ptr<TPoint> centre(FindCentroid(points));
    double area = 0;
    for (std::size_t k = 1; k < points.size(); ++k) {
        area += Heron(points[k], points[k - 1], centre.get());
    }
    return area;
}
