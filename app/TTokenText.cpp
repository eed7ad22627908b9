// TTokenText: a window value written by the exact rule, its text copied when it already is.
#include "app/TTokenText.h"

#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "files/TTokenScan.h"
#include "numbers/TNumberText.h"

bool TTokenText::IsExact(const char* first, const char* last) {
    const char* p = first;
    if (p != last && *p == '-') {
        ++p;
    }
    const char* whole = p;
    while (p != last && *p >= '0' && *p <= '9') {
        ++p;
    }
    const std::ptrdiff_t wholeDigits = p - whole;
    // "0" alone, or no leading zero.
    if (wholeDigits == 0 || (wholeDigits > 1 && *whole == '0')) {
        return false;
    }
    if (p == last) {
        // A whole number of at most 15 digits: below 10^15, exactly as "%.15g".
        return wholeDigits <= 15;
    }
    if (*p != '.') {
        return false;
    }
    const char* fraction = ++p;
    while (p != last && *p >= '0' && *p <= '9') {
        ++p;
    }
    if (p != last || p == fraction || p[-1] == '0') {
        return false;  // something else, a bare point, or a trailing zero
    }
    const std::ptrdiff_t fractionDigits = p - fraction;
    if (*whole != '0') {
        return wholeDigits + fractionDigits <= 15;
    }
    // 0.000ddd: at most three zeros after the point (an exponent of -4 at
    // least) and at most 15 significant digits after them.
    std::ptrdiff_t zeros = 0;
    while (fraction[zeros] == '0') {
        ++zeros;
    }
    return zeros <= 3 && fractionDigits - zeros <= 15;
}

#if defined(__SSE2__)
namespace {

unsigned Mask(__m128i bytes) {
    return static_cast<unsigned>(_mm_movemask_epi8(bytes));
}

// CopyExact for a token of at most 15 bytes with 16 readable bytes at
// `first`: the 16 bytes are copied at once, and IsExact's checks are made on
// bit masks of them (bit i for byte i). Returns null when the token is longer.
[[gnu::always_inline]] inline const char* CopyShort(const char* first, char* to, char*& written) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
    const __m128i control = _mm_sub_epi8(b, _mm_set1_epi8(9));
    const unsigned space = Mask(
        _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8(' ')),
                     _mm_cmpeq_epi8(_mm_max_epu8(control, _mm_set1_epi8(4)), _mm_set1_epi8(4))));
    if (space == 0) {
        return nullptr;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), b);
    const int length = std::countr_zero(space);
    const unsigned inside = (1u << length) - 1;
    const __m128i number = _mm_sub_epi8(b, _mm_set1_epi8('0'));
    const unsigned digits =
        Mask(_mm_cmpeq_epi8(_mm_max_epu8(number, _mm_set1_epi8(9)), _mm_set1_epi8(9))) & inside;
    const unsigned points = Mask(_mm_cmpeq_epi8(b, _mm_set1_epi8('.'))) & inside;
    const unsigned minus = Mask(_mm_cmpeq_epi8(b, _mm_set1_epi8('-'))) & inside;
    const char* end = first + length;
    written = nullptr;
    // Only digits, a '-' first, at most one point.
    if ((digits | points | minus) != inside || (minus & ~1u) != 0 || (points & (points - 1)) != 0) {
        return end;
    }
    const int sign = static_cast<int>(minus);
    if (points == 0) {
        const int count = length - sign;
        if (count >= 1 && (first[sign] != '0' || count == 1)) {
            written = to + length;  // at most 15 digits: the token has at most 15 bytes
        }
        return end;
    }
    const int point = std::countr_zero(points);
    const int whole = point - sign;
    const int fraction = length - point - 1;
    if (whole < 1 || fraction < 1 || first[length - 1] == '0') {
        return end;
    }
    if (first[sign] != '0') {
        written = to + length;  // at most 13 digits
        return end;
    }
    // 0.000ddd: at most three zeros after the point.
    const unsigned zeros = Mask(_mm_cmpeq_epi8(b, _mm_set1_epi8('0')));
    if (whole == 1 && std::countr_zero(~zeros >> (point + 1)) <= 3) {
        written = to + length;
    }
    return end;
}

}  // namespace
#endif

const char* TTokenText::CopyExact(const char* first, const char* limit, char* to, char*& written) {
#if defined(__SSE2__)
    // The common token, at most 15 bytes long, in one go.
    if (limit - first >= 16) {
        if (const char* end = CopyShort(first, to, written)) {
            return end;
        }
    }
#endif
    // A longer token, or one near the end of the bytes at hand: found whole,
    // then judged by IsExact. Exact tokens have at most 21 bytes.
    const char* last = first;
    while (last != limit && !TTokenScan::IsSpace(*last)) {
        ++last;
    }
    written = nullptr;
    if (IsExact(first, last)) {
        std::memcpy(to, first, static_cast<std::size_t>(last - first));
        written = to + (last - first);
    }
    return last;
}

const char* TTokenText::WriteRun(const char* first, const char* safe, std::int64_t& count,
                                 char*& to, const char* end, const char*& bad,
                                 const char*& badEnd) {
    // One loop with the copy inlined: most values are copied, 16 bytes at once.
    const char* p = first;
    char* out = to;
    bad = nullptr;
    while (count > 0 && static_cast<std::size_t>(end - out) > kRoom) {
        while (p != safe && TTokenScan::IsSpace(*p)) {
            ++p;
        }
        if (p == safe) {
            break;
        }
        char* written;
        const char* last = nullptr;
#if defined(__SSE2__)
        if (safe - p >= 16) {
            last = CopyShort(p, out, written);
        }
#endif
        if (last == nullptr) {
            last = CopyExact(p, safe, out, written);
        }
        if (written == nullptr) {
            written = Convert(out, p, last);
            if (written == nullptr) {
                bad = p;
                badEnd = last;
                break;
            }
        }
        *written++ = ' ';
        out = written;
        p = last;
        --count;
    }
    to = out;
    return p;
}

char* TTokenText::Write(char* to, const char* first, const char* last) {
    if (IsExact(first, last)) {
        // Short copies byte by byte: a library call per value would cost more.
        for (; first != last; ++first) {
            *to++ = *first;
        }
        return to;
    }
    return Convert(to, first, last);
}

char* TTokenText::Convert(char* to, const char* first, const char* last) {
    double value;
    if (!TNumberText::ParsePlainNumber(first, last, value) &&
        !TNumberText::ParseDouble(first, last, value)) {
        return nullptr;
    }
    return TNumberText::FormatExact(to, value);
}
