// TMapTools: cell arithmetic on grids.
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include <gridsnip/grid/TGridError.h>
#include <gridsnip/tools/TMapTools.h>
#include "grid/TAxisSearch.h"

namespace {

// For a coordinate-paired operation: the coarse grid's column for each fine
// column and its row for each fine row. Looking each up once per column and
// once per row gives exactly the cells a lookup per cell centre would, and the
// same failure for a centre outside the coarse grid.
struct Pairing {
    std::vector<std::int32_t> MbrVecColumns;
    std::vector<std::int32_t> MbrVecRows;
};

Pairing PairCells(const TMap* fine, const TMap* coarse) {
    Pairing pairing;
    const std::int32_t columns = fine->MbrLngXDim;
    const std::int32_t rows = fine->MbrLngYDim;
    // A grid without cells looks nothing up.
    if (columns == 0 || rows == 0) {
        return pairing;
    }
    if (fine->MbrPtrXAxis == nullptr || fine->MbrPtrYAxis == nullptr) {
        throw TGridError("Map has no axes in TMap::GetCoordinates");
    }
    if (fine->MbrPtrXAxis->GetSize() < columns) {
        throw TGridError("LngX is out of range for the X-axis in TMap::GetCoordinates");
    }
    if (fine->MbrPtrYAxis->GetSize() < rows) {
        throw TGridError("LngY is out of range for the Y-axis in TMap::GetCoordinates");
    }
    // The coarse cell around each fine centre of one direction, the coarse
    // edges read once for all centres.
    const auto lookUp = [coarse](const TAxis& centres, std::int32_t count, char selector,
                                 std::int32_t limit, const char* outside) {
        std::vector<std::int32_t> cells;
        cells.reserve(static_cast<std::size_t>(count));
        std::optional<TAxisSearch> search;
        for (std::int32_t i = 0; i < count; ++i) {
            const TPoint& centre = centres.PointAt(i, "TMap::GetCoordinates");
            if (!search) {
                search.emplace(TAxisSearch::EdgesOf(*coarse, selector), selector);
            }
            const std::int32_t cell =
                search->Get(selector == 'X' ? centre.MbrDblX : centre.MbrDblY);
            if (cell >= limit) {
                throw TGridError(outside);
            }
            cells.push_back(cell);
        }
        return cells;
    };
    pairing.MbrVecColumns = lookUp(*fine->MbrPtrXAxis, columns, 'X', coarse->MbrLngXDim,
                                   "LngX is out of range in TMap::GetPointVal");
    pairing.MbrVecRows = lookUp(*fine->MbrPtrYAxis, rows, 'Y', coarse->MbrLngYDim,
                                "LngY is out of range in TMap::GetPointVal");
    return pairing;
}

// The coordinate-paired family: the result has the fine grid's geometry and
// marker, and holds that marker wherever either paired cell lacks data.
template <typename CellOp>
TMap* CombinePaired(const TMap* fine, const TMap* coarse, const char* where, CellOp op) {
    TMapTools::RequireValues(fine, where);
    TMapTools::RequireValues(coarse, where);
    auto result =
        std::make_unique<TMap>(fine->MbrDblResolution, fine->MbrLngXDim, fine->MbrLngYDim);
    result->MbrDblNoData = fine->MbrDblNoData;
    result->InitValues(fine->MbrDblNoData);
    result->SetXAxis(fine->MbrPtrXAxis);
    result->SetYAxis(fine->MbrPtrYAxis);

    const Pairing pairing = PairCells(fine, coarse);
    const double fineNoData = fine->MbrDblNoData;
    const double coarseNoData = coarse->MbrDblNoData;
    for (std::size_t y = 0; y < pairing.MbrVecRows.size(); ++y) {
        const std::vector<double>& in = fine->MbrVecValues[y];
        const std::vector<double>& other =
            coarse->MbrVecValues[static_cast<std::size_t>(pairing.MbrVecRows[y])];
        std::vector<double>& out = result->MbrVecValues[y];
        for (std::size_t x = 0; x < pairing.MbrVecColumns.size(); ++x) {
            const double d = in[x];
            const double v = other[static_cast<std::size_t>(pairing.MbrVecColumns[x])];
            out[x] = (d == fineNoData || v == coarseNoData) ? fineNoData : op(d, v);
        }
    }
    return result.release();
}

// The finer of two grids visits, the other is looked up; equal (or unordered)
// resolutions make the first grid the finer one only when the second is not
// strictly finer.
bool SecondIsFiner(const TMap* first, const TMap* second) {
    return !(second->MbrDblResolution >= first->MbrDblResolution);
}

void RequireSameDimensions(const TMap* a, const TMap* b, const char* xMessage,
                           const char* yMessage) {
    if (a->MbrLngXDim != b->MbrLngXDim) {
        throw TGridError(xMessage);
    }
    if (a->MbrLngYDim != b->MbrLngYDim) {
        throw TGridError(yMessage);
    }
}

// Two grids whose cells pair by index: both readable, X then Y dimensions equal.
void RequirePairByIndex(const TMap* a, const TMap* b, const char* where, const char* xMessage,
                        const char* yMessage) {
    TMapTools::RequireValues(a, where);
    TMapTools::RequireValues(b, where);
    RequireSameDimensions(a, b, xMessage, yMessage);
}

void RequireList(const std::vector<TMap*>& maps, const char* where, const char* xMessage,
                 const char* yMessage) {
    for (const TMap* map : maps) {
        TMapTools::RequireValues(map, where);
    }
    for (std::size_t i = 1; i < maps.size(); ++i) {
        RequireSameDimensions(maps[0], maps[i], xMessage, yMessage);
    }
}

}  // namespace

TMap* TMapTools::Add(const TMap* first, const TMap* second) {
    if (first != nullptr && second != nullptr && SecondIsFiner(first, second)) {
        std::swap(first, second);
    }
    return CombinePaired(first, second, "TMapTools::Add", [](double d, double v) { return d + v; });
}

TMap* TMapTools::Multiply(const TMap* first, const TMap* second) {
    if (first != nullptr && second != nullptr && SecondIsFiner(first, second)) {
        std::swap(first, second);
    }
    return CombinePaired(first, second, "TMapTools::Multiply",
                         [](double d, double v) { return d * v; });
}

TMap* TMapTools::Divide(const TMap* dividend, const TMap* divisor) {
    if (dividend != nullptr && divisor != nullptr &&
        dividend->MbrDblResolution > divisor->MbrDblResolution) {
        throw TGridError(
            "Divisor must be of equal of coarser resolution than the dividend in "
            "TMapTools::Divide");
    }
    return CombinePaired(dividend, divisor, "TMapTools::Divide",
                         [](double d, double v) { return d / v; });
}

TMap* TMapTools::Subtract(const TMap* first, const TMap* second) {
    static const char* const kWhere = "TMapTools::Subtract";
    RequirePairByIndex(first, second, kWhere, "X dimensions do not match in TMapTools::Subtract",
                       "Y dimensions do not match in TMapTools::Subtract");
    auto result = NewOnAxesOf(first, kWhere);
    const double noData = first->MbrDblNoData;
    const double otherNoData = second->MbrDblNoData;
    result->MbrDblNoData = noData;
    ZipCells(first, second, result.get(), [=](double a, double b) {
        return (a == noData || b == otherNoData) ? noData : a - b;
    });
    return result.release();
}

TMap* TMapTools::Multiply(const TMap* map, double factor) {
    auto result = NewOnAxesOf(map, "TMapTools::Multiply");
    const double noData = map->MbrDblNoData;
    result->MbrDblNoData = noData;
    MapCells(map, result.get(), [=](double a) { return a == noData ? noData : a * factor; });
    return result.release();
}

TMap* TMapTools::Divide(const TMap* map, double divisor) {
    auto result = NewOnAxesOf(map, "TMapTools::Divide");
    const double noData = map->MbrDblNoData;
    result->MbrDblNoData = noData;
    MapCells(map, result.get(), [=](double a) { return a == noData ? noData : a / divisor; });
    return result.release();
}

TMap* TMapTools::Sum(std::vector<TMap*> maps) {
    static const char* const kWhere = "TMapTools::Sum";
    if (maps.size() < 2) {
        throw TGridError("Must have more than 2 maps to sum in TMapTools::Sum");
    }
    RequireList(maps, kWhere, "X-dimension of maps are inconsistent in TMapTools::Sum",
                "Y-dimension of maps are inconsistent in TMapTools::Sum");
    auto result = NewOnAxesOf(maps[0], kWhere);
    // One marker for every cell that some grid lacks: the first grid's.
    const double noData = maps[0]->MbrDblNoData;
    result->MbrDblNoData = noData;
    const auto columns = static_cast<std::size_t>(maps[0]->MbrLngXDim);
    std::vector<char> lacksData(columns);
    // Row by row, the grids folded in list order: each cell's sum starts at 0 and
    // adds the grids in the same order as a loop per cell would.
    for (std::size_t y = 0; y < static_cast<std::size_t>(maps[0]->MbrLngYDim); ++y) {
        std::vector<double>& out = result->MbrVecValues[y];
        std::fill(out.begin(), out.end(), 0.0);
        std::fill(lacksData.begin(), lacksData.end(), 0);
        for (const TMap* map : maps) {
            const double* in = map->MbrVecValues[y].data();
            const double mapNoData = map->MbrDblNoData;
            for (std::size_t x = 0; x < columns; ++x) {
                if (in[x] == mapNoData) {
                    lacksData[x] = 1;
                } else {
                    out[x] += in[x];
                }
            }
        }
        for (std::size_t x = 0; x < columns; ++x) {
            if (lacksData[x] != 0) {
                out[x] = noData;
            }
        }
    }
    return result.release();
}

TMap* TMapTools::DataCounts(std::vector<TMap*> maps) {
    static const char* const kWhere = "TMapTools::DataCounts";
    if (maps.empty()) {
        throw TGridError("Must have at least one map in TMapTools::DataCounts");
    }
    RequireList(maps, kWhere, "X-dimension of maps are inconsistent in TMapTools::DataCounts",
                "Y-dimension of maps are inconsistent in TMapTools::DataCounts");
    auto result = NewOnAxesOf(maps[0], kWhere);
    result->InitValues(0.0);
    for (const TMap* map : maps) {
        const double noData = map->MbrDblNoData;
        // A NaN never equals the marker, so it counts as data.
        ZipCells(result.get(), map, result.get(),
                 [=](double count, double v) { return v != noData ? count + 1.0 : count; });
    }
    return result.release();
}

TMap* TMapTools::Average(std::vector<TMap*> maps) {
    const std::unique_ptr<TMap> sum(Sum(maps));
    const std::unique_ptr<TMap> counts(DataCounts(maps));
    // Both share the first grid's geometry, so every cell pairs with itself, and
    // the sum's no-data cells stay no-data with its marker.
    return Divide(sum.get(), counts.get());
}

TMap* TMapTools::Mask(const TMap* first, const TMap* second, double match, double replacement) {
    static const char* const kWhere = "TMapTools::Mask";
    RequirePairByIndex(first, second, kWhere, "X dimensions do not match in TMapTools::Mask",
                       "Y dimensions do not match in TMapTools::Mask");
    auto result = NewOnAxesOf(first, kWhere);
    // The values, and so the marker, are the second grid's.
    result->MbrDblNoData = second->MbrDblNoData;
    MapCells(second, result.get(), [=](double b) { return b == match ? replacement : b; });
    return result.release();
}

TMap* TMapTools::RoundContents(const TMap* map) {
    auto result = NewOnAxesOf(map, "TMapTools::RoundContents");
    const double noData = map->MbrDblNoData;
    result->MbrDblNoData = noData;
    // Half up for every sign, in double so that no integer range limits it.
    MapCells(map, result.get(), [=](double a) {
        if (a == noData || !std::isfinite(a)) {
            return a;
        }
        const double down = std::floor(a);
        return a - down < 0.5 ? down : down + 1.0;
    });
    return result.release();
}
