// TMapTools: series of grids: cell runs, neighbourhoods, sliding slopes and averages.
#include <algorithm>
#include <memory>
#include <string>

#include <gridsnip/grid/TGridError.h>
#include <gridsnip/tools/TMapTools.h>
#include <gridsnip/tools/TVectorTools.h>

namespace {

// Hands a vector of new grids to the caller, or releases them all on failure.
class MapList {
  public:
    void Add(TMap* map) { MbrVecMaps.emplace_back(map); }
    std::vector<TMap*> Release() {
        std::vector<TMap*> maps;
        maps.reserve(MbrVecMaps.size());
        for (std::unique_ptr<TMap>& map : MbrVecMaps) {
            maps.push_back(map.release());
        }
        return maps;
    }

  private:
    std::vector<std::unique_ptr<TMap>> MbrVecMaps;
};

// The search of FindNonzeroNeighbourVal on a cell known to be inside the grid.
double NonzeroNear(const TMap& map, std::int32_t column, std::int32_t row) {
    const std::int32_t firstRow = std::max(row - 1, 0);
    const std::int32_t lastRow = std::min(row + 1, map.MbrLngYDim - 1);
    double result = 0;
    // The easternmost column holding a nonzero value decides; within a column
    // the northernmost such value.
    for (std::int32_t x = std::max(column - 1, 0); x <= std::min(column + 1, map.MbrLngXDim - 1);
         ++x) {
        for (std::int32_t y = firstRow; y <= lastRow; ++y) {
            const double v =
                map.MbrVecValues[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            if (v != 0) {
                result = v;
                break;
            }
        }
    }
    return result;
}

}  // namespace

std::vector<double> TMapTools::GetValuesVector(std::vector<TMap*> maps, std::int32_t column,
                                               std::int32_t row, int start, int end) {
    // Unsigned comparison on purpose: a negative position counts as too large.
    const std::size_t n = maps.size();
    if (static_cast<std::size_t>(static_cast<unsigned>(start)) >= n) {
        throw TGridError("Start map number is out of range in TMapTools::GetValuesVector");
    }
    if (static_cast<std::size_t>(static_cast<unsigned>(end)) >= n) {
        throw TGridError("End map number is out of range in TMapTools::GetValuesVector");
    }
    if (start >= end) {
        throw TGridError("Stat map number must be less than end map number");
    }
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(end - start) + 1);
    for (int m = start; m <= end; ++m) {
        const TMap* map = maps[static_cast<std::size_t>(m)];
        if (map == nullptr) {
            throw TGridError("Map is not set in TMapTools::GetValuesVector");
        }
        values.push_back(map->GetPointVal(column, row));
    }
    return values;
}

double TMapTools::FindNonzeroNeighbourVal(const TMap* map, std::int32_t column, std::int32_t row) {
    RequireValues(map, "TMapTools::FindNonzeroNeighbourVal");
    if (column < 0 || column >= map->MbrLngXDim) {
        throw TGridError("X-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal");
    }
    if (row < 0 || row >= map->MbrLngYDim) {
        throw TGridError("Y-ordinate is out of range in TMapTools::FindNonzeroNeighbourVal");
    }
    return NonzeroNear(*map, column, row);
}

std::vector<TMap*> TMapTools::ValueGradients(std::vector<TMap*> maps, int window) {
    static const char* const kWhere = "TMapTools::ValueGradients";
    const auto n = static_cast<std::int64_t>(maps.size());
    if (window < 0 || n < window) {
        throw TGridError("Window size must be < number of maps in TMapTools::ValueGradients");
    }
    for (const TMap* map : maps) {
        RequireValues(map, kWhere);
        if (map->MbrLngXDim != maps[0]->MbrLngXDim || map->MbrLngYDim != maps[0]->MbrLngYDim) {
            throw TGridError("Map dimensions do not match in TMapTools::ValueGradients");
        }
    }
    MapList result;
    const auto w = static_cast<std::size_t>(window);
    // One set of per-cell buffers for the whole run: positions, values, and the
    // points kept for the fit.
    std::vector<double> values(w + 1), xs(w + 1), ys(w + 1);
    for (std::size_t i = 0; static_cast<std::int64_t>(i) < n - window; ++i) {
        std::unique_ptr<TMap> slopes = NewOnAxesOf(maps[0], kWhere);
        const TMap* first = maps[i];
        // Every cell depends on its own values only, so rows may be walked in
        // storage order; the results are those of a column-by-column walk.
        for (std::int32_t y = 0; y < first->MbrLngYDim; ++y) {
            const auto row = static_cast<std::size_t>(y);
            for (std::int32_t x = 0; x < first->MbrLngXDim; ++x) {
                const auto column = static_cast<std::size_t>(x);
                if (first->MbrVecValues[row][column] == 0) {
                    continue;
                }
                if (w == 0) {
                    // A run of a single grid, as GetValuesVector refuses it.
                    throw TGridError("Stat map number must be less than end map number");
                }
                for (std::size_t l = 0; l <= w; ++l) {
                    values[l] = maps[i + l]->MbrVecValues[row][column];
                }
                // The window's last value is fitted as it is, even when 0.
                for (std::size_t l = 0; l < w; ++l) {
                    if (values[l] == 0) {
                        values[l] = NonzeroNear(*maps[i + l], x, y);
                    }
                }
                std::size_t kept = 0;
                for (std::size_t l = 0; l <= w; ++l) {
                    if (values[l] != maps[i + l]->MbrDblNoData) {
                        xs[kept] = static_cast<double>(i + l);
                        ys[kept] = values[l];
                        ++kept;
                    }
                }
                slopes->MbrVecValues[row][column] =
                    TVectorTools::Gradient(xs.data(), ys.data(), kept);
            }
        }
        result.Add(slopes.release());
    }
    return result.Release();
}

std::vector<TMap*> TMapTools::MovingAverage(std::vector<TMap*> maps, int window) {
    const auto n = static_cast<std::int64_t>(maps.size());
    MapList result;
    for (std::int64_t i = 0; i <= n - window; ++i) {
        const auto from = maps.begin() + i;
        const auto to = window > 0 ? from + window : from;
        result.Add(Average(std::vector<TMap*>(from, to)));
    }
    return result.Release();
}
