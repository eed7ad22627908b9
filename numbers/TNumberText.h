// TNumberText: the exact number text rules shared by the grid readers and writers.
#pragma once

#include <ios>

class TNumberText {
  public:
    // True when [first, last) is a number as a whole, and then sets `value`: an
    // optional '+' not followed by another sign, then std::from_chars in general
    // format consuming every byte without error. So "nan", "inf" and "+5" are
    // numbers; "1e999" (out of range), "0x10", "1,5", "--3" and "+-1" are not.
    // Never throws, never allocates.
    static bool ParseDouble(const char* first, const char* last, double& value);

    // True for a token the fast check accepts: an optional '-', digits with at
    // most one point, at least one digit, at most 300 characters. Every such
    // token is a finite number by ParseDouble; the others go to ParseDouble.
    static bool IsPlainNumber(const char* first, const char* last);
    // The value of a plain number of at most 15 digits and at most 22 digits
    // after the point, exactly as std::from_chars gives it; false when the
    // token is not of that kind.
    static bool ParsePlainNumber(const char* first, const char* last, double& value);

    // True when `stream` would write a double exactly as printf's "%.*g" at its
    // precision: no float-field, showpos, showpoint or uppercase flags, no
    // pending field width, and the classic locale.
    static bool IsPlainFormat(const std::ios_base& stream);

    // The precision a plain-format stream uses for a double (6 for a negative one).
    static int Precision(const std::ios_base& stream);

    // Writes `value` at `first` as a plain-format stream at `precision` would,
    // and returns the end. Needs Room(precision) bytes.
    static char* FormatDouble(char* first, double value, int precision);
    // The most bytes FormatDouble writes at `precision`.
    static std::size_t Room(int precision) { return static_cast<std::size_t>(precision) + 16; }

    // The exact output rule: writes `value` with the fewest significant digits
    // among 15, 16 and 17 that read back (std::from_chars) as the same double,
    // in the notation "%.{that}g" gives, and returns the end. 674.79 stays
    // 674.79, 0.1 + 0.2 becomes 0.30000000000000004; NaN and infinities are
    // written as "%.17g" writes them. Needs kExactRoom bytes; never throws.
    static char* FormatExact(char* first, double value);
    static constexpr std::size_t kExactRoom = 17 + 16;
};
