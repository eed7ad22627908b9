// TARCGISScanner: reads the header and the value tokens of an ArcGIS ASCII grid.
#include "files/TARCGISScanner.h"

#include <cmath>
#include <limits>

#include "files/TNumberText.h"
#include "grid/TGridError.h"

namespace {

const char* const kWhere = " in TARCGISFileTools::LoadARCGISFile";

// Reaches the get area of any stream buffer. Naming the protected members
// through a derived class yields pointers to members of std::streambuf itself,
// which may be applied to any buffer object.
struct TGetArea : std::streambuf {
    static char* Next(std::streambuf* buf) { return (buf->*(&TGetArea::gptr))(); }
    static char* End(std::streambuf* buf) { return (buf->*(&TGetArea::egptr))(); }
    static void Bump(std::streambuf* buf, int n) { (buf->*(&TGetArea::gbump))(n); }
};

// Character classes of the token scan.
enum : unsigned char { kSpace = 1, kDigit = 2, kPoint = 4, kMinus = 8, kOther = 16 };

struct TClassTable {
    unsigned char MbrClass[256] = {};
    constexpr TClassTable() {
        for (unsigned char& c : MbrClass)
            c = kOther;
        // The classic locale's white space: blank, tab, LF, VT, FF, CR.
        for (int c : {' ', '\t', '\n', '\v', '\f', '\r'})
            MbrClass[c] = kSpace;
        for (int c = '0'; c <= '9'; ++c)
            MbrClass[c] = kDigit;
        MbrClass[static_cast<int>('.')] = kPoint;
        MbrClass[static_cast<int>('-')] = kMinus;
    }
};
constexpr TClassTable kClasses;

inline unsigned char ClassOf(char c) {
    return kClasses.MbrClass[static_cast<unsigned char>(c)];
}

[[noreturn]] void FormatError(const std::string& what) {
    throw TGridError("File format error: " + what + kWhere);
}

[[noreturn]] void EndOfFile() {
    throw TGridError("Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");
}

// One tag word and its number, extracted in that order, then the tag compared.
template <typename Number>
void ReadItem(std::istream& in, const char* tag, const char* message, Number& value) {
    std::string word;
    in >> word >> value;
    if (word != tag) {
        throw TGridError(message);
    }
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

TARCGISScanner::TARCGISScanner(std::istream& in) : MbrIn(in), MbrBuf(in.rdbuf()) {}

TARCGISScanner::~TARCGISScanner() {
    Commit();
}

void TARCGISScanner::Commit() {
    if (MbrPtrCursor == &MbrChar + 1) {
        MbrBuf->sbumpc();  // the peeked character of an unbuffered stream was taken
    } else if (MbrPtrCursor != nullptr && MbrPtrCursor != &MbrChar) {
        TGetArea::Bump(MbrBuf, static_cast<int>(MbrPtrCursor - TGetArea::Next(MbrBuf)));
    }
    MbrPtrCursor = MbrPtrEnd = nullptr;
}

bool TARCGISScanner::Refill() {
    Commit();
    const int c = MbrBuf == nullptr ? std::char_traits<char>::eof() : MbrBuf->sgetc();
    if (c == std::char_traits<char>::eof()) {
        MbrIn.setstate(std::ios_base::eofbit);
        return false;
    }
    MbrPtrCursor = TGetArea::Next(MbrBuf);
    MbrPtrEnd = TGetArea::End(MbrBuf);
    if (MbrPtrCursor == MbrPtrEnd) {
        // A buffer without a get area: one peeked character at a time.
        MbrChar = static_cast<char>(c);
        MbrPtrCursor = &MbrChar;
        MbrPtrEnd = &MbrChar + 1;
    }
    return true;
}

bool TARCGISScanner::NextToken(const char*& first, const char*& last) {
    // White space, across as many blocks as it takes.
    for (;;) {
        while (MbrPtrCursor != MbrPtrEnd && ClassOf(*MbrPtrCursor) == kSpace) {
            ++MbrPtrCursor;
        }
        if (MbrPtrCursor != MbrPtrEnd) {
            break;
        }
        if (!Refill()) {
            return false;
        }
    }
    const char* start = MbrPtrCursor;
    while (MbrPtrCursor != MbrPtrEnd && ClassOf(*MbrPtrCursor) != kSpace) {
        ++MbrPtrCursor;
    }
    if (MbrPtrCursor != MbrPtrEnd) {
        first = start;
        last = MbrPtrCursor;
        return true;
    }
    // The block ended inside the token: gather it in the spill buffer.
    MbrStrSpill.assign(start, MbrPtrCursor);
    while (Refill()) {
        start = MbrPtrCursor;
        while (MbrPtrCursor != MbrPtrEnd && ClassOf(*MbrPtrCursor) != kSpace) {
            ++MbrPtrCursor;
        }
        MbrStrSpill.append(start, MbrPtrCursor);
        if (MbrPtrCursor != MbrPtrEnd) {
            break;
        }
    }
    first = MbrStrSpill.data();
    last = first + MbrStrSpill.size();
    return true;
}

TARCGISScanner::THeader TARCGISScanner::ReadHeader() {
    THeader header;
    ReadItem(MbrIn, "ncols", "File format error: expected to find ncols tag", header.MbrLngColumns);
    ReadItem(MbrIn, "nrows", "File format error: expectd to find nrows tag", header.MbrLngRows);
    ReadItem(MbrIn, "xllcorner", "File format error: expected to find xllcorner tag",
             header.MbrDblXCorner);
    ReadItem(MbrIn, "yllcorner", "File format error: expected to find yllcorner tag",
             header.MbrDblYCorner);
    ReadItem(MbrIn, "cellsize", "File format error: expected to find cellsize tag",
             header.MbrDblCellSize);
    std::string word;
    MbrIn >> word;
    if (word != "NODATA_value" && word != "nodata_value") {
        throw TGridError("File format error: expected to find NODATA_value tag");
    }
    const char* first;
    const char* last;
    if (!NextToken(first, last)) {
        EndOfFile();
    }
    if (!TNumberText::ParseDouble(first, last, header.MbrDblNoData)) {
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

double TARCGISScanner::ReadValue(std::int32_t column, std::int32_t row) {
    const char* first;
    const char* last;
    if (!NextToken(first, last)) {
        EndOfFile();
    }
    double value;
    if (!ParsePlainNumber(first, last, value) && !TNumberText::ParseDouble(first, last, value)) {
        ValueError(first, last, column, row);
    }
    return value;
}

void TARCGISScanner::SkipValue(std::int32_t column, std::int32_t row) {
    const char* first;
    const char* last;
    if (!NextToken(first, last)) {
        EndOfFile();
    }
    double ignored;
    if (!IsPlainNumber(first, last) && !TNumberText::ParseDouble(first, last, ignored)) {
        ValueError(first, last, column, row);
    }
}

void TARCGISScanner::ValueError(const char* first, const char* last, std::int32_t column,
                                std::int32_t row) {
    // At most 32 bytes of the token, anything outside printable ASCII as '?'.
    std::string shown(first, last - first > 32 ? first + 32 : last);
    for (char& c : shown) {
        if (c < 0x20 || c > 0x7e) {
            c = '?';
        }
    }
    FormatError("value '" + shown + "' at column " + std::to_string(column) + ", row " +
                std::to_string(row) + " is not a number");
}

bool TARCGISScanner::IsPlainNumber(const char* first, const char* last) {
    if (last - first > 300 || first == last) {
        return false;
    }
    const char* p = first + (*first == '-' ? 1 : 0);
    unsigned char seen = 0;
    int points = 0;
    for (; p != last; ++p) {
        const unsigned char c = ClassOf(*p);
        seen |= c;
        points += c == kPoint;
    }
    // Up to 300 digits either side of the point stay within the finite, normal
    // range of doubles, so such a token is always a number.
    return (seen & ~(kDigit | kPoint)) == 0 && (seen & kDigit) != 0 && points <= 1;
}

bool TARCGISScanner::ParsePlainNumber(const char* first, const char* last, double& value) {
    if (first == last) {
        return false;
    }
    const bool negative = *first == '-';
    const char* p = first + (negative ? 1 : 0);
    std::uint64_t digits = 0;
    int decimals = -1;  // digits after the point; -1 before it
    bool any = false;
    for (; p != last; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + static_cast<unsigned>(c - '0');
            // Past 2^53 the digits are no longer an exact double.
            if (digits > (std::uint64_t{1} << 53)) {
                return false;
            }
            any = true;
            decimals += decimals >= 0 ? 1 : 0;
        } else if (c == '.' && decimals < 0) {
            decimals = 0;
        } else {
            return false;
        }
    }
    if (!any || decimals > 22) {
        return false;
    }
    // Both operands are exact doubles, and IEEE division rounds correctly: the
    // quotient is the double nearest to the decimal, as from_chars gives it.
    const double magnitude =
        static_cast<double>(digits) / kPowersOfTen[decimals < 0 ? 0 : decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}
