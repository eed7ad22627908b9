// TMap: a rectangular grid of double values placed in space by an X and a Y axis.
#include <gridsnip/grid/TMap.h>

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <gridsnip/grid/TAxisTools.h>
#include <gridsnip/grid/TGridError.h>

#include "grid/TAxisSearch.h"

namespace {

constexpr double kDefaultNoData = -9999.0;

}  // namespace

TMap::TMap(double resolution)
    : MbrDblResolution(resolution),
      MbrLngXDim(0),
      MbrLngYDim(0),
      MbrPtrXAxis(nullptr),
      MbrPtrYAxis(nullptr),
      MbrPtrXAxisInterval(nullptr),
      MbrPtrYAxisInterval(nullptr),
      MbrDblNoData(kDefaultNoData) {}

TMap::TMap(double resolution, std::int32_t columns, std::int32_t rows) : TMap(resolution) {
    Init(resolution, columns, rows, kDefaultNoData);
}

TMap::TMap(const TAxis* xAxis, const TAxis* yAxis) : TMap(0.0) {
    if (xAxis == nullptr || yAxis == nullptr) {
        throw TGridError("Axis is not set in TMap::TMap");
    }
    // Exact comparison on purpose: a NaN resolution never matches.
    if (!(xAxis->MbrDblResolution == yAxis->MbrDblResolution)) {
        throw TGridError("Axes resolutions do not match in TMap::TMap");
    }
    Init(xAxis->MbrDblResolution, xAxis->GetSize(), yAxis->GetSize(), kDefaultNoData);
    // The destructor does not run for a constructor that throws.
    try {
        SetXAxis(xAxis);
        SetYAxis(yAxis);
    } catch (...) {
        ReleaseAxes();
        throw;
    }
}

TMap::~TMap() {
    ReleaseAxes();
}

void TMap::ReleaseAxes() {
    for (TAxis** axis : {&MbrPtrXAxis, &MbrPtrYAxis, &MbrPtrXAxisInterval, &MbrPtrYAxisInterval}) {
        delete *axis;
        *axis = nullptr;
    }
}

void TMap::Init(double resolution, std::int32_t columns, std::int32_t rows, double noData) {
    if (columns < 0 || rows < 0) {
        throw TGridError("Dimensions cannot be negative in TMap::Init");
    }
    std::vector<std::vector<double>> values(
        static_cast<std::size_t>(rows),
        std::vector<double>(static_cast<std::size_t>(columns), noData));
    ReleaseAxes();
    MbrVecValues = std::move(values);
    MbrDblResolution = resolution;
    MbrLngXDim = columns;
    MbrLngYDim = rows;
    MbrDblNoData = noData;
}

void TMap::InitValues(double value) {
    for (std::vector<double>& row : MbrVecValues) {
        row.assign(row.size(), value);
    }
}

void TMap::ReplaceAxes(const TAxis* given, TAxis*& stored, TAxis*& derived,
                       TAxis* (*derive)(const TAxis*, char), char direction) {
    std::unique_ptr<TAxis> copy(given->Clone());
    std::unique_ptr<TAxis> other(derive(copy.get(), direction));
    delete stored;
    stored = copy.release();
    delete derived;
    derived = other.release();
}

void TMap::SetXAxis(const TAxis* axis) {
    if (axis == nullptr) {
        throw TGridError("Axis is not set in TMap::SetXAxis");
    }
    if (axis->GetSize() != MbrLngXDim) {
        throw TGridError("Length of new X axis does not match the X dimension of the map");
    }
    ReplaceAxes(axis, MbrPtrXAxis, MbrPtrXAxisInterval, &TAxisTools::PointsToIntervals, 'X');
}

void TMap::SetYAxis(const TAxis* axis) {
    if (axis == nullptr) {
        throw TGridError("Axis is not set in TMap::SetYAxis");
    }
    if (axis->GetSize() != MbrLngYDim) {
        throw TGridError("Length of new Y axis does not match the Y dimension of the map");
    }
    ReplaceAxes(axis, MbrPtrYAxis, MbrPtrYAxisInterval, &TAxisTools::PointsToIntervals, 'Y');
}

void TMap::SetXAxisInterval(const TAxis* axis) {
    if (axis == nullptr) {
        throw TGridError("Axis is not set in TMap::SetXAxisInterval");
    }
    if (static_cast<std::int64_t>(axis->GetSize()) != static_cast<std::int64_t>(MbrLngXDim) + 1) {
        throw TGridError("Length of new X interval axis does not fit the X dimension of the map");
    }
    ReplaceAxes(axis, MbrPtrXAxisInterval, MbrPtrXAxis, &TAxisTools::IntervalsToPoints, 'X');
}

void TMap::SetYAxisInterval(const TAxis* axis) {
    if (axis == nullptr) {
        throw TGridError("Axis is not set in TMap::SetYAxisInterval");
    }
    if (static_cast<std::int64_t>(axis->GetSize()) != static_cast<std::int64_t>(MbrLngYDim) + 1) {
        throw TGridError("Length of new Y interval axis does not fit the Y dimension of the map");
    }
    ReplaceAxes(axis, MbrPtrYAxisInterval, MbrPtrYAxis, &TAxisTools::IntervalsToPoints, 'Y');
}

std::int32_t TMap::GetIndex(double ordinate, char selector) const {
    return TAxisSearch::EdgesOf(*this, selector).GetIndex(ordinate, selector);
}

std::int32_t TMap::FindIndex(double ordinate, char selector) const {
    return TAxisSearch::EdgesOf(*this, selector).FindIndex(ordinate, selector);
}

TPoint* TMap::GetCoordinates(std::int32_t x, std::int32_t y) const {
    static const char* const kWhere = "TMap::GetCoordinates";
    if (MbrPtrXAxis == nullptr || MbrPtrYAxis == nullptr) {
        throw TGridError("Map has no axes in TMap::GetCoordinates");
    }
    if (x < 0 || x >= MbrPtrXAxis->GetSize()) {
        throw TGridError("LngX is out of range for the X-axis in TMap::GetCoordinates");
    }
    if (y < 0 || y >= MbrPtrYAxis->GetSize()) {
        throw TGridError("LngY is out of range for the Y-axis in TMap::GetCoordinates");
    }
    return new TPoint(MbrPtrXAxis->PointAt(x, kWhere).MbrDblX,
                      MbrPtrYAxis->PointAt(y, kWhere).MbrDblY);
}

TMapPoint* TMap::GetPoint(std::int32_t x, std::int32_t y) const {
    if (x < 0 || x >= MbrLngXDim) {
        throw TGridError("LngX is out of range in TMap::GetPoint (long,long)");
    }
    if (y < 0 || y >= MbrLngYDim) {
        throw TGridError("LngY is out of range in TMap::GetPoint (long,long)");
    }
    std::unique_ptr<TPoint> centre(GetCoordinates(x, y));
    return new TMapPoint(centre->MbrDblX, centre->MbrDblY, GetPointVal(x, y));
}

bool TMap::HasCell(std::int32_t x, std::int32_t y) const {
    return x >= 0 && x < MbrLngXDim && y >= 0 && y < MbrLngYDim &&
           static_cast<std::size_t>(y) < MbrVecValues.size() &&
           static_cast<std::size_t>(x) < MbrVecValues[static_cast<std::size_t>(y)].size();
}

void TMap::LookUp(const TPoint* point, const char* where, std::int32_t& x, std::int32_t& y) const {
    if (point == nullptr) {
        throw TGridError(std::string("Point is not set in ") + where);
    }
    x = GetIndex(point->MbrDblX, 'X');
    y = GetIndex(point->MbrDblY, 'Y');
}

double TMap::HeldValue(std::int32_t x, std::int32_t y, const char* where) const {
    // The setters keep the axes and dimensions in step, so these guard only
    // against a map whose members were changed by hand.
    if (x < 0 || x >= MbrLngXDim) {
        throw TGridError(std::string("LngX is out of range in ") + where);
    }
    if (!HasCell(x, y)) {
        throw TGridError(std::string("LngY is out of range in ") + where);
    }
    return MbrVecValues[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
}

double TMap::GetPointVal(const TPoint* point) const {
    static const char* const kWhere = "TMap::GetPointVal";
    std::int32_t x;
    std::int32_t y;
    LookUp(point, kWhere, x, y);
    return HeldValue(x, y, kWhere);
}

TMapPoint* TMap::GetPoint(const TPoint* point) const {
    static const char* const kWhere = "TMap::GetPoint (TPoint*)";
    std::int32_t x;
    std::int32_t y;
    LookUp(point, kWhere, x, y);
    return new TMapPoint(point->MbrDblX, point->MbrDblY, HeldValue(x, y, kWhere));
}

std::vector<double> TMap::GetPointValues(const std::vector<TPoint*>& points) const {
    static const char* const kWhere = "TMap::GetPointVal";
    std::vector<double> values;
    values.reserve(points.size());
    // GetPointVal for each point, with each edge axis read once for the whole
    // call (made at its first lookup, so the failures and their order stay
    // those of GetPointVal).
    std::optional<TAxisSearch> columns;
    std::optional<TAxisSearch> rows;
    for (const TPoint* point : points) {
        if (point == nullptr) {
            throw TGridError(std::string("Point is not set in ") + kWhere);
        }
        if (!columns) {
            columns.emplace(TAxisSearch::EdgesOf(*this, 'X'), 'X');
        }
        const std::int32_t x = columns->Get(point->MbrDblX);
        if (!rows) {
            rows.emplace(TAxisSearch::EdgesOf(*this, 'Y'), 'Y');
        }
        const std::int32_t y = rows->Get(point->MbrDblY);
        values.push_back(HeldValue(x, y, kWhere));
    }
    return values;
}

void TMap::SetPoint(std::int32_t x, std::int32_t y, double value) {
    if (!HasCell(x, y)) {
        throw TGridError("Index is out of range in TMap::SetPoint");
    }
    MbrVecValues[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = value;
}

void TMap::SetPoint(const TPoint* point, double value) {
    std::int32_t x;
    std::int32_t y;
    LookUp(point, "TMap::SetPoint", x, y);
    SetPoint(x, y, value);
}

std::vector<double> TMap::GetRow(std::int32_t y) const {
    if (y < 0 || static_cast<std::size_t>(y) >= MbrVecValues.size()) {
        throw TGridError("Index is out of bounds in TMap::GetRow");
    }
    return MbrVecValues[static_cast<std::size_t>(y)];
}

void TMap::AddRow(std::vector<double> row) {
    constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    if (MbrLngYDim == std::numeric_limits<std::int32_t>::max() || row.size() > kMax) {
        throw TGridError("Map is too large in TMap::AddRow");
    }
    const std::size_t columns = row.size();
    MbrVecValues.push_back(std::move(row));
    ++MbrLngYDim;
    if (MbrLngXDim == 0) {
        MbrLngXDim = static_cast<std::int32_t>(columns);
    }
}

bool TMap::ValuesMatchDimensions() const {
    if (MbrLngXDim < 0 || MbrLngYDim < 0 ||
        MbrVecValues.size() < static_cast<std::size_t>(MbrLngYDim)) {
        return false;
    }
    for (std::int32_t y = 0; y < MbrLngYDim; ++y) {
        if (MbrVecValues[static_cast<std::size_t>(y)].size() <
            static_cast<std::size_t>(MbrLngXDim)) {
            return false;
        }
    }
    return true;
}

void TMap::ThrowX() {
    throw TGridError("X-ordinate is out of range in TMap::GetPointVal");
}

void TMap::ThrowY() {
    throw TGridError("Y-ordinate is out of range in TMap::GetPointVal");
}
