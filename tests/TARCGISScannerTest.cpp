// TARCGISScanner: the fast token checks agree with the full number rule.
#include "files/TARCGISScanner.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gridsnip/files/TARCGISFileTools.h>
#include "TestSupport.h"
#include "numbers/TNumberText.h"

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
        if (TNumberText::IsPlainNumber(first, last)) {
            ASSERT_TRUE(valid) << token;
        }
        double fast = 0;
        if (TNumberText::ParsePlainNumber(first, last, fast)) {
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
        token.insert(token.begin() + static_cast<std::ptrdiff_t>(token.size() - point), '.');
        double fast = 0, full = 0;
        const char* first = token.data();
        const char* last = first + token.size();
        ASSERT_TRUE(TNumberText::IsPlainNumber(first, last)) << token;
        ASSERT_TRUE(TNumberText::ParseDouble(first, last, full)) << token;
        if (TNumberText::ParsePlainNumber(first, last, fast)) {
            ASSERT_EQ(fast, full) << token;
        }
    }
    // Long plain tokens are still numbers, and a 301-character one takes the full rule.
    const std::string longest = "1" + std::string(299, '0');
    EXPECT_TRUE(TNumberText::IsPlainNumber(longest.data(), longest.data() + longest.size()));
    const std::string tooLong = longest + "0";
    EXPECT_FALSE(TNumberText::IsPlainNumber(tooLong.data(), tooLong.data() + tooLong.size()));
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
        double values[2];
        scanner.ReadValues(values, 2, 0, 2);
        EXPECT_EQ(values[0], 5);
        EXPECT_EQ(values[1], 6);
    }
    EXPECT_EQ(buffer.text.substr(buffer.at), " rest");
}

namespace {

// The message the full rule gives for the first bad token, or "".
std::string FirstBadToken(const std::vector<std::string>& tokens, int columns) {
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        double v;
        const std::string& t = tokens[i];
        if (!TNumberText::ParseDouble(t.data(), t.data() + t.size(), v)) {
            return "File format error: value '" + t.substr(0, 32) + "' at column " +
                   std::to_string(i % static_cast<std::size_t>(columns)) + ", row " +
                   std::to_string(i / static_cast<std::size_t>(columns)) +
                   " is not a number in TARCGISFileTools::LoadARCGISFile";
        }
    }
    return "";
}

}  // namespace

TEST(TARCGISScanner, BlockScansAgreeWithTheRuleTokenByToken) {
    // Long bodies, so that the block-wise paths see every kind of token at every
    // offset; separators of every kind and length.
    const std::vector<std::string> odd = {
        "-",  ".",   "1.2.3", "--1", "1-2", "-.", ".-1", "5e3", "nan",   "+5",  "..5",   "-5.",
        ".5", "1..", "x",     "-0",  "12-", "0.", "-.5", "+-1", "1e999", "inf", "00.00", "5.-"};
    const std::string separators[] = {" ", "  ", "\n", "\r\n", "\t", " \n "};
    std::mt19937 random(3);
    for (int trial = 0; trial < 1000; ++trial) {
        const int columns = 1 + static_cast<int>(random() % 40);
        const int count = columns * (1 + static_cast<int>(random() % 60));
        std::vector<std::string> tokens;
        std::string body;
        for (int i = 0; i < count; ++i) {
            std::string t;
            if (random() % (trial % 2 ? 400u : 30u) == 0) {
                t = odd[random() % odd.size()];
            } else {
                t = RandomPlainToken(random);
            }
            tokens.push_back(t);
            body += t + separators[random() % 6];
        }
        const std::string expected = FirstBadToken(tokens, columns);
        for (bool convert : {false, true}) {
            std::istringstream in(body);
            TARCGISScanner scanner(in);
            std::vector<double> values(static_cast<std::size_t>(count));
            std::string message;
            try {
                if (convert) {
                    scanner.ReadValues(values.data(), count, 0, columns);
                } else {
                    scanner.SkipValues(count, 0, columns);
                }
            } catch (const std::exception& error) {
                message = error.what();
            }
            ASSERT_EQ(message, expected) << "trial " << trial << (convert ? " read" : " skip");
            if (convert && expected.empty()) {
                for (int i = 0; i < count; ++i) {
                    double v;
                    const std::string& t = tokens[static_cast<std::size_t>(i)];
                    TNumberText::ParseDouble(t.data(), t.data() + t.size(), v);
                    ASSERT_EQ(std::bit_cast<std::uint64_t>(values[static_cast<std::size_t>(i)]),
                              std::bit_cast<std::uint64_t>(v))
                        << t;
                }
            }
        }
    }
}

TEST(TARCGISScanner, GetAreasLargerThanTwoGiB) {
    // Regression: the bytes taken were handed back to the stream with an int,
    // so a get area of more than 2 GiB ended in SIGSEGV. The get area here is
    // 2 GiB and 2 MiB of mostly blanks, which all share one page of memory: a
    // reservation without backing, one page of blanks mapped into every slot,
    // and private pages for the text at both ends.
    constexpr std::size_t kSlot = std::size_t{1} << 20;
    constexpr std::size_t kSlots = 2050;
    constexpr std::size_t kSize = kSlot * kSlots;
    char* area = static_cast<char*>(
        mmap(nullptr, kSize, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0));
    ASSERT_NE(area, MAP_FAILED);
    const int blanks = memfd_create("blanks", 0);
    ASSERT_GE(blanks, 0);
    ASSERT_EQ(ftruncate(blanks, kSlot), 0);
    const std::string page(kSlot, ' ');
    ASSERT_EQ(pwrite(blanks, page.data(), page.size(), 0), static_cast<ssize_t>(kSlot));
    for (std::size_t slot = 1; slot + 1 < kSlots; ++slot) {
        ASSERT_NE(mmap(area + slot * kSlot, kSlot, PROT_READ, MAP_SHARED | MAP_FIXED, blanks, 0),
                  MAP_FAILED);
    }
    close(blanks);
    for (std::size_t slot : {std::size_t{0}, kSlots - 1}) {
        ASSERT_NE(mmap(area + slot * kSlot, kSlot, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0),
                  MAP_FAILED);
        std::memset(area + slot * kSlot, ' ', kSlot);
    }
    const std::string head =
        "ncols 2 nrows 2 xllcorner 0 yllcorner 0 cellsize 1 NODATA_value -9999 1 2 3";
    std::memcpy(area, head.data(), head.size());
    const std::string tail = "4 rest";
    std::memcpy(area + kSize - tail.size(), tail.data(), tail.size());

    struct TArea : std::streambuf {
        TArea(char* first, std::size_t size) { setg(first, first, first + size); }
    } buffer(area, kSize);
    std::istream in(&buffer);
    const std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(in));
    EXPECT_EQ(map->MbrVecValues, (std::vector<std::vector<double>>{{1, 2}, {3, 4}}));
    // The stream stands just after the last value read.
    std::string rest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(rest, " rest");
    munmap(area, kSize);
}
