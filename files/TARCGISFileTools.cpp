// TARCGISFileTools: reads and writes grids as ArcGIS ASCII grid text.
#include "files/TARCGISFileTools.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iomanip>
#include <memory>
#include <streambuf>
#include <vector>

#include "files/TNumberText.h"
#include "grid/TGridError.h"
#include "tools/TMapTools.h"

namespace {

const char* const kWhere = " in TARCGISFileTools::LoadARCGISFile";

// Reads white-space-delimited tokens straight from a stream buffer. Peeking
// with sgetc and advancing with snextc keeps the stream positioned just after
// the last character of the last token taken, as stream extraction would.
class TokenScanner {
  public:
    explicit TokenScanner(std::istream& in) : MbrIn(in), MbrBuf(in.rdbuf()) {}

    // The next token in `token`; false at the end of the input.
    bool Next(std::string& token) {
        token.clear();
        if (MbrBuf == nullptr) {
            return false;
        }
        int c = MbrBuf->sgetc();
        while (c != EOF && IsSpace(c)) {
            c = MbrBuf->snextc();
        }
        while (c != EOF && !IsSpace(c)) {
            token.push_back(static_cast<char>(c));
            c = MbrBuf->snextc();
        }
        if (c == EOF) {
            MbrIn.setstate(std::ios_base::eofbit);
        }
        return !token.empty();
    }

  private:
    // The classic locale's white space: blank, tab, LF, VT, FF, CR.
    static bool IsSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    std::istream& MbrIn;
    std::streambuf* MbrBuf;
};

[[noreturn]] void FormatError(const std::string& what) {
    throw TGridError("File format error: " + what + kWhere);
}

[[noreturn]] void EndOfFile() {
    throw TGridError("Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");
}

// The token as it may be shown in a message: at most 32 bytes, anything outside
// printable ASCII replaced by '?'.
std::string Printable(const std::string& token) {
    std::string shown = token.substr(0, 32);
    for (char& c : shown) {
        if (c < 0x20 || c > 0x7e) {
            c = '?';
        }
    }
    return shown;
}

struct Header {
    std::int32_t MbrLngColumns = 0;
    std::int32_t MbrLngRows = 0;
    double MbrDblXCorner = 0.0;
    double MbrDblYCorner = 0.0;
    double MbrDblCellSize = 0.0;
    double MbrDblNoData = 0.0;
};

// One tag word and its number, extracted in that order, then the tag compared.
template <typename Number>
void ReadItem(std::istream& in, const char* tag, const char* message, Number& value) {
    std::string word;
    in >> word >> value;
    if (word != tag) {
        throw TGridError(message);
    }
}

Header ReadHeader(std::istream& in, TokenScanner& scanner) {
    Header header;
    ReadItem(in, "ncols", "File format error: expected to find ncols tag", header.MbrLngColumns);
    ReadItem(in, "nrows", "File format error: expectd to find nrows tag", header.MbrLngRows);
    ReadItem(in, "xllcorner", "File format error: expected to find xllcorner tag",
             header.MbrDblXCorner);
    ReadItem(in, "yllcorner", "File format error: expected to find yllcorner tag",
             header.MbrDblYCorner);
    ReadItem(in, "cellsize", "File format error: expected to find cellsize tag",
             header.MbrDblCellSize);
    std::string word;
    in >> word;
    if (word != "NODATA_value" && word != "nodata_value") {
        throw TGridError("File format error: expected to find NODATA_value tag");
    }
    std::string token;
    if (!scanner.Next(token)) {
        EndOfFile();
    }
    if (!TNumberText::ParseDouble(token.data(), token.data() + token.size(), header.MbrDblNoData)) {
        FormatError("NODATA_value is not a number");
    }
    // An edge axis has one point more than its dimension, and axis sizes are
    // 32-bit, so the largest dimension is one below the 32-bit maximum.
    constexpr std::int32_t kMaxDim = std::numeric_limits<std::int32_t>::max() - 1;
    if (header.MbrLngColumns < 1 || header.MbrLngColumns > kMaxDim) {
        FormatError("ncols must be a positive integer");
    }
    if (header.MbrLngRows < 1 || header.MbrLngRows > kMaxDim) {
        FormatError("nrows must be a positive integer");
    }
    if (!(header.MbrDblCellSize > 0.0) || !std::isfinite(header.MbrDblCellSize)) {
        FormatError("cellsize must be a positive number");
    }
    return header;
}

// Reads the body row by row. Rows grow as their values arrive, so a header that
// claims far more cells than the input holds fails at the end of the input
// without having reserved the claimed size first.
std::vector<std::vector<double>> ReadBody(const Header& header, TokenScanner& scanner) {
    constexpr std::int32_t kFirstRowReserve = 1 << 16;
    std::vector<std::vector<double>> rows;
    std::string token;
    // Until one full row has arrived, ncols is only a claim.
    std::size_t reserve =
        static_cast<std::size_t>(std::min(header.MbrLngColumns, kFirstRowReserve));
    for (std::int32_t y = 0; y < header.MbrLngRows; ++y) {
        std::vector<double> row;
        row.reserve(reserve);
        for (std::int32_t x = 0; x < header.MbrLngColumns; ++x) {
            if (!scanner.Next(token)) {
                EndOfFile();
            }
            double value;
            if (!TNumberText::ParseDouble(token.data(), token.data() + token.size(), value)) {
                FormatError("value '" + Printable(token) + "' at column " + std::to_string(x) +
                            ", row " + std::to_string(y) + " is not a number");
            }
            row.push_back(value);
        }
        rows.push_back(std::move(row));
        reserve = static_cast<std::size_t>(header.MbrLngColumns);
    }
    return rows;
}

// The edge axes, as the header places them: Y edges from the southern edge
// (last point) northward, X edges from the western edge eastward, both by
// successive addition of the cell size. X edges carry the northern edge as Y.
std::unique_ptr<TAxis> MakeYEdges(const Header& header) {
    auto edges = std::make_unique<TAxis>(header.MbrDblCellSize, header.MbrLngRows + 1);
    double y = header.MbrDblYCorner;
    for (std::int32_t i = header.MbrLngRows; i >= 0; --i) {
        edges->SetPoint(i, new TPoint(header.MbrDblXCorner, y));
        y += header.MbrDblCellSize;
    }
    return edges;
}

std::unique_ptr<TAxis> MakeXEdges(const Header& header, double northernEdge) {
    auto edges = std::make_unique<TAxis>(header.MbrDblCellSize, header.MbrLngColumns + 1);
    double x = header.MbrDblXCorner;
    for (std::int32_t i = 0; i <= header.MbrLngColumns; ++i) {
        edges->SetPoint(i, new TPoint(x, northernEdge));
        x += header.MbrDblCellSize;
    }
    return edges;
}

}  // namespace

TMap* TARCGISFileTools::LoadARCGISFile(std::istream& in) {
    TokenScanner scanner(in);
    const Header header = ReadHeader(in, scanner);
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

void TARCGISFileTools::WriteARCGISFile(const TMap* map, std::ostream& out) {
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
    out << "xllcorner " << std::setw(8) << west << std::endl;
    out << "yllcorner " << std::setw(8) << south << std::endl;
    out << "cellsize " << map->MbrDblResolution << std::endl;
    out << "NODATA_value " << map->MbrDblNoData << std::endl;
    TMapTools::WriteFlatFile(map, out, ' ');
}

void TARCGISFileTools::WriteARCGISFile(const TMap* map, std::string fileName) {
    std::ofstream file(fileName, std::ios_base::out | std::ios_base::trunc);
    if (!file.is_open()) {
        throw TGridError("Unable to open file " + fileName);
    }
    WriteARCGISFile(map, file);
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
