// TTokenScan: the block kernel and the plain kernel keep one contract.
#include "files/TTokenScan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "numbers/TNumberText.h"

TEST(TTokenScan, BothKernelsAgreeWithThePlainRule) {
    // Runs of tokens, mostly plain numbers, with odd ones and separators of
    // every kind, cut at every length and skipped with every count: both
    // kernels stop at the same byte with the same count left, and that is
    // where the plain rule (TNumberText::IsPlainNumber, token by token) stops.
    const std::string odd[] = {"-",     ".",
                               "1.2.3", "--1",
                               "1-2",   "-.",
                               ".-1",   "5e3",
                               "nan",   "+5",
                               "..5",   "-5.",
                               ".5",    "1..",
                               "x",     "12-",
                               "0.",    "-.5",
                               "1e999", "inf",
                               "5.-",   std::string(70, '7')};
    const std::string separators[] = {" ", "  ", "\n", "\r\n", "\t", " \n ", "\v\f"};
    std::mt19937 random(3);
    for (int trial = 0; trial < 20000; ++trial) {
        std::string text;
        const int tokens = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < tokens; ++i) {
            if (random() % 25 == 0) {
                text += odd[random() % std::size(odd)];
            } else {
                text += RandomPlainToken(random);
            }
            text += separators[random() % std::size(separators)];
        }
        const std::int64_t wanted = static_cast<std::int64_t>(random() % 70);
        const char* first = text.data();
        const char* end = first + text.size();
        std::int64_t scalarLeft = wanted, blockLeft = wanted;
        const char* scalar = TTokenScan::SkipPlainScalar(first, end, scalarLeft);
        const char* block = TTokenScan::SkipPlainBlocks(first, end, blockLeft);
        ASSERT_EQ(block - first, scalar - first) << text << " / " << wanted;
        ASSERT_EQ(blockLeft, scalarLeft) << text;
        // The reference: token by token by the plain rule.
        std::int64_t left = wanted;
        const char* p = first;
        const char* stop = nullptr;
        while (left > 0) {
            while (p != end && TTokenScan::IsSpace(*p))
                ++p;
            if (p == end) {
                stop = end;
                break;
            }
            const char* token = p;
            while (p != end && !TTokenScan::IsSpace(*p))
                ++p;
            if (!TNumberText::IsPlainNumber(token, p)) {
                stop = token;
                break;
            }
            --left;
        }
        ASSERT_EQ((stop ? stop : p) - first, scalar - first) << text;
        ASSERT_EQ(left, scalarLeft) << text;
    }
}

TEST(TTokenScan, TokensSplitsAtWhiteSpaceAsAPlainLoopDoes) {
    // Tokens of 1 to 80 bytes (some longer than the 64-byte masks) between
    // separators of every kind, cut at every length and taken with every count.
    const std::string separators[] = {" ", "  ", "\n", "\r\n", "\t", " \n ", "\v\f"};
    std::mt19937 random(8);
    for (int trial = 0; trial < 20000; ++trial) {
        std::string text;
        const int tokens = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < tokens; ++i) {
            text += std::string(1 + random() % (random() % 10 == 0 ? 80 : 9),
                                static_cast<char>('a' + random() % 26));
            text += separators[random() % std::size(separators)];
        }
        text.resize(random() % (text.size() + 1));
        const std::int64_t wanted = static_cast<std::int64_t>(random() % 50);
        const char* first = text.data();
        const char* end = first + text.size();
        std::vector<std::string> found, expected;
        std::int64_t left = wanted;
        const char* stop = TTokenScan::Tokens(
            first, end, left, [&](const char* a, const char* b) { found.emplace_back(a, b); });
        const char* p = first;
        const char* last = first;
        while (static_cast<std::int64_t>(expected.size()) < wanted) {
            while (p != end && TTokenScan::IsSpace(*p))
                ++p;
            if (p == end) {
                last = end;
                break;
            }
            const char* token = p;
            while (p != end && !TTokenScan::IsSpace(*p))
                ++p;
            expected.emplace_back(token, p);
            last = p;
        }
        ASSERT_EQ(found, expected) << text;
        ASSERT_EQ(left, wanted - static_cast<std::int64_t>(expected.size()));
        ASSERT_EQ(stop - first, last - first) << text;
    }
}
