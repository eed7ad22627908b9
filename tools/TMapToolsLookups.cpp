// TMapTools: first cells of values, values fetched at points, value overlays.
#include <cmath>
#include <memory>
#include <string>

#include <gridsnip/grid/TGridError.h>
#include <gridsnip/tools/TMapTools.h>
#include <gridsnip/tools/TVectorTools.h>

namespace {

// Owns the points of first-cell tables until they are handed to the caller.
class PointTables {
  public:
    ~PointTables() {
        for (auto& table : MbrVecTables) {
            for (auto& entry : table) {
                delete entry.second;
            }
        }
    }
    std::map<double, TMapPoint*>& Add() { return MbrVecTables.emplace_back(); }
    std::vector<std::map<double, TMapPoint*>> Release() {
        std::vector<std::map<double, TMapPoint*>> tables;
        tables.swap(MbrVecTables);
        return tables;
    }

  private:
    std::vector<std::map<double, TMapPoint*>> MbrVecTables;
};

void FillFirstValues(const TMap* map, const std::vector<double>& excluded,
                     std::map<double, TMapPoint*>& table) {
    TMapTools::RequireValues(map, "TMapTools::GetFirstValues");
    double previous = map->MbrDblNoData;
    for (std::int32_t i = 0; i < map->MbrLngXDim; ++i) {
        for (std::int32_t j = 0; j < map->MbrLngYDim; ++j) {
            const double v =
                map->MbrVecValues[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)];
            // A NaN has no place among ordered keys, nor as the previous value.
            if (std::isnan(v) || v == previous) {
                continue;
            }
            previous = v;
            if (TVectorTools::HasValue(excluded, v) || table.count(v) != 0) {
                continue;
            }
            std::unique_ptr<TMapPoint> point(map->GetPoint(i, j));
            table.emplace(v, point.get());
            point.release();
        }
    }
}

}  // namespace

std::map<double, TMapPoint*> TMapTools::GetFirstValues(const TMap* map,
                                                       std::vector<double> excluded) {
    PointTables tables;
    FillFirstValues(map, excluded, tables.Add());
    return std::move(tables.Release().front());
}

std::vector<std::map<double, TMapPoint*>> TMapTools::GetFirstValues(std::vector<TMap*> maps,
                                                                    std::vector<double> excluded) {
    PointTables tables;
    for (const TMap* map : maps) {
        FillFirstValues(map, excluded, tables.Add());
    }
    return tables.Release();
}

std::map<double, double> TMapTools::FetchMapValues(const TMap* map,
                                                   std::map<double, TMapPoint*> points) {
    if (map == nullptr) {
        throw TGridError("Map is not set in TMapTools::FetchMapValues");
    }
    // One call for all points, so the grid's axes are read once, not per point.
    std::vector<TPoint*> where;
    where.reserve(points.size());
    for (const auto& entry : points) {
        where.push_back(entry.second);
    }
    const std::vector<double> found = map->GetPointValues(where);
    std::map<double, double> values;
    std::size_t k = 0;
    for (const auto& entry : points) {
        values.emplace_hint(values.end(), entry.first, found[k++]);
    }
    return values;
}

std::vector<std::map<double, double>> TMapTools::FetchMapValues(
    std::vector<TMap*> maps, std::vector<std::map<double, TMapPoint*>> points) {
    if (points.size() < maps.size()) {
        throw TGridError(
            "Number of point tables does not match the number of maps in "
            "TMapTools::FetchMapValues");
    }
    std::vector<std::map<double, double>> values;
    values.reserve(maps.size());
    for (std::size_t k = 0; k < maps.size(); ++k) {
        values.push_back(FetchMapValues(maps[k], std::move(points[k])));
    }
    return values;
}

std::map<double, std::vector<double>> TMapTools::GetValuesOverlay(const TMap* first,
                                                                  const TMap* second,
                                                                  std::vector<double> excluded) {
    static const char* const kWhere = "TMapTools::GetValuesOverlay";
    RequireValues(first, kWhere);
    RequireValues(second, kWhere);
    if (first->MbrLngXDim != second->MbrLngXDim) {
        throw TGridError("Map X-dimensions do not match");
    }
    if (first->MbrLngYDim != second->MbrLngYDim) {
        throw TGridError("Map Y-Dimensions do not match");
    }
    std::map<double, std::vector<double>> overlay;
    for (std::int32_t i = 0; i < first->MbrLngXDim; ++i) {
        for (std::int32_t j = 0; j < first->MbrLngYDim; ++j) {
            const auto row = static_cast<std::size_t>(j);
            const auto column = static_cast<std::size_t>(i);
            const double key = second->MbrVecValues[row][column];
            if (std::isnan(key) || TVectorTools::HasValue(excluded, key)) {
                continue;
            }
            overlay[key].push_back(first->MbrVecValues[row][column]);
        }
    }
    return overlay;
}
