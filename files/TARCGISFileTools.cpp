// TARCGISFileTools: reads and writes grids as ArcGIS ASCII grid text.
#include <gridsnip/files/TARCGISFileTools.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iomanip>
#include <limits>
#include <memory>
#include <streambuf>
#include <vector>

#include <gridsnip/grid/TAxisTools.h>
#include <gridsnip/grid/TGridError.h>
#include "files/TARCGISScanner.h"
#include "grid/TEdgeRule.h"
#include "numbers/TNumberWriter.h"

namespace {

using THeader = TARCGISScanner::THeader;

// Until one full row has arrived, ncols is only a claim: rows start this small.
constexpr std::int32_t kFirstRowReserve = 1 << 16;

// Reads the values of columns first .. end - 1 of one row of the body, in
// pieces, so that a row grows as its values arrive and never from a claim alone.
std::vector<double> ReadRow(TARCGISScanner& scanner, std::int32_t columns, std::int32_t y,
                            std::int32_t first, std::int32_t end, std::size_t reserve) {
    std::vector<double> row;
    row.reserve(reserve);
    const std::int64_t base = std::int64_t{y} * columns;
    for (std::int32_t x = first; x < end;) {
        const std::int32_t piece = std::min(end - x, kFirstRowReserve);
        const std::size_t filled = row.size();
        row.resize(filled + static_cast<std::size_t>(piece));
        scanner.ReadValues(row.data() + filled, piece, base + x, columns);
        x += piece;
    }
    return row;
}

// Reads the body row by row. Rows grow as their values arrive, so a header that
// claims far more cells than the input holds fails at the end of the input
// without having reserved the claimed size first.
std::vector<std::vector<double>> ReadBody(const THeader& header, TARCGISScanner& scanner) {
    std::vector<std::vector<double>> rows;
    auto reserve = static_cast<std::size_t>(std::min(header.MbrLngColumns, kFirstRowReserve));
    for (std::int32_t y = 0; y < header.MbrLngRows; ++y) {
        rows.push_back(ReadRow(scanner, header.MbrLngColumns, y, 0, header.MbrLngColumns, reserve));
        reserve = static_cast<std::size_t>(header.MbrLngColumns);
    }
    return rows;
}

// The edge axes, as the header places them: Y edges from the southern edge
// (last point) northward, X edges from the western edge eastward, both by
// successive addition of the cell size. X edges carry the northern edge as Y.
std::unique_ptr<TAxis> MakeYEdges(const THeader& header) {
    auto edges = std::make_unique<TAxis>(header.MbrDblCellSize, header.MbrLngRows + 1);
    TEdgeRule::Form(header.MbrDblYCorner, header.MbrDblCellSize, header.MbrLngRows,
                    [&](std::int32_t k, double y) {
                        edges->SetPoint(header.MbrLngRows - k, new TPoint(header.MbrDblXCorner, y));
                    });
    return edges;
}

std::unique_ptr<TAxis> MakeXEdges(const THeader& header, double northernEdge) {
    auto edges = std::make_unique<TAxis>(header.MbrDblCellSize, header.MbrLngColumns + 1);
    TEdgeRule::Form(
        header.MbrDblXCorner, header.MbrDblCellSize, header.MbrLngColumns,
        [&](std::int32_t k, double x) { edges->SetPoint(k, new TPoint(x, northernEdge)); });
    return edges;
}

TMap* LoadWhole(const THeader& header, TARCGISScanner& scanner) {
    auto map = std::make_unique<TMap>(header.MbrDblCellSize);
    map->MbrVecValues = ReadBody(header, scanner);
    map->MbrLngXDim = header.MbrLngColumns;
    map->MbrLngYDim = header.MbrLngRows;
    map->MbrDblNoData = header.MbrDblNoData;
    const std::unique_ptr<TAxis> yEdges = MakeYEdges(header);
    const std::unique_ptr<TAxis> xEdges = MakeXEdges(header, yEdges->GetPoint(0)->MbrDblY);
    map->SetXAxisInterval(xEdges.get());
    map->SetYAxisInterval(yEdges.get());
    return map.release();
}

}  // namespace

TMap* TARCGISFileTools::LoadARCGISFile(std::istream& in) {
    TARCGISScanner scanner(in);
    const THeader header = scanner.ReadHeader();
    return LoadWhole(header, scanner);
}

TMap* TARCGISFileTools::LoadARCGISFile(std::string fileName) {
    // A large buffer makes the token scan cheap; it must outlive the stream.
    std::vector<char> buffer(std::size_t{1} << 20);
    std::ifstream file;
    file.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    file.open(fileName);
    if (!file.is_open()) {
        throw TGridError("Unable to open file " + fileName);
    }
    return LoadARCGISFile(file);
}

namespace {

// The writer of both forms: the stream form writes numbers at the stream's
// settings, the file-name form by the exact rule.
void WriteGrid(const TMap* map, std::ostream& out, TNumberWriter::TRule rule) {
    static const char* const kWriteWhere = "TARCGISFileTools::WriteARCGISFile";
    if (map == nullptr) {
        throw TGridError("Map is not set in TARCGISFileTools::WriteARCGISFile");
    }
    const TAxis* xEdges = map->MbrPtrXAxisInterval;
    const TAxis* yEdges = map->MbrPtrYAxisInterval;
    if (xEdges == nullptr || yEdges == nullptr) {
        throw TGridError("Map has no axes in TARCGISFileTools::WriteARCGISFile");
    }
    // Everything read below is checked before the first byte goes out.
    if (!map->ValuesMatchDimensions()) {
        throw TGridError(
            "Map values do not match its dimensions in TARCGISFileTools::WriteARCGISFile");
    }
    xEdges->GetPoint(0);
    yEdges->GetPoint(0);
    yEdges->GetPoint(map->MbrLngYDim);
    const double west = xEdges->PointAt(0, kWriteWhere).MbrDblX;
    const double north = yEdges->PointAt(0, kWriteWhere).MbrDblY;
    const double last = yEdges->PointAt(map->MbrLngYDim, kWriteWhere).MbrDblY;
    // The southern edge is the lower end, whichever way the axis runs.
    const double south = north < last ? north : last;

    out << "ncols " << map->MbrLngXDim << std::endl;
    out << "nrows " << map->MbrLngYDim << std::endl;
    out << "xllcorner ";
    TNumberWriter::WriteValue(out, west, 8, rule);
    out << std::endl;
    out << "yllcorner ";
    TNumberWriter::WriteValue(out, south, 8, rule);
    out << std::endl;
    out << "cellsize ";
    TNumberWriter::WriteValue(out, map->MbrDblResolution, 0, rule);
    out << std::endl;
    out << "NODATA_value ";
    TNumberWriter::WriteValue(out, map->MbrDblNoData, 0, rule);
    out << std::endl;
    TNumberWriter::WriteRows(out, map->MbrVecValues, static_cast<std::size_t>(map->MbrLngYDim),
                             static_cast<std::size_t>(map->MbrLngXDim), ' ', rule);
}

}  // namespace

void TARCGISFileTools::WriteARCGISFile(const TMap* map, std::ostream& out) {
    WriteGrid(map, out, TNumberWriter::TRule::Stream);
}

void TARCGISFileTools::WriteARCGISFile(const TMap* map, std::string fileName) {
    std::ofstream file(fileName, std::ios_base::out | std::ios_base::trunc);
    if (!file.is_open()) {
        throw TGridError("Unable to open file " + fileName);
    }
    // A fresh file stream would write six significant digits, and the caller
    // has no stream to set: write every number so that it reads back the same.
    WriteGrid(map, file, TNumberWriter::TRule::Exact);
    file.close();
    if (!file) {
        throw TGridError("Unable to write file " + fileName);
    }
}

std::vector<TMap*> TARCGISFileTools::LoadFileList(std::vector<std::string> fileNames) {
    std::vector<std::unique_ptr<TMap>> loaded;
    loaded.reserve(fileNames.size());
    for (std::string& name : fileNames) {
        loaded.emplace_back(LoadARCGISFile(std::move(name)));
    }
    std::vector<TMap*> maps;
    maps.reserve(loaded.size());
    for (std::unique_ptr<TMap>& map : loaded) {
        maps.push_back(map.release());
    }
    return maps;
}

void TARCGISFileTools::WriteFileList(std::vector<TMap*> maps, std::vector<std::string> fileNames) {
    if (maps.size() != fileNames.size()) {
        throw TGridError(
            "Size of map list and filename list do not match in TARCGISFileTools::WriteFileList");
    }
    for (std::size_t i = 0; i < maps.size(); ++i) {
        WriteARCGISFile(maps[i], std::move(fileNames[i]));
    }
}
