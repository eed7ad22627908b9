// TNumberText: the exact number text rules shared by the grid readers and writers.
#include "files/TNumberText.h"

#include <charconv>
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

void TNumberText::AppendDouble(std::string& text, double value, int precision) {
    // "%.*g" never needs more than the significant digits, a sign, a point and a
    // five-character exponent.
    const std::size_t room = static_cast<std::size_t>(precision) + 16;
    const std::size_t start = text.size();
    text.resize(start + room);
    char* first = text.data() + start;
    const auto result =
        std::to_chars(first, first + room, value, std::chars_format::general, precision);
    text.resize(static_cast<std::size_t>(result.ptr - text.data()));
}
