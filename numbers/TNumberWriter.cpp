// TNumberWriter: writes doubles to a stream, at the stream's own settings or by the exact rule.
#include "numbers/TNumberWriter.h"

#include <iomanip>
#include <string>

#include "numbers/TNumberText.h"

void TNumberWriter::WriteValue(std::ostream& out, double value, int width, TRule rule) {
    if (rule == TRule::Stream) {
        if (width > 0) {
            out << std::setw(width);
        }
        out << value;
        return;
    }
    char text[TNumberText::kExactRoom];
    const std::ptrdiff_t length = TNumberText::FormatExact(text, value) - text;
    if (width > length) {
        out << std::string(static_cast<std::size_t>(width - length), out.fill());
    }
    out.write(text, length);
}

void TNumberWriter::WriteRows(std::ostream& out, const std::vector<std::vector<double>>& rows,
                              std::size_t rowCount, std::size_t columns, char separator,
                              TRule rule) {
    if (rule == TRule::Stream && !TNumberText::IsPlainFormat(out)) {
        // Any special formatting is the stream's business: let it write each value.
        for (std::size_t y = 0; y < rowCount; ++y) {
            const std::vector<double>& row = rows[y];
            for (std::size_t x = 0; x < columns; ++x) {
                out << row[x] << separator;
            }
            out << std::endl;
        }
        return;
    }
    // A plain-format stream writes "%.{precision}g", which FormatDouble gives
    // without the stream; the exact rule is a formatter of its own. Either way
    // a whole row goes out in one write.
    const bool exact = rule == TRule::Exact;
    const int precision = TNumberText::Precision(out);
    const std::size_t room = exact ? TNumberText::kExactRoom : TNumberText::Room(precision);
    std::vector<char> line(columns * (room + 1) + 1);
    for (std::size_t y = 0; y < rowCount; ++y) {
        const double* row = rows[y].data();
        char* end = line.data();
        for (std::size_t x = 0; x < columns; ++x) {
            end = exact ? TNumberText::FormatExact(end, row[x])
                        : TNumberText::FormatDouble(end, row[x], precision);
            *end++ = separator;
        }
        *end++ = '\n';
        out.write(line.data(), end - line.data());
        out.flush();
    }
}
