// TMapTools: thresholds, value tables and counts.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>

#include <gridsnip/grid/TGridError.h>
#include <gridsnip/tools/TMapTools.h>

TMap* TMapTools::Threshold(const TMap* map, double threshold) {
    auto result = NewOnAxesOf(map, "TMapTools::Threshold");
    // An unordered comparison (NaN) is not "at or above".
    MapCells(map, result.get(), [=](double v) { return v >= threshold ? v : 0.0; });
    return result.release();
}

std::vector<TMap*> TMapTools::Threshold(std::vector<TMap*> maps, double threshold) {
    std::vector<std::unique_ptr<TMap>> made;
    made.reserve(maps.size());
    for (const TMap* map : maps) {
        made.emplace_back(Threshold(map, threshold));
    }
    std::vector<TMap*> result;
    result.reserve(made.size());
    for (std::unique_ptr<TMap>& map : made) {
        result.push_back(map.release());
    }
    return result;
}

TMap* TMapTools::ThresholdReplace(const TMap* map, double threshold, double replacement) {
    auto result = NewOnAxesOf(map, "TMapTools::ThresholdReplace");
    MapCells(map, result.get(), [=](double v) { return v >= threshold ? replacement : v; });
    return result.release();
}

TMap* TMapTools::ReplaceValue(const TMap* map, std::map<double, double> table,
                              double defaultValue) {
    auto result = NewOnAxesOf(map, "TMapTools::ReplaceValue");
    // A NaN is no key: under less-than it would "find" the smallest one.
    MapCells(map, result.get(), [&](double v) {
        if (std::isnan(v)) {
            return defaultValue;
        }
        const auto found = table.find(v);
        return found == table.end() ? defaultValue : found->second;
    });
    return result.release();
}

std::map<double, long> TMapTools::CountValues(const TMap* map) {
    RequireValues(map, "TMapTools::CountValues");
    std::map<double, long> counts;
    // Row by row, for speed. A table keeps the key it met first, and only one
    // key has two faces: 0 and -0 are equal, so which of them the table shows
    // depends on the order of visits. The counts do not; the zero key must be
    // the one a walk column by column from column 0 (each column from row 0)
    // meets first, so remember that zero: the one of the lowest column, and
    // within it of the lowest row, which a row-by-row walk meets first.
    std::int32_t zeroColumn = std::numeric_limits<std::int32_t>::max();
    double firstZero = 0;
    for (std::int32_t y = 0; y < map->MbrLngYDim; ++y) {
        const std::vector<double>& row = map->MbrVecValues[static_cast<std::size_t>(y)];
        for (std::int32_t x = 0; x < map->MbrLngXDim; ++x) {
            const double v = row[static_cast<std::size_t>(x)];
            if (std::isnan(v)) {
                continue;
            }
            ++counts[v];
            if (v == 0 && x < zeroColumn) {
                zeroColumn = x;
                firstZero = v;
            }
        }
    }
    if (auto zero = counts.extract(0.0)) {
        zero.key() = firstZero;
        counts.insert(std::move(zero));
    }
    return counts;
}

std::int32_t TMapTools::CountValues(const TMap* map, double value) {
    RequireValues(map, "TMapTools::CountValues");
    std::int64_t count = 0;
    for (std::int32_t y = 0; y < map->MbrLngYDim; ++y) {
        const std::vector<double>& row = map->MbrVecValues[static_cast<std::size_t>(y)];
        for (std::int32_t x = 0; x < map->MbrLngXDim; ++x) {
            count += row[static_cast<std::size_t>(x)] == value ? 1 : 0;
        }
    }
    if (count > std::numeric_limits<std::int32_t>::max()) {
        throw TGridError("Count is too large in TMapTools::CountValues");
    }
    return static_cast<std::int32_t>(count);
}
