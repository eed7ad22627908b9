// TTokenText: a window value written by the exact rule, its text copied when it already is.
#pragma once

#include <cstddef>
#include <cstdint>

// The exact rule is TNumberText::FormatExact. Most grid values are written
// already as it would write them (674.79, -9999, 0.5): those tokens are copied
// byte for byte, every other token is converted and written by the rule. The
// result is the same either way; copying only saves the work.
class TTokenText {
  public:
    // True when [first, last) is a canonical plain decimal that FormatExact
    // writes exactly so for its value: an optional '-', then "0" or a digit
    // other than 0 followed by digits, then optionally a point and digits of
    // which the last is not 0; at most 15 significant digits, and a value below
    // 10^15 and, unless it is 0, at least 10^-4 (the range in which "%.15g"
    // uses no exponent). A sufficient check: FormatExact also writes some
    // tokens it does not accept (those are converted to the same text).
    static bool IsExact(const char* first, const char* last);

    // The hot loop's form of IsExact: checks the token that starts at `first`
    // (a token character) and ends at white space or `limit`, copying it to
    // `to` on the way. Returns the token's end; sets `written` to the end of
    // the copy when the token is exact, to null when it is not (the bytes at
    // `to` are then of no use). Needs kRoom bytes at `to`.
    static const char* CopyExact(const char* first, const char* limit, char* to, char*& written);

    // The window's row loop: writes the tokens of [first, safe) (each ending
    // at white space, or at `safe`), at most `count` of them, each by Write
    // and followed by a blank, at `to`, as long as kRoom + 1 bytes remain
    // before `end`. Lowers `count` and moves `to` on; returns where it
    // stopped. A token that is not a number stops it, with [bad, badEnd) set
    // to the token (else bad is null).
    static const char* WriteRun(const char* first, const char* safe, std::int64_t& count, char*& to,
                                const char* end, const char*& bad, const char*& badEnd);

    // Writes the token's value by the exact rule at `to` and returns the end,
    // or null when the token is not a number (TNumberText::ParseDouble). Needs
    // kRoom bytes: a copied token has at most 22.
    static char* Write(char* to, const char* first, const char* last);
    static constexpr std::size_t kRoom = 48;

  private:
    // Write for a token known not to be exact: parsed and written by the rule.
    static char* Convert(char* to, const char* first, const char* last);
};
