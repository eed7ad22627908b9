// TMapTools: bilinear resampling, empty frames of a new cell size, subdivision.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include <gridsnip/grid/TGridError.h>
#include <gridsnip/tools/TMapTools.h>
#include "grid/TEdgeRule.h"

namespace {

// The largest dimension whose edge axis (one point more) still has a 32-bit size.
constexpr std::int64_t kMaxDimension = std::numeric_limits<std::int32_t>::max() - 1;

const TAxis& AxisOf(const TAxis* axis, const char* where) {
    if (axis == nullptr) {
        throw TGridError(std::string("Map has no axes in ") + where);
    }
    return *axis;
}

// True when the map's Y edge axis runs from north to south: its last point does
// not lie above its first.
bool RowsRunSouth(const TAxis& yEdges) {
    return !(yEdges.GetPoint(yEdges.GetSize() - 1)->MbrDblY > yEdges.GetPoint(0)->MbrDblY);
}

// A dimension of `extent / size` cells, truncated, or the too-large failure.
std::int32_t FrameCells(double extent, double size, const char* where) {
    const double cells = std::trunc(extent / size);
    if (std::isnan(cells) || cells > static_cast<double>(kMaxDimension)) {
        throw TGridError(std::string("Result grid is too large in ") + where);
    }
    // A negative count is left to the map constructor, which refuses it.
    return cells < 0 ? -1 : static_cast<std::int32_t>(cells);
}

// What the lookups of one sample coordinate gave: the source cell, its
// neighbours on P's side of the centre, and the result cell (-1: outside).
struct SampleCell {
    std::int32_t MbrLngSource = -1;
    std::int32_t MbrLngLow = -1;
    std::int32_t MbrLngHigh = -1;
    std::int32_t MbrLngResult = -1;
};

[[noreturn]] void OutOfRange() {
    throw TGridError(TEdgeRule::kOutOfRange);
}

[[noreturn]] void Neighbour(const char* which) {
    throw TGridError(std::string("LngGet") + which +
                     " is out of range in TMapTools::BilinearInterpolate");
}

}  // namespace

double TMapTools::BilinearInterpolate(double q11, double q21, double q12, double q22, double x,
                                      double x1, double x2, double y, double y1, double y2) {
    const double d = (x2 - x1) * (y2 - y1);
    // Each corner value is divided by D before it is weighted, and the terms are
    // added in this order, so results agree to the last bit across callers.
    const double t1 = (q11 / d) * (x2 - x) * (y2 - y);
    const double t2 = (q21 / d) * (x - x1) * (y2 - y);
    const double t3 = (q12 / d) * (x2 - x) * (y - y1);
    const double t4 = (q22 / d) * (x - x1) * (y - y1);
    return t1 + t2 + t3 + t4;
}

void TMapTools::BilinearInterpolate(const TMapPoint* p1, const TMapPoint* p2, const TMapPoint* p3,
                                    const TMapPoint* p4, TMapPoint* target) {
    if (p1 == nullptr || p2 == nullptr || p3 == nullptr || p4 == nullptr || target == nullptr) {
        throw TGridError("Point is not set in TMapTools::BilinearInterpolate");
    }
    target->MbrDblValue = BilinearInterpolate(
        p1->MbrDblValue, p2->MbrDblValue, p3->MbrDblValue, p4->MbrDblValue, target->MbrDblX,
        p1->MbrDblX, p2->MbrDblX, target->MbrDblY, p1->MbrDblY, p3->MbrDblY);
}

TMap* TMapTools::Downscale(const TMap* source, double resolution) {
    static const char* const kWhere = "TMapTools::Downscale";
    if (!(resolution > 0.0)) {
        throw TGridError("New resolution cannot be <= 0.0 in TMapTools::Downscale");
    }
    if (source == nullptr) {
        throw TGridError("Map is not set in TMapTools::Downscale");
    }
    const TAxis& xEdges = AxisOf(source->MbrPtrXAxisInterval, kWhere);
    const TAxis& yEdges = AxisOf(source->MbrPtrYAxisInterval, kWhere);
    const std::int32_t columns =
        FrameCells(source->MbrLngXDim * source->MbrDblResolution, resolution, kWhere);
    const std::int32_t rows =
        FrameCells(source->MbrLngYDim * source->MbrDblResolution, resolution, kWhere);
    const double west = xEdges.GetPoint(0)->MbrDblX;
    const double north = yEdges.GetPoint(0)->MbrDblY;
    const bool south = RowsRunSouth(yEdges);

    auto result = std::make_unique<TMap>(resolution, columns, rows);
    TAxis xAxis(resolution);
    TAxis yAxis(resolution);
    xAxis.Reserve(columns);
    yAxis.Reserve(rows);
    // Centres by successive addition from half a cell inside the corner.
    double x = west + resolution / 2;
    for (std::int32_t i = 0; i < columns; ++i, x += resolution) {
        xAxis.AddPoint(x, north);
    }
    const double step = south ? -resolution : resolution;
    double y = north + step / 2;
    for (std::int32_t i = 0; i < rows; ++i, y += step) {
        yAxis.AddPoint(west, y);
    }
    result->SetXAxis(&xAxis);
    result->SetYAxis(&yAxis);
    return result.release();
}

TMap* TMapTools::BilinearInterpolate(const TMap* source, double resolution) {
    static const char* const kWhere = "TMapTools::BilinearInterpolate";
    if (!(resolution > 0.0)) {
        throw TGridError("New resolution cannot be <= 0.0 in TMapTools::BilinearInterpolate");
    }
    RequireValues(source, kWhere);
    std::unique_ptr<TMap> result(Downscale(source, resolution));
    const double noData = source->MbrDblNoData;
    result->InitValues(noData);
    result->MbrDblNoData = noData;

    const TAxis& xCentres = AxisOf(source->MbrPtrXAxis, kWhere);
    const TAxis& yCentres = AxisOf(source->MbrPtrYAxis, kWhere);
    const bool sourceSouth = RowsRunSouth(AxisOf(source->MbrPtrYAxisInterval, kWhere));
    const TAxis& xEdges = *result->MbrPtrXAxisInterval;
    const TAxis& yEdges = *result->MbrPtrYAxisInterval;
    const double r = source->MbrDblResolution;
    const double s = resolution;
    const double xStart = xEdges.GetPoint(0)->MbrDblX + r;
    const double xEnd = xEdges.GetPoint(xEdges.GetSize() - 1)->MbrDblX - r - s;
    const double first = yEdges.GetPoint(0)->MbrDblY;
    const double last = yEdges.GetPoint(yEdges.GetSize() - 1)->MbrDblY;
    const bool samplesSouth = first > last;
    const double yStart = samplesSouth ? first - r - s : first + r;
    const double yEnd = samplesSouth ? last + r : last - r;
    const double yStep = samplesSouth ? -s : s;
    if (xEnd < xStart) {
        return result.release();
    }

    // The neighbours of one coordinate on one axis: the cell that holds it and
    // the one beyond the centre on its side.
    const auto lookUp = [&](double v, char selector) {
        SampleCell cell;
        cell.MbrLngSource = source->FindIndex(v, selector);
        cell.MbrLngResult = result->FindIndex(v, selector);
        if (cell.MbrLngSource < 0) {
            return cell;
        }
        if (selector == 'X') {
            const double centre = xCentres.PointAt(cell.MbrLngSource, kWhere).MbrDblX;
            cell.MbrLngLow = v <= centre ? cell.MbrLngSource - 1 : cell.MbrLngSource;
        } else {
            const double centre = yCentres.PointAt(cell.MbrLngSource, kWhere).MbrDblY;
            const bool north = v > centre;
            cell.MbrLngLow = (north == sourceSouth) ? cell.MbrLngSource - 1 : cell.MbrLngSource;
        }
        cell.MbrLngHigh = cell.MbrLngLow + 1;
        return cell;
    };

    // The sample rows are the same in every column: look them up once, during the
    // first column, in the order the samples are visited. Columns are looked up
    // once each. Failures are raised at the sample, and in the order, a lookup
    // per sample would raise them: source X, source Y, the four neighbours,
    // result X, result Y.
    std::vector<SampleCell> rows;
    bool firstColumn = true;
    const auto columns = source->MbrLngXDim;
    const auto sourceRows = source->MbrLngYDim;
    for (double x = xStart; x <= xEnd;) {
        const SampleCell column = lookUp(x, 'X');
        std::size_t k = 0;
        double y = yStart;
        do {
            if (firstColumn) {
                rows.push_back(lookUp(y, 'Y'));
            }
            const SampleCell& row = rows[k];
            if (column.MbrLngSource < 0 || row.MbrLngSource < 0) {
                OutOfRange();
            }
            if (column.MbrLngLow < 0 || column.MbrLngLow >= columns)
                Neighbour("X1");
            if (column.MbrLngHigh < 0 || column.MbrLngHigh >= columns)
                Neighbour("X2");
            if (row.MbrLngLow < 0 || row.MbrLngLow >= sourceRows)
                Neighbour("Y1");
            if (row.MbrLngHigh < 0 || row.MbrLngHigh >= sourceRows)
                Neighbour("Y2");
            if (column.MbrLngResult < 0 || row.MbrLngResult < 0) {
                OutOfRange();
            }
            const auto x1 = column.MbrLngLow, x2 = column.MbrLngHigh;
            const auto y1 = row.MbrLngLow, y2 = row.MbrLngHigh;
            const auto& row1 = source->MbrVecValues[static_cast<std::size_t>(y1)];
            const auto& row2 = source->MbrVecValues[static_cast<std::size_t>(y2)];
            const double q11 = row1[static_cast<std::size_t>(x1)];
            const double q21 = row1[static_cast<std::size_t>(x2)];
            const double q12 = row2[static_cast<std::size_t>(x1)];
            const double q22 = row2[static_cast<std::size_t>(x2)];
            double value = noData;
            // A missing neighbour is not a number to interpolate with.
            if (q11 != noData && q21 != noData && q12 != noData && q22 != noData) {
                value = BilinearInterpolate(
                    q11, q21, q12, q22, x, xCentres.PointAt(x1, kWhere).MbrDblX,
                    xCentres.PointAt(x2, kWhere).MbrDblX, y, yCentres.PointAt(y1, kWhere).MbrDblY,
                    yCentres.PointAt(y2, kWhere).MbrDblY);
            }
            result->MbrVecValues[static_cast<std::size_t>(row.MbrLngResult)]
                                [static_cast<std::size_t>(column.MbrLngResult)] = value;
            const double next = y + yStep;
            ++k;
            // A step too small to move y would never end the walk.
            if (next == y || (firstColumn ? false : k >= rows.size())) {
                break;
            }
            y = next;
        } while (samplesSouth ? y >= yEnd : y <= yEnd);
        firstColumn = false;
        const double next = x + s;
        if (next == x) {
            break;
        }
        x = next;
    }
    return result.release();
}

TMap* TMapTools::Subdivide(const TMap* source, int factor) {
    static const char* const kWhere = "TMapTools::Subdivide";
    if (factor <= 0) {
        throw TGridError("Factor must be greater than 0 in TMapTools::Subdivide");
    }
    RequireValues(source, kWhere);
    const std::int64_t columns = std::int64_t{factor} * source->MbrLngXDim;
    const std::int64_t rows = std::int64_t{factor} * source->MbrLngYDim;
    if (columns > kMaxDimension || rows > kMaxDimension) {
        throw TGridError("Result grid is too large in TMapTools::Subdivide");
    }
    const TAxis& sourceX = AxisOf(source->MbrPtrXAxisInterval, kWhere);
    const TAxis& sourceY = AxisOf(source->MbrPtrYAxisInterval, kWhere);
    const double west = sourceX.GetPoint(0)->MbrDblX;
    const double north = sourceY.GetPoint(0)->MbrDblY;
    const bool south = sourceY.GetPoint(sourceY.GetSize() - 1)->MbrDblY < north;
    const double size = source->MbrDblResolution / factor;

    auto result = std::make_unique<TMap>(size, static_cast<std::int32_t>(columns),
                                         static_cast<std::int32_t>(rows));
    result->MbrDblNoData = source->MbrDblNoData;
    const auto k = static_cast<std::size_t>(factor);
    for (std::size_t y = 0; y < static_cast<std::size_t>(rows); ++y) {
        const std::vector<double>& in = source->MbrVecValues[y / k];
        std::vector<double>& out = result->MbrVecValues[y];
        for (std::size_t x = 0; x < static_cast<std::size_t>(columns); ++x) {
            out[x] = in[x / k];
        }
    }

    TAxis xEdges(size);
    TAxis yEdges(size);
    xEdges.Reserve(columns + 1);
    yEdges.Reserve(rows + 1);
    double x = west;
    for (std::int64_t i = 0; i <= columns; ++i, x += size) {
        xEdges.AddPoint(x, north);
    }
    const double step = south ? -size : size;
    double y = north;
    for (std::int64_t i = 0; i <= rows; ++i, y += step) {
        yEdges.AddPoint(west, y);
    }
    result->SetXAxisInterval(&xEdges);
    result->SetYAxisInterval(&yEdges);
    return result.release();
}
