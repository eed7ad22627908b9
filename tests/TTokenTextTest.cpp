// TTokenText: a token is copied only when it is what the exact rule writes; the result is the
// rule's.
#include "app/TTokenText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "files/TTokenScan.h"
#include "numbers/TNumberText.h"

namespace {

std::string Exact(double value) {
    char text[TNumberText::kExactRoom];
    return std::string(text, TNumberText::FormatExact(text, value));
}

// A token of any shape: decimals as printf writes them at every precision and
// in fixed notation with any number of decimals, and strings of number
// characters (signs, points, exponents, leading and trailing zeros).
std::string RandomToken(std::mt19937_64& random) {
    char text[64];
    const double magnitudes[] = {1e-7, 1e-4, 0.01, 1, 100, 1e4, 1e9, 1e14, 1e15, 1e17};
    const double value =
        std::uniform_real_distribution<double>(-1, 1)(random) * magnitudes[random() % 10];
    switch (random() % 4) {
        case 0:
            std::snprintf(text, sizeof text, "%.*g", static_cast<int>(1 + random() % 17), value);
            return text;
        case 1:
            std::snprintf(text, sizeof text, "%.*f", static_cast<int>(random() % 12), value);
            return text;
        case 2: {
            // A short decimal, as grids hold them.
            std::snprintf(
                text, sizeof text, "%.*f", static_cast<int>(random() % 4),
                static_cast<double>(static_cast<long>(random() % 2000001) - 1000000) / 100);
            return text;
        }
        default: {
            const std::string alphabet = "0123456789000..--+eE";
            std::string token;
            const int length = 1 + static_cast<int>(random() % 20);
            for (int i = 0; i < length; ++i)
                token += alphabet[random() % alphabet.size()];
            return token;
        }
    }
}

}  // namespace

TEST(TTokenText, WritesWhatTheExactRuleWritesAndCopiesOnlyThatText) {
    std::mt19937_64 random(15);
    int copied = 0, converted = 0;
    for (int trial = 0; trial < 300000; ++trial) {
        const std::string token = RandomToken(random);
        const char* first = token.data();
        const char* last = first + token.size();
        char out[TTokenText::kRoom];
        // The hot loop's one-pass form agrees with IsExact and copies the
        // token, both where the token ends its bytes and where white space
        // and more bytes follow it (the form that takes 16 bytes at once).
        if (!TTokenScan::IsSpace(*first)) {
            const std::string padded = token + " 12345678901234567890";
            for (const char* limit : {last, padded.data() + padded.size()}) {
                const char* from = limit == last ? first : padded.data();
                char* copyEnd = nullptr;
                ASSERT_EQ(TTokenText::CopyExact(from, limit, out, copyEnd) - from, last - first)
                    << token;
                ASSERT_EQ(copyEnd != nullptr, TTokenText::IsExact(first, last)) << token;
                if (copyEnd != nullptr) {
                    ASSERT_EQ(std::string(static_cast<const char*>(out),
                                          static_cast<const char*>(copyEnd)),
                              token);
                }
            }
        }
        const char* end = TTokenText::Write(out, first, last);
        double value;
        if (!TNumberText::ParseDouble(first, last, value)) {
            ASSERT_EQ(end, nullptr) << token;
            ASSERT_FALSE(TTokenText::IsExact(first, last)) << token;
            continue;
        }
        ASSERT_NE(end, nullptr) << token;
        ASSERT_EQ(std::string(static_cast<const char*>(out), end), Exact(value)) << token;
        if (TTokenText::IsExact(first, last)) {
            ASSERT_EQ(token, Exact(value)) << token;
            ++copied;
        } else {
            ++converted;
        }
    }
    // Both ways were taken many times.
    EXPECT_GT(copied, 50000);
    EXPECT_GT(converted, 50000);
}

TEST(TTokenText, Examples) {
    struct Case {
        const char* token;
        bool exact;
        const char* written;
    } cases[] = {
        {"674.79", true, "674.79"},
        {"-9999", true, "-9999"},
        {"0.5", true, "0.5"},
        {"0", true, "0"},
        {"-0", true, "-0"},
        {"4380220", true, "4380220"},
        {"0.0001", true, "0.0001"},
        {"100000000000000", true, "100000000000000"},
        {"1721.0031195746528283", false, "1721.0031195746528"},
        {"0.30000000000000004", false, "0.30000000000000004"},
        {"0.008333333333333333", false, "0.008333333333333333"},
        {"1000000000000000", false, "1e+15"},
        {"0.00001", false, "1e-05"},
        {"674.790", false, "674.79"},
        {"0674.79", false, "674.79"},
        {"+5", false, "5"},
        {".5", false, "0.5"},
        {"5.", false, "5"},
        {"1e3", false, "1000"},
        {"-0.0", false, "-0"},
        {"nan", false, "nan"},
    };
    for (const Case& c : cases) {
        const char* last = c.token + std::char_traits<char>::length(c.token);
        EXPECT_EQ(TTokenText::IsExact(c.token, last), c.exact) << c.token;
        char out[TTokenText::kRoom];
        const char* end = TTokenText::Write(out, c.token, last);
        ASSERT_NE(end, nullptr) << c.token;
        EXPECT_EQ(std::string(static_cast<const char*>(out), end), c.written) << c.token;
    }
}
