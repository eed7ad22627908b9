// TTokenScan: the block kernel that walks over white space and plain-number tokens.
#pragma once

#include <bit>
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

    // Calls each(first, last) for the whole tokens in [p, end), at most
    // `count` of them, lowering `count`; returns the end of the last one (p
    // when there is none). Tokens end at white space or at `end`, as for
    // SkipPlain. Finds token ends 64 bytes at a time from a mask of white space.
    template <typename Each>
    static const char* Tokens(const char* p, const char* end, std::int64_t& count, Each each);

    // Bit i set when p[i] is white space, for i = 0 .. 63 (64 readable bytes).
    static std::uint64_t SpaceMask(const char* p);

    // The two kernels behind SkipPlain, with its contract; public for the tests.
    static const char* SkipPlainScalar(const char* p, const char* end, std::int64_t& count);
    static const char* SkipPlainBlocks(const char* p, const char* end, std::int64_t& count);
};

template <typename Each>
const char* TTokenScan::Tokens(const char* p, const char* end, std::int64_t& count, Each each) {
    while (count > 0) {
        while (p != end && IsSpace(*p)) {
            ++p;
        }
        if (p == end) {
            return end;
        }
        if (end - p >= 64) {
            // Every token that starts and ends within these 64 bytes at once.
            const std::uint64_t space = SpaceMask(p);
            std::uint64_t starts = ~space & ((space << 1) | 1);
            const std::uint64_t ends = space & (~space << 1);
            const char* next = p;
            while (starts != 0 && count > 0) {
                const int first = std::countr_zero(starts);
                const std::uint64_t after = ends & (~std::uint64_t{0} << first);
                if (after == 0) {
                    break;  // the token goes on past these 64 bytes
                }
                const int last = std::countr_zero(after);
                each(p + first, p + last);
                --count;
                next = p + last;
                starts &= starts - 1;
            }
            if (next != p) {
                p = next;
                continue;
            }
        }
        const char* token = p;
        while (p != end && !IsSpace(*p)) {
            ++p;
        }
        each(token, p);
        --count;
    }
    return p;
}
