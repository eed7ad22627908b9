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
// For TMapTools::Extract in LoadARCGISWindow only, which leaves this file for the
// command; with it goes this include (tests/check_layers.sh allows it until then).
#include <gridsnip/tools/TMapTools.h>
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

// The northern edge: the Y edges' point 0, formed from the south upward.
double NorthernEdge(const THeader& header) {
    double north = header.MbrDblYCorner;
    TEdgeRule::Form(header.MbrDblYCorner, header.MbrDblCellSize, header.MbrLngRows,
                    [&](std::int32_t, double y) { north = y; });
    return north;
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

// The segments that the axis lookup picks for two ordinates on an edge axis of
// `segments` + 1 points formed by successive addition from `start` (reversed:
// the points come out from the last index to the first, as Y edges do), -1 for
// an ordinate outside the axis. The lookup runs as the points are formed, so
// nothing is stored.
void LookUpOnBuiltAxis(double start, double step, std::int32_t segments, bool reversed,
                       const double (&ordinates)[2], std::int32_t (&found)[2]) {
    TEdgeRule::TLookup lookups[2] = {TEdgeRule::TLookup(ordinates[0]),
                                     TEdgeRule::TLookup(ordinates[1])};
    double previous = start;
    TEdgeRule::Form(start, step, segments, [&](std::int32_t k, double edge) {
        if (k > 0) {
            const std::int32_t index = reversed ? segments - k : k - 1;
            lookups[0].Offer(index, previous, edge);
            lookups[1].Offer(index, previous, edge);
        }
        previous = edge;
    });
    for (int k = 0; k < 2; ++k) {
        found[k] = lookups[k].Result(start, previous);
    }
}

// Centre points of the cells first .. last of an axis whose edges are formed
// from `start` by successive addition (edge k after k additions, or, reversed,
// edge k after segments - k additions), exactly as the whole axis would give
// them. `makePoint` places one edge coordinate.
template <typename MakePoint>
std::unique_ptr<TAxis> WindowCentres(double start, double step, std::int32_t segments,
                                     bool reversed, std::int32_t first, std::int32_t last,
                                     MakePoint makePoint) {
    TAxis edges(step);
    edges.Reserve(last - first + 2);
    std::vector<double> coordinates;
    coordinates.reserve(static_cast<std::size_t>(last - first) + 2);
    TEdgeRule::Form(start, step, segments, [&](std::int32_t k, double v) {
        const std::int32_t index = reversed ? segments - k : k;
        if (index >= first && index <= last + 1) {
            coordinates.push_back(v);
        }
    });
    if (reversed) {
        std::reverse(coordinates.begin(), coordinates.end());
    }
    for (double c : coordinates) {
        std::unique_ptr<TPoint> point(makePoint(c));
        edges.AddPoint(point.get());
        point.release();
    }
    return std::unique_ptr<TAxis>(TAxisTools::IntervalsToPoints(&edges, ' '));
}

}  // namespace

TMap* TARCGISFileTools::LoadARCGISFile(std::istream& in) {
    TARCGISScanner scanner(in);
    const THeader header = scanner.ReadHeader();
    return LoadWhole(header, scanner);
}

TMap* TARCGISFileTools::LoadARCGISWindow(std::istream& in, const TPoint* corner1,
                                         const TPoint* corner2) {
    TARCGISScanner scanner(in);
    const THeader header = scanner.ReadHeader();
    // Past this size the lookups below would cost more than reading the grid;
    // such grids, and missing corners, take the plain path with its messages.
    constexpr std::int32_t kLargestStreamed = 1 << 24;
    if (corner1 == nullptr || corner2 == nullptr || header.MbrLngColumns > kLargestStreamed ||
        header.MbrLngRows > kLargestStreamed) {
        const std::unique_ptr<TMap> whole(LoadWhole(header, scanner));
        return TMapTools::Extract(whole.get(), corner1, corner2);
    }

    const double cell = header.MbrDblCellSize;
    std::int32_t columns[2];
    std::int32_t rows[2];
    LookUpOnBuiltAxis(header.MbrDblXCorner, cell, header.MbrLngColumns, false,
                      {corner1->MbrDblX, corner2->MbrDblX}, columns);
    LookUpOnBuiltAxis(header.MbrDblYCorner, cell, header.MbrLngRows, true,
                      {corner1->MbrDblY, corner2->MbrDblY}, rows);
    const bool inside = columns[0] >= 0 && columns[1] >= 0 && rows[0] >= 0 && rows[1] >= 0;
    const std::int32_t west = std::min(columns[0], columns[1]);
    const std::int32_t east = std::max(columns[0], columns[1]);
    const std::int32_t north = std::min(rows[0], rows[1]);
    const std::int32_t south = std::max(rows[0], rows[1]);

    // The window as Extract builds it, its rows added as the body arrives.
    std::unique_ptr<TMap> window;
    if (inside) {
        const double northernEdge = NorthernEdge(header);
        const std::unique_ptr<TAxis> xCentres =
            WindowCentres(header.MbrDblXCorner, cell, header.MbrLngColumns, false, west, east,
                          [&](double x) { return new TPoint(x, northernEdge); });
        const std::unique_ptr<TAxis> yCentres =
            WindowCentres(header.MbrDblYCorner, cell, header.MbrLngRows, true, north, south,
                          [&](double y) { return new TPoint(header.MbrDblXCorner, y); });
        window = std::make_unique<TMap>(cell);
        window->MbrLngXDim = east - west + 1;
        window->MbrLngYDim = south - north + 1;
        window->SetXAxis(xCentres.get());
        window->SetYAxis(yCentres.get());
        window->MbrDblNoData = header.MbrDblNoData;
    }

    // One pass over the body: every value checked, only the window's converted.
    const auto width = static_cast<std::size_t>(east - west + 1);
    auto reserve = std::min(width, static_cast<std::size_t>(kFirstRowReserve));
    const std::int32_t columnCount = header.MbrLngColumns;
    std::int64_t cellNumber = 0;  // of the next body value, row-major from 0
    for (std::int32_t y = 0; y < header.MbrLngRows; ++y) {
        if (!inside || y < north || y > south) {
            // Rows outside the window: checked in one run up to the next window row.
            const std::int32_t upTo = (inside && y < north) ? north : header.MbrLngRows;
            scanner.SkipValues(std::int64_t{upTo - y} * columnCount, cellNumber, columnCount);
            cellNumber += std::int64_t{upTo - y} * columnCount;
            y = upTo - 1;
            continue;
        }
        scanner.SkipValues(west, cellNumber, columnCount);
        window->MbrVecValues.push_back(ReadRow(scanner, columnCount, y, west, east + 1, reserve));
        scanner.SkipValues(columnCount - 1 - east, cellNumber + east + 1, columnCount);
        cellNumber += columnCount;
        reserve = width;
    }
    // The whole input is read before a corner outside the grid is reported.
    if (!inside) {
        throw TGridError("Ordinate is out of range in TAxis::GetIndex");
    }
    return window.release();
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
