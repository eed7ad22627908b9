// TTokenReader: whole tokens from bytes that arrive in blocks of any size.
#include "app/TTokenReader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Hands out `text` at most `piece` bytes at a time, as a pipe does.
TTokenReader::TFill Pieces(const std::string& text, std::size_t piece) {
    return [&text, piece, at = std::size_t{0}](char* to, std::size_t size) mutable {
        const std::size_t n = std::min({size, piece, text.size() - at});
        std::memcpy(to, text.data() + at, n);
        at += n;
        return n;
    };
}

// The tokens Whole hands out, each cut at white space.
std::vector<std::string> WholeTokens(TTokenReader& reader) {
    std::vector<std::string> tokens;
    const char* first;
    const char* safe;
    while (reader.Whole(first, safe)) {
        const char* p = first;
        while (p != safe) {
            while (p != safe && (*p == ' ' || *p == '\n')) {
                ++p;
            }
            const char* start = p;
            while (p != safe && *p != ' ' && *p != '\n') {
                ++p;
            }
            if (p != start) {
                tokens.emplace_back(start, p);
            }
        }
        reader.Consume(safe);
    }
    return tokens;
}

}  // namespace

TEST(TTokenReader, WholeNeverCutsATokenWhateverTheBlocks) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 200; ++trial) {
        std::string text;
        std::vector<std::string> expected;
        const int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            text.append(random() % 3, random() % 2 ? ' ' : '\n');
            // Short tokens and some longer than the reader's block.
            std::string token(1 + random() % (random() % 4 == 0 ? 200 : 5), 'a');
            for (char& c : token) {
                c = static_cast<char>('a' + random() % 26);
            }
            text += token;
            expected.push_back(token);
            text += ' ';
        }
        if (random() % 2 && !text.empty()) {
            text.pop_back();  // the last token ends at the end of the input
        }
        TTokenReader reader(Pieces(text, 1 + random() % 40), 16);
        ASSERT_EQ(WholeTokens(reader), expected) << text;
    }
}

namespace {

// In a child: 16 MiB in 4 KiB pieces within a few CPU seconds, then exit 0
// when the token came whole.
void ReadLongTokenWithinCpuSeconds() {
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    const auto limit = static_cast<rlim_t>(used.ru_utime.tv_sec + used.ru_stime.tv_sec + 5);
    const rlimit cpu{limit, limit};
    setrlimit(RLIMIT_CPU, &cpu);
    const std::string text = std::string(std::size_t{16} << 20, '7') + " 1";
    TTokenReader reader(Pieces(text, 4096), 4096);
    const std::vector<std::string> tokens = WholeTokens(reader);
    std::exit(tokens.size() == 2 && tokens[0].size() == text.size() - 2 ? 0 : 1);
}

}  // namespace

TEST(TTokenReader, OneLongTokenInSmallPiecesTakesLinearWork) {
    // Looking back over the whole token after every piece is 4096 looks of
    // 8 MiB on average, far beyond the child's few CPU seconds; one look at
    // each byte takes a fraction of one.
    EXPECT_EXIT(ReadLongTokenWithinCpuSeconds(), ::testing::ExitedWithCode(0), "");
}
