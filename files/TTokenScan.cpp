// TTokenScan: the block kernel that walks over white space and plain-number tokens.
#include "files/TTokenScan.h"

#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "numbers/TNumberText.h"

std::uint64_t TTokenScan::SpaceMask(const char* p) {
    std::uint64_t mask = 0;
#if defined(__SSE2__)
    for (int k = 0; k < 4; ++k) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        // Tab .. CR are 9 .. 13: b - 9 is at most 4, unsigned.
        const __m128i control = _mm_sub_epi8(b, _mm_set1_epi8(9));
        const __m128i space =
            _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8(' ')),
                         _mm_cmpeq_epi8(_mm_max_epu8(control, _mm_set1_epi8(4)), _mm_set1_epi8(4)));
        mask |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(space)))
                << (16 * k);
    }
#else
    for (int i = 0; i < 64; ++i) {
        mask |= static_cast<std::uint64_t>(IsSpace(p[i])) << i;
    }
#endif
    return mask;
}

const char* TTokenScan::SkipPlainScalar(const char* p, const char* end, std::int64_t& count) {
    while (count > 0) {
        while (p != end && TTokenScan::IsSpace(*p)) {
            ++p;
        }
        if (p == end) {
            return end;
        }
        const char* token = p;
        while (p != end && !TTokenScan::IsSpace(*p)) {
            ++p;
        }
        if (!TNumberText::IsPlainNumber(token, p)) {
            return token;
        }
        --count;
    }
    return p;
}

#if defined(__SSE2__)
namespace {

// The classes of 64 bytes as bit masks, bit i for byte i.
struct TChunkMasks {
    std::uint64_t MbrSpace, MbrDigit, MbrPoint, MbrMinus, MbrOther;
};

std::uint64_t Bits(__m128i a, __m128i b, __m128i c, __m128i d) {
    return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(a))) |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(b))) << 16 |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(c))) << 32 |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(d))) << 48;
}

TChunkMasks MasksOf(const char* p) {
    __m128i space[4], digit[4], point[4], minus[4];
    for (int k = 0; k < 4; ++k) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        // Tab .. CR are 9 .. 13: b - 9 is at most 4, unsigned.
        const __m128i control = _mm_sub_epi8(b, _mm_set1_epi8(9));
        space[k] =
            _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8(' ')),
                         _mm_cmpeq_epi8(_mm_max_epu8(control, _mm_set1_epi8(4)), _mm_set1_epi8(4)));
        const __m128i number = _mm_sub_epi8(b, _mm_set1_epi8('0'));
        digit[k] = _mm_cmpeq_epi8(_mm_max_epu8(number, _mm_set1_epi8(9)), _mm_set1_epi8(9));
        point[k] = _mm_cmpeq_epi8(b, _mm_set1_epi8('.'));
        minus[k] = _mm_cmpeq_epi8(b, _mm_set1_epi8('-'));
    }
    TChunkMasks m;
    m.MbrSpace = Bits(space[0], space[1], space[2], space[3]);
    m.MbrDigit = Bits(digit[0], digit[1], digit[2], digit[3]);
    m.MbrPoint = Bits(point[0], point[1], point[2], point[3]);
    m.MbrMinus = Bits(minus[0], minus[1], minus[2], minus[3]);
    m.MbrOther = ~(m.MbrSpace | m.MbrDigit | m.MbrPoint | m.MbrMinus);
    return m;
}

// The plain-number rule in mask form: the bytes that make some token of the
// chunk other than a plain number (any other character, a '-' that does not
// start its token, the end of a token without a digit, a second point in one
// token). Runs of token characters are separated by white space, so a carry
// started in one run stops at its end.
std::uint64_t PlainMismatches(const TChunkMasks& m, std::uint64_t starts) {
    const std::uint64_t nonSpace = ~m.MbrSpace;
    // From each token start that is not a digit, a carry runs through the
    // non-digits and stops at the first digit, or, for a token without one, at
    // the white space after it.
    const std::uint64_t nonDigit = nonSpace & ~m.MbrDigit;
    const std::uint64_t noDigit = (nonDigit + (starts & nonDigit)) & ~nonDigit & m.MbrSpace;
    // From each byte after a point, a carry runs through the token's other
    // characters and stops at the next point (a second one) or white space.
    const std::uint64_t nonPoint = nonSpace & ~m.MbrPoint;
    const std::uint64_t afterPoint = m.MbrPoint << 1;
    const std::uint64_t secondPoint =
        ((nonPoint + (afterPoint & nonPoint)) & ~nonPoint & m.MbrPoint) | (afterPoint & m.MbrPoint);
    return m.MbrOther | (m.MbrMinus & ~starts) | noDigit | secondPoint;
}

// The block kernel's body, compiled twice: for any x86-64, and for processors
// with the popcnt instruction, which std::popcount otherwise replaces with a
// library call.
[[gnu::always_inline]] inline const char* BlocksBody(const char* p, const char* end,
                                                     std::int64_t& count) {
    while (count > 0) {
        while (p != end && TTokenScan::IsSpace(*p)) {
            ++p;
        }
        if (p == end) {
            return end;
        }
        // 64 bytes from a token start: when every token that ends in them is a
        // plain number, and there are no more of them than `count`, they are
        // all skipped at once, with no loop per byte.
        if (end - p >= 64) {
            const TChunkMasks m = MasksOf(p);
            const std::uint64_t nonSpace = ~m.MbrSpace;
            const std::uint64_t starts = nonSpace & ((m.MbrSpace << 1) | 1);
            const std::uint64_t ends = m.MbrSpace & (nonSpace << 1);
            if (ends != 0) {
                const int last = 63 - std::countl_zero(ends);
                const std::uint64_t region = ~(~std::uint64_t{0} << last);
                // A token's flaw may show on the white space that ends it.
                const std::uint64_t checked = region | (std::uint64_t{1} << last);
                const std::int64_t tokens = std::popcount(starts & region);
                if (tokens <= count && (PlainMismatches(m, starts) & checked) == 0) {
                    count -= tokens;
                    p += last;
                    continue;
                }
            }
        }
        // Otherwise one token, by the plain kernel.
        std::int64_t one = 1;
        const char* after = TTokenScan::SkipPlainScalar(p, end, one);
        if (one != 0) {
            return after;  // the start of a token that is not a plain number
        }
        --count;
        p = after;
    }
    return p;
}

[[gnu::target("popcnt")]] const char* BlocksWithPopcnt(const char* p, const char* end,
                                                       std::int64_t& count) {
    return BlocksBody(p, end, count);
}

const bool kHasPopcnt = __builtin_cpu_supports("popcnt");

}  // namespace

const char* TTokenScan::SkipPlainBlocks(const char* p, const char* end, std::int64_t& count) {
    return kHasPopcnt ? BlocksWithPopcnt(p, end, count) : BlocksBody(p, end, count);
}

const char* TTokenScan::SkipPlain(const char* p, const char* end, std::int64_t& count) {
    return SkipPlainBlocks(p, end, count);
}
#else
const char* TTokenScan::SkipPlainBlocks(const char* p, const char* end, std::int64_t& count) {
    return SkipPlainScalar(p, end, count);
}

const char* TTokenScan::SkipPlain(const char* p, const char* end, std::int64_t& count) {
    return SkipPlainScalar(p, end, count);
}
#endif
