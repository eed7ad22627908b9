// TTokenText: a window value written by the exact rule, its text copied when it already is.
#include "app/TTokenText.h"

#include <cstring>

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

const char* TTokenText::CopyExact(const char* first, const char* limit, char* to, char*& written) {
    // One pass: each byte is checked and copied, so an exact token costs no
    // more than its copy. The checks are IsExact's, in the same order.
    const auto digit = [](char c) { return static_cast<unsigned char>(c - '0') <= 9; };
    const auto ended = [limit](const char* p) { return p == limit || TTokenScan::IsSpace(*p); };
    const char* p = first;
    char* out = to;
    written = nullptr;
    if (*p == '-') {
        *out++ = *p++;
    }
    const char* whole = p;
    // At most 22 bytes are copied: longer tokens are never exact.
    while (p != limit && digit(*p) && p - first < 22) {
        *out++ = *p++;
    }
    const std::ptrdiff_t wholeDigits = p - whole;
    if (wholeDigits == 0 || (wholeDigits > 1 && *whole == '0')) {
        // Not exact: on to the token's end.
    } else if (ended(p)) {
        if (wholeDigits <= 15) {
            written = out;
        }
        return p;
    } else if (*p == '.') {
        *out++ = *p++;
        const char* fraction = p;
        while (p != limit && digit(*p) && p - first < 22) {
            *out++ = *p++;
        }
        const std::ptrdiff_t fractionDigits = p - fraction;
        if (ended(p) && fractionDigits > 0 && p[-1] != '0') {
            bool exact;
            if (*whole != '0') {
                exact = wholeDigits + fractionDigits <= 15;
            } else {
                std::ptrdiff_t zeros = 0;
                while (fraction[zeros] == '0') {
                    ++zeros;
                }
                exact = zeros <= 3 && fractionDigits - zeros <= 15;
            }
            if (exact) {
                written = out;
            }
            return p;
        }
    }
    while (!ended(p)) {
        ++p;
    }
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
    double value;
    if (!TNumberText::ParsePlainNumber(first, last, value) &&
        !TNumberText::ParseDouble(first, last, value)) {
        return nullptr;
    }
    return TNumberText::FormatExact(to, value);
}
