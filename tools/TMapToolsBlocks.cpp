// TMapTools: overlay of two grids, and blocks of cells.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include <gridsnip/grid/TGridError.h>
#include <gridsnip/tools/TMapTools.h>
#include <gridsnip/tools/TPointTools.h>
#include "grid/TAxisSearch.h"

namespace {

// A grid's outer edges, read from its edge axes; north is the higher Y end.
struct Edges {
    double MbrDblWest;
    double MbrDblEast;
    double MbrDblNorth;
    double MbrDblSouth;
};

Edges EdgesOf(const TMap* map, const char* where) {
    TMapTools::RequireValues(map, where);
    const TAxis* x = map->MbrPtrXAxisInterval;
    const TAxis* y = map->MbrPtrYAxisInterval;
    if (x == nullptr || y == nullptr) {
        throw TGridError(std::string("Map has no axes in ") + where);
    }
    y->GetPoint(map->MbrLngYDim);
    x->GetPoint(map->MbrLngXDim);
    const double first = y->PointAt(0, where).MbrDblY;
    const double last = y->PointAt(map->MbrLngYDim, where).MbrDblY;
    return {x->PointAt(0, where).MbrDblX, x->PointAt(map->MbrLngXDim, where).MbrDblX,
            std::max(first, last), std::min(first, last)};
}

// The cell of `map` that holds each coordinate of `centres` (an X or a Y axis).
std::vector<std::int32_t> CellsHolding(const TMap* map, const TAxis* centres, std::int32_t count,
                                       char selector, const char* where) {
    if (centres == nullptr || centres->GetSize() < count) {
        throw TGridError(std::string("Map has no axes in ") + where);
    }
    std::vector<std::int32_t> cells;
    cells.reserve(static_cast<std::size_t>(count));
    // The map's edges read once for all centres; no lookup happens for none.
    std::optional<TAxisSearch> search;
    for (std::int32_t i = 0; i < count; ++i) {
        const TPoint& centre = centres->PointAt(i, where);
        if (!search) {
            search.emplace(TAxisSearch::EdgesOf(*map, selector), selector);
        }
        cells.push_back(search->Get(selector == 'X' ? centre.MbrDblX : centre.MbrDblY));
    }
    return cells;
}

}  // namespace

void TMapTools::Intersection(const TMap* a, const TMap* b, TMap*& outA, TMap*& outB) {
    static const char* const kWhere = "TMapTools::Intersection";
    const Edges ea = EdgesOf(a, kWhere);
    const Edges eb = EdgesOf(b, kWhere);
    // Corners half the finer cell inside the edges: every cell of the common
    // window holds them, and a grid that only touches the other holds none.
    const double h = std::min(a->MbrDblResolution, b->MbrDblResolution) * 0.5;
    const TPoint lowerA(ea.MbrDblWest + h, ea.MbrDblSouth + h);
    const TPoint upperA(ea.MbrDblEast - h, ea.MbrDblNorth - h);
    const TPoint lowerB(eb.MbrDblWest + h, eb.MbrDblSouth + h);
    const TPoint upperB(eb.MbrDblEast - h, eb.MbrDblNorth - h);
    const std::unique_ptr<TPoint> lower(TPointTools::Max(&lowerA, &lowerB));
    const std::unique_ptr<TPoint> upper(TPointTools::Min(&upperA, &upperB));
    if (lower->MbrDblX > upper->MbrDblX || lower->MbrDblY > upper->MbrDblY) {
        throw TGridError("Maps do not intersect in TMapTools::Intersection");
    }
    std::unique_ptr<TMap> cutA(Extract(a, lower.get(), upper.get()));
    std::unique_ptr<TMap> cutB(Extract(b, lower.get(), upper.get()));
    outA = cutA.release();
    outB = cutB.release();
}

void TMapTools::Insert(TMap* destination, const TMap* insert) {
    static const char* const kWhere = "TMapTools::Insert";
    const Edges to = EdgesOf(destination, kWhere);
    const Edges from = EdgesOf(insert, kWhere);
    if (from.MbrDblWest < to.MbrDblWest || from.MbrDblNorth > to.MbrDblNorth) {
        throw TGridError(
            "Insert map's NW corner is outside of the destination map in TMapTools::Insert");
    }
    if (from.MbrDblEast > to.MbrDblEast || from.MbrDblSouth < to.MbrDblSouth) {
        throw TGridError(
            "Insert map's SE corner is outside of the destination map in TMapTools::Insert");
    }
    // Every target cell is found before the first value is written, so a failed
    // lookup leaves the destination as it was.
    const std::vector<std::int32_t> columns =
        CellsHolding(destination, insert->MbrPtrXAxis, insert->MbrLngXDim, 'X', kWhere);
    const std::vector<std::int32_t> rows =
        CellsHolding(destination, insert->MbrPtrYAxis, insert->MbrLngYDim, 'Y', kWhere);
    for (std::size_t y = 0; y < rows.size(); ++y) {
        const std::vector<double>& in = insert->MbrVecValues[y];
        std::vector<double>& out = destination->MbrVecValues[static_cast<std::size_t>(rows[y])];
        for (std::size_t x = 0; x < columns.size(); ++x) {
            out[static_cast<std::size_t>(columns[x])] = in[x];
        }
    }
}

void TMapTools::FindPatchExtent(const TMap* map, double value, std::int32_t& north,
                                std::int32_t& south, std::int32_t& west, std::int32_t& east) {
    RequireValues(map, "TMapTools::FindPatchExtent");
    std::int32_t n = map->MbrLngYDim - 1, s = 0, w = map->MbrLngXDim - 1, e = 0;
    bool found = false;
    for (std::int32_t y = 0; y < map->MbrLngYDim; ++y) {
        const std::vector<double>& row = map->MbrVecValues[static_cast<std::size_t>(y)];
        for (std::int32_t x = 0; x < map->MbrLngXDim; ++x) {
            if (row[static_cast<std::size_t>(x)] == value) {
                n = std::min(n, y);
                s = std::max(s, y);
                w = std::min(w, x);
                e = std::max(e, x);
                found = true;
            }
        }
    }
    if (!found) {
        n = s = w = e = 0;
    }
    north = n;
    south = s;
    west = w;
    east = e;
}

void TMapTools::BufferIndices(const TMap* map, std::int32_t buffer, std::int32_t& north,
                              std::int32_t& south, std::int32_t& west, std::int32_t& east) {
    if (map == nullptr) {
        throw TGridError("Map is not set in TMapTools::BufferIndices");
    }
    // 64-bit sums: a buffer near the 32-bit limit must not wrap around.
    const std::int64_t n = std::max<std::int32_t>(buffer, 0);
    const std::int64_t lastColumn = std::int64_t{map->MbrLngXDim} - 1;
    const std::int64_t lastRow = std::int64_t{map->MbrLngYDim} - 1;
    const auto widen = [n](std::int64_t low, std::int64_t high, std::int64_t last,
                           std::int32_t& lowOut, std::int32_t& highOut) {
        low = low > n ? low - n : 0;
        high = high < last - n ? high + n : last;
        // A block that started outside the grid is brought inside as well.
        const std::int64_t top = std::max<std::int64_t>(last, 0);
        lowOut = static_cast<std::int32_t>(std::clamp<std::int64_t>(low, 0, top));
        highOut = static_cast<std::int32_t>(std::clamp<std::int64_t>(high, 0, top));
    };
    widen(west, east, lastColumn, west, east);
    widen(north, south, lastRow, north, south);
}

void TMapTools::FillBlock(TMap* map, double value, std::int32_t north, std::int32_t south,
                          std::int32_t west, std::int32_t east) {
    RequireValues(map, "TMapTools::FillBlock");
    if (north > south) {
        throw TGridError("Northern edge must be less than southern edge in TMapTools::FillBlock");
    }
    if (west > east) {
        throw TGridError("Western edge must be less than eastern edge in TMapTools::FillBlock");
    }
    if (north < 0 || north >= map->MbrLngYDim) {
        throw TGridError("Northern ordinate is out of range in TMapTools::FillBlock");
    }
    if (south < 0 || south >= map->MbrLngYDim) {
        throw TGridError("Southern ordinate is out of range in TMapTools::FillBlock");
    }
    if (west < 0 || west >= map->MbrLngXDim) {
        throw TGridError("Western ordinate is out of range in TMapTools::FillBlock");
    }
    if (east < 0 || east >= map->MbrLngXDim) {
        throw TGridError("Eastern ordinate is out of range in TMapTools::FillBlock");
    }
    for (std::int32_t y = north; y <= south; ++y) {
        std::vector<double>& row = map->MbrVecValues[static_cast<std::size_t>(y)];
        std::fill(row.begin() + west, row.begin() + east + 1, value);
    }
}
