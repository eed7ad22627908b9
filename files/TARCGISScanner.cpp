// TARCGISScanner: reads the header and the value tokens of an ArcGIS ASCII grid.
#include "files/TARCGISScanner.h"

#include <bit>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <limits>

#include <gridsnip/grid/TGridError.h>
#include "numbers/TNumberText.h"

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

#if defined(__SSE2__)
// The classes of 64 bytes as bit masks, bit i for byte i.
struct TChunkMasks {
    std::uint64_t MbrSpace, MbrDigit, MbrPoint, MbrMinus, MbrOther;
};

inline std::uint64_t Bits(__m128i a, __m128i b, __m128i c, __m128i d) {
    return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(a))) |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(b))) << 16 |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(c))) << 32 |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(d))) << 48;
}

inline TChunkMasks MasksOf(const char* p) {
    __m128i space[4], digit[4], point[4], minus[4];
    for (int k = 0; k < 4; ++k) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        // Tab .. CR are 9 .. 13: b - 9 is at most 4, unsigned.
        const __m128i control = _mm_sub_epi8(b, _mm_set1_epi8(9));
        space[k] =
            _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8(' ')),
                         _mm_cmpeq_epi8(_mm_max_epu8(control, _mm_set1_epi8(4)), _mm_set1_epi8(4)));
        const __m128i number = _mm_sub_epi8(b, _mm_set1_epi8('0'));
        digit[k] = _mm_cmpeq_epi8(_mm_max_epu8(number, _mm_set1_epi8(9)), _mm_set1_epi8(9));
        point[k] = _mm_cmpeq_epi8(b, _mm_set1_epi8('.'));
        minus[k] = _mm_cmpeq_epi8(b, _mm_set1_epi8('-'));
    }
    TChunkMasks m;
    m.MbrSpace = Bits(space[0], space[1], space[2], space[3]);
    m.MbrDigit = Bits(digit[0], digit[1], digit[2], digit[3]);
    m.MbrPoint = Bits(point[0], point[1], point[2], point[3]);
    m.MbrMinus = Bits(minus[0], minus[1], minus[2], minus[3]);
    m.MbrOther = ~(m.MbrSpace | m.MbrDigit | m.MbrPoint | m.MbrMinus);
    return m;
}

// The bytes that make some token of the chunk other than a plain number: any
// other character, a '-' that does not start its token, the end of a token
// without a digit, and a second point in one token. Runs of token characters
// are separated by white space, so a carry started in one run stops at its end.
inline std::uint64_t PlainMismatches(const TChunkMasks& m, std::uint64_t starts) {
    const std::uint64_t nonSpace = ~m.MbrSpace;
    // From each token start that is not a digit, a carry runs through the
    // non-digits and stops at the first digit, or, for a token without one, at
    // the white space after it.
    const std::uint64_t nonDigit = nonSpace & ~m.MbrDigit;
    const std::uint64_t noDigit = (nonDigit + (starts & nonDigit)) & ~nonDigit & m.MbrSpace;
    // From each byte after a point, a carry runs through the token's other
    // characters and stops at the next point (a second one) or white space.
    const std::uint64_t nonPoint = nonSpace & ~m.MbrPoint;
    const std::uint64_t afterPoint = m.MbrPoint << 1;
    const std::uint64_t secondPoint =
        ((nonPoint + (afterPoint & nonPoint)) & ~nonPoint & m.MbrPoint) | (afterPoint & m.MbrPoint);
    return m.MbrOther | (m.MbrMinus & ~starts) | noDigit | secondPoint;
}
#endif

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

template <bool kCheckOnly, typename Take>
void TARCGISScanner::ScanValues(std::int64_t count, std::int64_t cell, std::int32_t columns,
                                Take take) {
    // The cell's column and row are worked out only for a message.
    const auto check = [&](const char* first, const char* last) {
        if (!take(first, last, TNumberText::IsPlainNumber(first, last))) {
            ValueError(first, last, static_cast<std::int32_t>(cell % columns),
                       static_cast<std::int32_t>(cell / columns));
        }
    };
    while (count > 0) {
        if (MbrPtrCursor == MbrPtrEnd && !Refill()) {
            EndOfFile();
        }
        // Every token that starts before the block's last white space ends at or
        // before it, so the scan below needs no bounds test inside a token.
        const char* safe = MbrPtrEnd;
        while (safe != MbrPtrCursor && ClassOf(safe[-1]) != kSpace) {
            --safe;
        }
        const char* p = MbrPtrCursor;
        while (count > 0) {
            while (p != safe && ClassOf(*p) == kSpace) {
                ++p;
            }
            if (p == safe) {
                break;
            }
#if defined(__SSE2__)
            // 64 bytes at a time from a token start: the masks give each token's
            // ends and tell whether it is a plain number, with no loop per byte.
            if (safe - p >= 64) {
                const TChunkMasks m = MasksOf(p);
                const std::uint64_t nonSpace = ~m.MbrSpace;
                std::uint64_t starts = nonSpace & ((m.MbrSpace << 1) | 1);
                const std::uint64_t ends = m.MbrSpace & (nonSpace << 1);
                if (kCheckOnly && ends != 0) {
                    // Only checking: when every token that ends in these bytes is
                    // a plain number, count them all at once.
                    const int end = 63 - std::countl_zero(ends);
                    const std::uint64_t region = ~(~std::uint64_t{0} << end);
                    // A token's flaw may show on the white space that ends it.
                    const std::uint64_t checked = region | (std::uint64_t{1} << end);
                    const std::int64_t tokens = std::popcount(starts & region);
                    if (tokens <= count && (PlainMismatches(m, starts) & checked) == 0) {
                        count -= tokens;
                        cell += tokens;
                        p += end;
                        continue;
                    }
                }
                const char* next = p;
                while (starts != 0 && count > 0) {
                    const int first = std::countr_zero(starts);
                    const std::uint64_t after = ends & (~std::uint64_t{0} << first);
                    if (after == 0) {
                        break;  // the token goes on past these 64 bytes
                    }
                    const int last = std::countr_zero(after);
                    const std::uint64_t token =
                        (~std::uint64_t{0} << first) & ~(~std::uint64_t{0} << last);
                    const bool plain = (m.MbrOther & token) == 0 && (m.MbrDigit & token) != 0 &&
                                       (m.MbrMinus & token & ~(std::uint64_t{1} << first)) == 0 &&
                                       std::popcount(m.MbrPoint & token) <= 1;
                    if (!take(p + first, p + last, plain)) {
                        ValueError(p + first, p + last, static_cast<std::int32_t>(cell % columns),
                                   static_cast<std::int32_t>(cell / columns));
                    }
                    --count;
                    ++cell;
                    next = p + last;
                    starts &= starts - 1;
                }
                if (next != p) {
                    p = next;
                    continue;
                }
            }
#endif
            const char* start = p;
            while (ClassOf(*p) != kSpace) {
                ++p;
            }
            check(start, p);
            --count;
            ++cell;
        }
        MbrPtrCursor = p;
        // What is left of the block is the start of a token that goes on in the
        // next one (or the block holds no white space at all): one at a time.
        if (count > 0 && (p == safe || safe == MbrPtrCursor)) {
            const char* first;
            const char* last;
            if (MbrPtrCursor != MbrPtrEnd) {
                if (!NextToken(first, last)) {
                    EndOfFile();
                }
                check(first, last);
                --count;
                ++cell;
            }
        }
    }
}

void TARCGISScanner::ReadValues(double* values, std::int64_t count, std::int64_t cell,
                                std::int32_t columns) {
    ScanValues<false>(count, cell, columns, [&values](const char* first, const char* last, bool) {
        const bool ok = TNumberText::ParsePlainNumber(first, last, *values) ||
                        TNumberText::ParseDouble(first, last, *values);
        ++values;
        return ok;
    });
}

void TARCGISScanner::SkipValues(std::int64_t count, std::int64_t cell, std::int32_t columns) {
    ScanValues<true>(count, cell, columns, [](const char* first, const char* last, bool plain) {
        double ignored;
        return plain || TNumberText::ParseDouble(first, last, ignored);
    });
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
