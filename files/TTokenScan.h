// TTokenScan: the block kernel that walks over white space and plain-number tokens.
#pragma once

#include <cstdint>

// One contract, two kernels: a plain loop that asks TNumberText::IsPlainNumber
// about every token, and, where SSE2 is there, a kernel that judges 64 bytes at
// a time from bit masks. Both give the same result for every input; SkipPlain
// is the one that callers use.
class TTokenScan {
  public:
    // The classic locale's white space: blank, tab, LF, VT, FF, CR.
    static bool IsSpace(char c) { return c == ' ' || (static_cast<unsigned char>(c) - 9u) <= 4u; }

    // Skips white space and whole tokens that are plain numbers
    // (TNumberText::IsPlainNumber) in [p, end), at most `count` tokens, and
    // lowers `count` by the number skipped. Tokens end at white space or at
    // `end`: the caller makes sure that no token goes on past `end`. Returns
    // the end of the last token skipped when `count` reaches 0 (p itself when
    // it starts at 0), the first byte of a token that is not a plain number, or
    // `end`. Reads nothing outside [p, end). Never throws.
    static const char* SkipPlain(const char* p, const char* end, std::int64_t& count);

    // The two kernels behind SkipPlain, with its contract; public for the tests.
    static const char* SkipPlainScalar(const char* p, const char* end, std::int64_t& count);
    static const char* SkipPlainBlocks(const char* p, const char* end, std::int64_t& count);
};
