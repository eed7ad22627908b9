// TNumberText: which tokens are numbers, and formatting identical to the stream's.
#include "numbers/TNumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>
#include <string>

TEST(TNumberText, ParseDoubleAcceptsWholeNumbersOnly) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"0", true, 0},
        {"-9999", true, -9999},
        {"1e-3", true, 0.001},
        {"+5", true, 5},
        {".5", true, 0.5},
        {"5.", true, 5},
        {"1E3", true, 1000},
        {"inf", true, INFINITY},
        {"-infinity", true, -INFINITY},
        {"1e999", false, 0},
        {"0x10", false, 0},
        {"1,5", false, 0},
        {"--3", false, 0},
        {"+-1", false, 0},
        {"++1", false, 0},
        {"+", false, 0},
        {"", false, 0},
        {"12abc", false, 0},
        {"-", false, 0},
        {"1e", false, 0},
        {"\xef\xbb\xbf"
         "1",
         false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string text = c.text;
        double value = 0;
        ASSERT_EQ(TNumberText::ParseDouble(text.data(), text.data() + text.size(), value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
    for (const char* nan : {"nan", "-nan", "+nan"}) {
        double value = 0;
        const std::string text = nan;
        ASSERT_TRUE(TNumberText::ParseDouble(text.data(), text.data() + text.size(), value)) << nan;
        EXPECT_TRUE(std::isnan(value));
    }
}

TEST(TNumberText, FormatDoubleWritesWhatThePlainStreamWrites) {
    std::mt19937_64 random(20261211);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  -9999,
                                  0.5,
                                  1234.5678,
                                  1e-5,
                                  1e15,
                                  1e16,
                                  123456.5,
                                  999999.5,
                                  9.9999995,
                                  5e-324,
                                  1.7976931348623157e308,
                                  -2.2250738585072014e-308,
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN(),
                                  -std::numeric_limits<double>::quiet_NaN()};
    for (int i = 0; i < 2000; ++i) {
        values.push_back(std::bit_cast<double>(random()));                           // any bits
        values.push_back(static_cast<double>(static_cast<std::int32_t>(random())));  // integers
        values.push_back(std::round(std::ldexp(static_cast<double>(random() % 100000000), -10)) /
                         100);
    }
    for (int precision : {0, 1, 6, 15, 17, 25, -1}) {
        std::ostringstream stream;
        stream.precision(precision);
        ASSERT_TRUE(TNumberText::IsPlainFormat(stream));
        for (double value : values) {
            std::ostringstream expected;
            expected.precision(precision);
            expected << value;
            const int digits = TNumberText::Precision(stream);
            std::string actual(TNumberText::Room(digits), '\0');
            actual.resize(static_cast<std::size_t>(
                TNumberText::FormatDouble(actual.data(), value, digits) - actual.data()));
            ASSERT_EQ(actual, expected.str()) << "precision " << precision;
        }
    }
}

TEST(TNumberText, SpecialStreamFormatsAreNotPlain) {
    std::ostringstream fixed, showpos, width, upper;
    fixed << std::fixed;
    showpos << std::showpos;
    width.width(8);
    upper << std::uppercase;
    for (const std::ostringstream* s : {&fixed, &showpos, &width, &upper}) {
        EXPECT_FALSE(TNumberText::IsPlainFormat(*s));
    }
}

// The exact rule against its plain statement: printf at 15, 16 and 17 digits,
// the first that strtod reads back as the same bits.
TEST(TNumberText, FormatExactWritesTheFewestDigitsThatReadBack) {
    const auto reference = [](double value) {
        char text[64];
        for (int precision = 15; precision <= 17; ++precision) {
            std::snprintf(text, sizeof text, "%.*g", precision, value);
            if (precision == 17 || std::strtod(text, nullptr) == value) {
                break;
            }
        }
        return std::string(text);
    };
    const auto exact = [](double value) {
        char text[TNumberText::kExactRoom];
        return std::string(text, TNumberText::FormatExact(text, value));
    };
    const struct {
        double MbrDblValue;
        const char* MbrText;
    } cases[] = {{674.79, "674.79"},
                 {4380220, "4380220"},
                 {1721.0031195746528283, "1721.0031195746528"},
                 {0.1 + 0.2, "0.30000000000000004"},
                 {0.008333333333333333, "0.008333333333333333"},
                 {-9999, "-9999"},
                 {-0.0, "-0"},
                 {1e100, "1e+100"},
                 {5e-324, "4.94065645841247e-324"}};
    for (const auto& c : cases) {
        EXPECT_EQ(exact(c.MbrDblValue), c.MbrText);
        EXPECT_EQ(exact(c.MbrDblValue), reference(c.MbrDblValue));
    }
    std::mt19937_64 random(20261212);
    for (int i = 0; i < 20000; ++i) {
        const double any = std::bit_cast<double>(random());
        const double decimal =
            static_cast<double>(static_cast<std::int64_t>(random() % 2000000000) - 1000000000) /
            std::pow(10.0, static_cast<double>(random() % 12));
        for (double value : {any, decimal, std::nextafter(decimal, 1e300)}) {
            const std::string text = exact(value);
            ASSERT_EQ(text, reference(value)) << std::bit_cast<std::uint64_t>(value);
            if (!std::isnan(value)) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(std::strtod(text.c_str(), nullptr)),
                          std::bit_cast<std::uint64_t>(value));
            }
        }
    }
}
