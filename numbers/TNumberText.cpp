// TNumberText: the exact number text rules shared by the grid readers and writers.
#include "numbers/TNumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>

bool TNumberText::ParseDouble(const char* first, const char* last, double& value) {
    // from_chars takes no '+', while stream extraction does: accept one, but not
    // a second sign after it.
    if (first != last && *first == '+') {
        ++first;
        if (first != last && (*first == '+' || *first == '-')) {
            return false;
        }
    }
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    return error == std::errc() && end == last && first != last;
}

bool TNumberText::IsPlainFormat(const std::ios_base& stream) {
    const std::ios_base::fmtflags special = std::ios_base::floatfield | std::ios_base::showpos |
                                            std::ios_base::showpoint | std::ios_base::uppercase;
    return (stream.flags() & special) == 0 && stream.width() == 0 &&
           stream.getloc() == std::locale::classic();
}

int TNumberText::Precision(const std::ios_base& stream) {
    const std::streamsize precision = stream.precision();
    if (precision < 0) {
        return 6;
    }
    // Far beyond any double's exact expansion; keeps the buffer arithmetic small.
    return precision > 1100 ? 1100 : static_cast<int>(precision);
}

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common case of grid values, a decimal of few digits, without the general
// formatter. If value is the double nearest to a decimal D of at most 15
// significant digits, and the precision P is at most 15 and at least D's digit
// count, then rounding value to P digits gives D back (value lies within half
// an ulp of D, far inside half a unit of D's last digit), so "%.Pg" writes D:
// in fixed notation when its exponent X satisfies -4 <= X < P, which is the
// only case handled here. Returns null when the value is not of this kind.
char* FormatShortDecimal(char* first, double value, int precision) {
    if (precision > 15 || !(value != 0) || !(std::fabs(value) < 1e15)) {
        return nullptr;
    }
    const double magnitude = std::fabs(value);
    // Whether magnitude x 10^k, rounded to a whole number below 10^15, denotes
    // the double exactly (the division of two exact doubles rounds correctly).
    const auto denotes = [magnitude](int k, double& whole) {
        const double scaled = magnitude * kPowersOfTen[k];
        if (!(scaled < 1e15)) {
            return false;
        }
        whole = static_cast<double>(static_cast<std::uint64_t>(scaled + 0.5));
        return whole / kPowersOfTen[k] == magnitude;
    };
    // The smallest such k. The first four are tried side by side, as grid
    // values rarely need more; each is a division whose latency would
    // otherwise add up.
    double wholes[4] = {};
    const bool hits[4] = {denotes(0, wholes[0]), denotes(1, wholes[1]), denotes(2, wholes[2]),
                          denotes(3, wholes[3])};
    int k = 0;
    while (k < 4 && !hits[k]) {
        ++k;
    }
    double whole = k < 4 ? wholes[k] : 0;
    while (k >= 4 && k <= 15 && !denotes(k, whole)) {
        if (!(magnitude * kPowersOfTen[k] < 1e15)) {
            return nullptr;
        }
        ++k;
    }
    if (k > 15) {
        return nullptr;
    }

    const auto digits = static_cast<std::uint64_t>(whole);
    char text[20];
    const int length = static_cast<int>(std::to_chars(text, text + 20, digits).ptr - text);
    int significant = length;
    while (significant > 1 && text[significant - 1] == '0') {
        --significant;  // trailing zeros of a whole number are not significant
    }
    const int exponent = length - 1 - k;
    if (significant > precision || exponent < -4 || exponent >= precision) {
        return nullptr;
    }
    // Short copies byte by byte: a library call per value would cost more.
    const auto put = [](char* out, const char* from, int count) {
        for (int i = 0; i < count; ++i) {
            out[i] = from[i];
        }
        return out + count;
    };
    char* out = first;
    if (value < 0) {
        *out++ = '-';
    }
    if (k == 0) {
        return put(out, text, length);
    }
    if (length > k) {
        out = put(out, text, length - k);
        *out++ = '.';
        return put(out, text + length - k, k);
    }
    *out++ = '0';
    *out++ = '.';
    for (int i = length; i < k; ++i) {
        *out++ = '0';
    }
    return put(out, text, length);
}

}  // namespace

char* TNumberText::FormatDouble(char* first, double value, int precision) {
    if (char* end = FormatShortDecimal(first, value, precision)) {
        return end;
    }
    // "%.*g" never needs more than the significant digits, a sign, a point and a
    // five-character exponent.
    return std::to_chars(first, first + Room(precision), value, std::chars_format::general,
                         precision)
        .ptr;
}

char* TNumberText::FormatExact(char* first, double value) {
    // A decimal of at most 15 significant digits whose nearest double is
    // `value` is what "%.15g" writes, and it reads back as `value`: the most
    // common grid value needs nothing more.
    if (char* end = FormatShortDecimal(first, value, 15)) {
        return end;
    }
    if (std::isfinite(value)) {
        for (int precision = 15; precision < 17; ++precision) {
            char* end = std::to_chars(first, first + kExactRoom, value, std::chars_format::general,
                                      precision)
                            .ptr;
            double back = 0;
            std::from_chars(first, end, back, std::chars_format::general);
            if (back == value) {
                return end;
            }
        }
    }
    // Seventeen significant digits always identify a double.
    return std::to_chars(first, first + kExactRoom, value, std::chars_format::general, 17).ptr;
}

bool TNumberText::IsPlainNumber(const char* first, const char* last) {
    if (last - first > 300 || first == last) {
        return false;
    }
    bool digit = false;
    int points = 0;
    for (const char* p = first + (*first == '-' ? 1 : 0); p != last; ++p) {
        if (*p >= '0' && *p <= '9') {
            digit = true;
        } else if (*p == '.') {
            ++points;
        } else {
            return false;
        }
    }
    // Up to 300 digits either side of the point stay within the finite, normal
    // range of doubles, so such a token is always a number.
    return digit && points <= 1;
}

bool TNumberText::ParsePlainNumber(const char* first, const char* last, double& value) {
    const bool negative = first != last && *first == '-';
    const char* p = first + (negative ? 1 : 0);
    // Up to 15 digits stay below 10^15 < 2^53, an exact double.
    if (last - p > 16) {
        return false;
    }
    std::uint64_t digits = 0;
    const char* point = nullptr;
    for (; p != last; ++p) {
        const unsigned d = static_cast<unsigned char>(*p) - '0';
        if (d <= 9) {
            digits = digits * 10 + d;
        } else if (*p == '.' && point == nullptr) {
            point = p;
        } else {
            return false;
        }
    }
    const std::ptrdiff_t count = last - first - (negative ? 1 : 0) - (point != nullptr ? 1 : 0);
    if (count == 0 || count > 15) {
        return false;
    }
    const auto decimals = point != nullptr ? last - point - 1 : 0;
    // Both operands are exact doubles, and IEEE division rounds correctly: the
    // quotient is the double nearest to the decimal, as from_chars gives it.
    const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
    value = negative ? -magnitude : magnitude;
    return true;
}
