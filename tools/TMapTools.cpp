// TMapTools: window extraction and the bare value writer.
#include <gridsnip/tools/TMapTools.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include <gridsnip/grid/TGridError.h>
#include "numbers/TNumberWriter.h"

void TMapTools::RequireValues(const TMap* map, const char* where) {
    if (map == nullptr) {
        throw TGridError(std::string("Map is not set in ") + where);
    }
    if (!map->ValuesMatchDimensions()) {
        throw TGridError(std::string("Map values do not match its dimensions in ") + where);
    }
}

std::unique_ptr<TMap> TMapTools::NewOnAxesOf(const TMap* map, const char* where) {
    RequireValues(map, where);
    auto result = std::make_unique<TMap>(map->MbrPtrXAxis, map->MbrPtrYAxis);
    // Axes that disagree with the dimensions would make the cell loops overrun.
    if (result->MbrLngXDim != map->MbrLngXDim || result->MbrLngYDim != map->MbrLngYDim) {
        throw TGridError(std::string("Map values do not match its dimensions in ") + where);
    }
    return result;
}

TMap* TMapTools::Extract(const TMap* source, const TPoint* corner1, const TPoint* corner2) {
    if (source == nullptr) {
        throw TGridError("Map is not set in TMapTools::Extract");
    }
    if (corner1 == nullptr || corner2 == nullptr) {
        throw TGridError("Corner point is not set in TMapTools::Extract");
    }
    std::int32_t c1 = source->GetIndex(corner1->MbrDblX, 'X');
    std::int32_t r1 = source->GetIndex(corner1->MbrDblY, 'Y');
    std::int32_t c2 = source->GetIndex(corner2->MbrDblX, 'X');
    std::int32_t r2 = source->GetIndex(corner2->MbrDblY, 'Y');
    if (c2 < c1) {
        std::swap(c1, c2);
    }
    if (r2 < r1) {
        std::swap(r1, r2);
    }
    if (source->MbrPtrXAxis == nullptr || source->MbrPtrYAxis == nullptr) {
        throw TGridError("Map has no axes in TMapTools::Extract");
    }
    const std::unique_ptr<TAxis> xAxis(source->MbrPtrXAxis->GetSegment(c1, c2));
    const std::unique_ptr<TAxis> yAxis(source->MbrPtrYAxis->GetSegment(r1, r2));
    RequireValues(source, "TMapTools::Extract");
    if (c2 >= source->MbrLngXDim || r2 >= source->MbrLngYDim) {
        throw TGridError("Map values do not match its dimensions in TMapTools::Extract");
    }
    auto result = std::make_unique<TMap>(xAxis.get(), yAxis.get());
    // The window keeps the source's marker, so its no-data cells stay no-data.
    result->MbrDblNoData = source->MbrDblNoData;
    for (std::int32_t j = 0; j <= r2 - r1; ++j) {
        const std::vector<double>& from = source->MbrVecValues[static_cast<std::size_t>(r1 + j)];
        std::copy(from.begin() + c1, from.begin() + c2 + 1,
                  result->MbrVecValues[static_cast<std::size_t>(j)].begin());
    }
    return result.release();
}

void TMapTools::WriteFlatFile(const TMap* map, std::ostream& out, char separator) {
    RequireValues(map, "TMapTools::WriteFlatFile");
    TNumberWriter::WriteRows(out, map->MbrVecValues, static_cast<std::size_t>(map->MbrLngYDim),
                             static_cast<std::size_t>(map->MbrLngXDim), separator,
                             TNumberWriter::TRule::Stream);
}

void TMapTools::WriteCSVFile(const TMap* map, std::ostream& out) {
    RequireValues(map, "TMapTools::WriteCSVFile");
    if (map->MbrLngXDim == 0 || map->MbrLngYDim == 0) {
        return;
    }
    if (map->MbrPtrXAxis == nullptr || map->MbrPtrYAxis == nullptr) {
        throw TGridError("Map has no axes in TMapTools::WriteCSVFile");
    }
    const TAxis& xAxis = *map->MbrPtrXAxis;
    const TAxis& yAxis = *map->MbrPtrYAxis;
    if (xAxis.GetSize() < map->MbrLngXDim || yAxis.GetSize() < map->MbrLngYDim) {
        throw TGridError("Map values do not match its dimensions in TMapTools::WriteCSVFile");
    }
    // Column by column, each column from row 0.
    for (std::int32_t x = 0; x < map->MbrLngXDim; ++x) {
        const double centreX = xAxis.PointAt(x, "TMapTools::WriteCSVFile").MbrDblX;
        for (std::int32_t y = 0; y < map->MbrLngYDim; ++y) {
            const double centreY = yAxis.PointAt(y, "TMapTools::WriteCSVFile").MbrDblY;
            out << centreX << ',' << centreY << ','
                << map->MbrVecValues[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]
                << std::endl;
        }
    }
}
