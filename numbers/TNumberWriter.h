// TNumberWriter: writes doubles to a stream, at the stream's own settings or by the exact rule.
#pragma once

#include <cstddef>
#include <ostream>
#include <vector>

// The one home of the text writing of grid values, shared by the bare value
// block (TMapTools::WriteFlatFile) and the ArcGIS writer (header numbers and
// body alike). Writing errors are the stream's: nothing is checked here.
class TNumberWriter {
  public:
    enum class TRule {
        Stream,  // as `out << value` writes it: the stream's format and precision
        Exact,   // TNumberText::FormatExact: the fewest digits that read back the same
    };

    // Writes `value` right-aligned in a field of `width` characters (0: no
    // field): under Stream as `out << std::setw(width) << value`, under Exact
    // padded on the left with the stream's fill character.
    static void WriteValue(std::ostream& out, double value, int width, TRule rule);

    // Writes rows[0 .. rowCount), each of its first `columns` values followed by
    // `separator`, each row ended by '\n' and a flush. The rows must hold that
    // many values. Under Stream the text is exactly what `out << value` writes.
    static void WriteRows(std::ostream& out, const std::vector<std::vector<double>>& rows,
                          std::size_t rowCount, std::size_t columns, char separator, TRule rule);
};
