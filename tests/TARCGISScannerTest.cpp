// TARCGISScanner: the fast token checks agree with the full number rule.
#include "files/TARCGISScanner.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <sstream>
#include <string>

#include "files/TNumberText.h"

TEST(TARCGISScanner, FastChecksAgreeWithTheFullRuleOnRandomTokens) {
    std::mt19937 random(11);
    const std::string alphabet = "0123456789000111..--+eEnaifx";
    for (int trial = 0; trial < 200000; ++trial) {
        std::string token;
        const int length = 1 + static_cast<int>(random() % 9);
        for (int i = 0; i < length; ++i)
            token += alphabet[random() % alphabet.size()];
        const char* first = token.data();
        const char* last = first + token.size();
        double full = 0;
        const bool valid = TNumberText::ParseDouble(first, last, full);
        if (TARCGISScanner::IsPlainNumber(first, last)) {
            ASSERT_TRUE(valid) << token;
        }
        double fast = 0;
        if (TARCGISScanner::ParsePlainNumber(first, last, fast)) {
            ASSERT_TRUE(valid) << token;
            ASSERT_EQ(std::signbit(fast), std::signbit(full)) << token;
            ASSERT_EQ(fast, full) << token;
        }
    }
}

TEST(TARCGISScanner, FastParseIsExactOnDecimalsOfEveryLength) {
    std::mt19937_64 random(5);
    for (int trial = 0; trial < 200000; ++trial) {
        const int digits = 1 + static_cast<int>(random() % 17);
        std::string token = random() % 2 ? "-" : "";
        for (int i = 0; i < digits; ++i)
            token += static_cast<char>('0' + random() % 10);
        const auto point = random() % (static_cast<unsigned>(digits) + 1);
        token.insert(token.size() - point, ".");
        double fast = 0, full = 0;
        const char* first = token.data();
        const char* last = first + token.size();
        ASSERT_TRUE(TARCGISScanner::IsPlainNumber(first, last)) << token;
        ASSERT_TRUE(TNumberText::ParseDouble(first, last, full)) << token;
        if (TARCGISScanner::ParsePlainNumber(first, last, fast)) {
            ASSERT_EQ(fast, full) << token;
        }
    }
    // Long plain tokens are still numbers, and a 301-character one takes the full rule.
    const std::string longest = "1" + std::string(299, '0');
    EXPECT_TRUE(TARCGISScanner::IsPlainNumber(longest.data(), longest.data() + longest.size()));
    const std::string tooLong = longest + "0";
    EXPECT_FALSE(TARCGISScanner::IsPlainNumber(tooLong.data(), tooLong.data() + tooLong.size()));
}

TEST(TARCGISScanner, UnbufferedStreamsKeepTheirPosition) {
    // A stream buffer without a get area is read one peeked character at a time.
    struct Unbuffered : std::streambuf {
        std::string text;
        std::size_t at = 0;
        int_type underflow() override { return at < text.size() ? text[at] : traits_type::eof(); }
        int_type uflow() override { return at < text.size() ? text[at++] : traits_type::eof(); }
    } buffer;
    buffer.text = "ncols 2 nrows 1 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -1 5 6 rest";
    std::istream in(&buffer);
    {
        TARCGISScanner scanner(in);
        EXPECT_EQ(scanner.ReadHeader().MbrLngColumns, 2);
        EXPECT_EQ(scanner.ReadValue(0, 0), 5);
        EXPECT_EQ(scanner.ReadValue(1, 0), 6);
    }
    EXPECT_EQ(buffer.text.substr(buffer.at), " rest");
}
