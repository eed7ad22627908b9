// TARCGISScanner: reads the header and the value tokens of an ArcGIS ASCII grid.
#include "files/TARCGISScanner.h"

#include <cmath>
#include <iomanip>
#include <limits>

#include <gridsnip/grid/TGridError.h>
#include "files/TTokenScan.h"
#include "numbers/TNumberText.h"

namespace {

const char* const kWhere = " in TARCGISFileTools::LoadARCGISFile";

// Reaches the get area of any stream buffer. Naming the protected members
// through a derived class yields pointers to members of std::streambuf itself,
// which may be applied to any buffer object.
struct TGetArea : std::streambuf {
    static char* Next(std::streambuf* buf) { return (buf->*(&TGetArea::gptr))(); }
    static char* End(std::streambuf* buf) { return (buf->*(&TGetArea::egptr))(); }
    // gbump takes an int: a get area larger than 2 GiB is passed in pieces.
    static void Bump(std::streambuf* buf, std::ptrdiff_t n) {
        constexpr std::ptrdiff_t kLargest = std::numeric_limits<int>::max();
        for (; n > kLargest; n -= kLargest) {
            (buf->*(&TGetArea::gbump))(static_cast<int>(kLargest));
        }
        (buf->*(&TGetArea::gbump))(static_cast<int>(n));
    }
};

[[noreturn]] void FormatError(const std::string& what) {
    throw TGridError("File format error: " + what + kWhere);
}

// A tag word is taken at most this long: the longest tag, "NODATA_value", has
// 12 characters, so a longer word is no tag whatever follows, and 13 of its
// characters show that. Input without white space (/dev/zero) then fails at
// once instead of being gathered whole.
constexpr int kTagRoom = 13;

// One tag word and its number, extracted in that order, then the tag compared.
template <typename Number>
void ReadItem(std::istream& in, const char* tag, const char* message, Number& value) {
    std::string word;
    in >> std::setw(kTagRoom) >> word >> value;
    if (word != tag) {
        throw TGridError(message);
    }
}

}  // namespace

TARCGISScanner::TARCGISScanner(std::istream& in) : MbrIn(in), MbrBuf(in.rdbuf()) {}

TARCGISScanner::~TARCGISScanner() {
    Commit();
}

void TARCGISScanner::Commit() {
    if (MbrPtrCursor == &MbrChar + 1) {
        MbrBuf->sbumpc();  // the peeked character of an unbuffered stream was taken
    } else if (MbrPtrCursor != nullptr && MbrPtrCursor != &MbrChar) {
        TGetArea::Bump(MbrBuf, MbrPtrCursor - TGetArea::Next(MbrBuf));
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
        while (MbrPtrCursor != MbrPtrEnd && TTokenScan::IsSpace(*MbrPtrCursor)) {
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
    while (MbrPtrCursor != MbrPtrEnd && !TTokenScan::IsSpace(*MbrPtrCursor)) {
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
        while (MbrPtrCursor != MbrPtrEnd && !TTokenScan::IsSpace(*MbrPtrCursor)) {
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
    MbrIn >> std::setw(kTagRoom) >> word;
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

template <typename Within, typename One>
void TARCGISScanner::ScanBlocks(std::int64_t& count, Within within, One one) {
    while (count > 0) {
        if (MbrPtrCursor == MbrPtrEnd && !Refill()) {
            EndOfFile();
        }
        // Every token that starts before the block's last white space ends at or
        // before it: the loops over [cursor, safe) need no bounds test there.
        const char* safe = MbrPtrEnd;
        while (safe != MbrPtrCursor && !TTokenScan::IsSpace(safe[-1])) {
            --safe;
        }
        MbrPtrCursor = within(MbrPtrCursor, safe);
        // What is left of the block is the start of a token that goes on in the
        // next one, or white space: the next token one at a time.
        if (count > 0 && MbrPtrCursor != MbrPtrEnd) {
            const char* first;
            const char* last;
            if (!NextToken(first, last)) {
                EndOfFile();
            }
            one(first, last);
        }
    }
}

void TARCGISScanner::ReadValues(double* values, std::int64_t count, std::int64_t cell,
                                std::int32_t columns) {
    const auto one = [&](const char* first, const char* last) {
        if (!TNumberText::ParsePlainNumber(first, last, *values) &&
            !TNumberText::ParseDouble(first, last, *values)) {
            ValueError(first, last, cell, columns);
        }
        ++values;
        --count;
        ++cell;
    };
    ScanBlocks(
        count,
        [&](const char* p, const char* safe) {
            // `one` lowers count itself; `left` is the kernel's own tally.
            std::int64_t left = count;
            return TTokenScan::Tokens(p, safe, left, one);
        },
        one);
}

void TARCGISScanner::SkipValues(std::int64_t count, std::int64_t cell, std::int32_t columns) {
    const auto one = [&](const char* first, const char* last) {
        double ignored;
        if (!TNumberText::ParseDouble(first, last, ignored)) {
            ValueError(first, last, cell, columns);
        }
        --count;
        ++cell;
    };
    ScanBlocks(
        count,
        [&](const char* p, const char* safe) {
            for (;;) {
                const std::int64_t before = count;
                p = TTokenScan::SkipPlain(p, safe, count);
                cell += before - count;
                if (count == 0 || p == safe) {
                    return p;
                }
                // A token that is not a plain number: the full rule.
                const char* first = p;
                while (!TTokenScan::IsSpace(*p)) {
                    ++p;
                }
                one(first, p);
            }
        },
        one);
}

void TARCGISScanner::EndOfFile() {
    throw TGridError("Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");
}

void TARCGISScanner::ValueError(const char* first, const char* last, std::int64_t cell,
                                std::int32_t columns) {
    const std::int64_t column = cell % columns;
    const std::int64_t row = cell / columns;
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
