// TCropEngine: cuts the window out of a grid's text and writes it, in bounded memory.
#include "app/TCropEngine.h"

#include <sched.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <istream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <gridsnip/grid/TGridError.h>
#include "app/TBlockWriter.h"
#include "app/TCropWindow.h"
#include "app/TInputStreamBuf.h"
#include "app/TTokenReader.h"
#include "app/TTokenText.h"
#include "files/TARCGISScanner.h"
#include "files/TTokenScan.h"
#include "grid/TEdgeRule.h"
#include "numbers/TNumberText.h"

namespace {

using THeader = TARCGISScanner::THeader;

constexpr std::size_t kBlock = std::size_t{1} << 20;
// Phase 1 gives no thread less than this much of the body.
constexpr std::uint64_t kLeastChunk = std::uint64_t{4} << 20;
// Phase 1 threads at most: with 1 MiB each, their buffers stay within 16 MiB.
constexpr unsigned kMostThreads = 16;
// Tokens skipped between looks at the notes.
constexpr std::int64_t kStride = 1 << 12;
// At most this many notes, whatever the grid (1 MiB).
constexpr std::uint64_t kMostNotes = std::uint64_t{1} << 16;
// A stream whose header claims more edges than this is first read this far
// before the corners are looked up: a short input then fails without the cost
// of forming billions of edges.
constexpr std::int64_t kLookUpAtOnce = std::int64_t{1} << 22;
constexpr std::size_t kReadAhead = std::size_t{8} << 20;

static_assert(TTokenText::kRoom + 1 <= TBlockWriter::kSlack, "a value fits a block's slack");

[[noreturn]] void OutOfRange() {
    throw TGridError(TEdgeRule::kOutOfRange);
}

// A place in the body: a byte offset between tokens, and the number of tokens
// before it.
struct TNote {
    std::uint64_t MbrSizeOffset;
    std::int64_t MbrLngCell;
};

// What one phase 1 thread found in its part of the body.
struct TChunk {
    std::uint64_t MbrSizeFrom = 0, MbrSizeTo = 0;
    std::int64_t MbrLngTokens = 0;  // all tokens, or those before the bad one
    bool MbrBoolBad = false;
    std::string MbrStrBad;           // the bad token, at most 32 bytes of it
    std::vector<TNote> MbrVecNotes;  // cells counted from the chunk's start
    std::exception_ptr MbrError;
};

// How the walks below meet a missing or bad token: a checked walk (a stream,
// or phase 1) reports the format's messages; phase 2 walks text that phase 1
// checked, so a difference means that the file changed meanwhile.
struct TWalk {
    TTokenReader& MbrReader;
    const TInput* MbrPtrChecked;  // the input of phase 2, null for a checked walk
    std::int64_t MbrLngCell;      // of the next token
    std::int32_t MbrLngColumns;

    [[noreturn]] void Missing() const {
        if (MbrPtrChecked != nullptr) {
            MbrPtrChecked->FailRead();
        }
        TARCGISScanner::EndOfFile();
    }
    [[noreturn]] void Bad(const char* first, const char* last) const {
        if (MbrPtrChecked != nullptr) {
            MbrPtrChecked->FailRead();
        }
        TARCGISScanner::ValueError(first, last, MbrLngCell, MbrLngColumns);
    }

    // Passes over `count` tokens, each checked by the full rule.
    void Skip(std::int64_t count) {
        while (count > 0) {
            const std::int64_t skipped = MbrReader.SkipPlain(count);
            count -= skipped;
            MbrLngCell += skipped;
            if (count == 0) {
                break;
            }
            const char* first;
            const char* last;
            if (!MbrReader.Next(first, last)) {
                Missing();
            }
            double ignored;
            if (MbrPtrChecked == nullptr && !TNumberText::ParseDouble(first, last, ignored)) {
                Bad(first, last);
            }
            --count;
            ++MbrLngCell;
        }
    }

    // Writes the next `count` tokens by the exact rule, each followed by a
    // blank, then the line end.
    void Row(std::int64_t count, TBlockWriter& writer) {
        while (count > 0) {
            const char* p;
            const char* safe;
            if (!MbrReader.Whole(p, safe)) {
                Missing();
            }
            // Straight over the reader's bytes: each token is checked and
            // copied in one pass, and converted only when it is not exact.
            while (count > 0 && p != safe) {
                char* to = writer.Room(TTokenText::kRoom + 1);
                const std::int64_t before = count;
                const char* bad;
                const char* badEnd;
                p = TTokenText::WriteRun(p, safe, count, to, writer.RoomEnd(), bad, badEnd);
                MbrLngCell += before - count;
                writer.Advance(to);
                if (bad != nullptr) {
                    Bad(bad, badEnd);
                }
                while (p != safe && TTokenScan::IsSpace(*p)) {
                    ++p;
                }
            }
            MbrReader.Consume(p);
        }
        writer.Put("\n", 1);
    }
};

// The processors this process may run on (taskset, cgroups' cpusets).
unsigned Processors() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        return static_cast<unsigned>(std::max(1, CPU_COUNT(&set)));
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

// The first white space at or after `offset`, or the end of the input.
std::uint64_t SpaceFrom(const TInput& input, std::uint64_t offset) {
    std::vector<char> block(1 << 16);
    const std::uint64_t size = input.Size();
    while (offset < size) {
        const std::size_t n = input.ReadAt(
            block.data(),
            static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - offset)), offset);
        if (n == 0) {
            input.FailRead();  // shorter than it was a moment ago
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (TTokenScan::IsSpace(block[i])) {
                return offset + i;
            }
        }
        offset += n;
    }
    return size;
}

// The bytes [from, to) of a positional input, at most `most` at a time.
TTokenReader::TFill RangeFill(const TInput& input, std::uint64_t from, std::uint64_t to,
                              std::size_t most) {
    return [&input, at = from, to, most](char* buffer, std::size_t size) mutable -> std::size_t {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(
            {static_cast<std::uint64_t>(size), static_cast<std::uint64_t>(most), to - at}));
        if (want == 0) {
            return 0;
        }
        const std::size_t n = input.ReadAt(buffer, want, at);
        if (n == 0) {
            input.FailRead();  // shorter than it was at the start
        }
        at += n;
        return n;
    };
}

// Phase 1 for one chunk: counts and checks its tokens up to the first bad
// one, with a note every `spacing` bytes.
void CheckChunk(const TInput& input, TChunk& chunk, std::uint64_t spacing) {
    try {
        TTokenReader reader(RangeFill(input, chunk.MbrSizeFrom, chunk.MbrSizeTo, kBlock), kBlock);
        std::uint64_t noted = 0;
        for (;;) {
            const std::int64_t skipped = reader.SkipPlain(kStride);
            chunk.MbrLngTokens += skipped;
            if (reader.Offset() - noted >= spacing) {
                noted = reader.Offset();
                chunk.MbrVecNotes.push_back({chunk.MbrSizeFrom + noted, chunk.MbrLngTokens});
            }
            if (skipped == kStride) {
                continue;
            }
            const char* first;
            const char* last;
            if (!reader.Next(first, last)) {
                break;
            }
            double ignored;
            if (!TNumberText::ParseDouble(first, last, ignored)) {
                chunk.MbrBoolBad = true;
                chunk.MbrStrBad.assign(first, std::min<std::ptrdiff_t>(last - first, 32));
                break;
            }
            ++chunk.MbrLngTokens;
        }
    } catch (...) {
        chunk.MbrError = std::current_exception();
    }
}

// Phase 1: every token up to the last expected value checked, in parallel.
// Returns the notes, in file order, with cells counted from the body's start.
std::vector<TNote> CheckBody(const TInput& input, std::uint64_t body, const THeader& header,
                             const TCropEngine::TOptions& options) {
    const std::uint64_t size = input.Size();
    const std::uint64_t length = size > body ? size - body : 0;
    const std::uint64_t wanted = options.MbrIntThreads > 0
                                     ? options.MbrIntThreads
                                     : std::min<std::uint64_t>(Processors(), length / kLeastChunk);
    const std::uint64_t parts = std::clamp<std::uint64_t>(wanted, 1, kMostThreads);
    std::vector<TChunk> chunks(parts);
    // Chunks meet at white space, so that no token is cut in two.
    std::uint64_t from = body;
    for (std::uint64_t k = 0; k < parts; ++k) {
        chunks[k].MbrSizeFrom = from;
        from = k + 1 == parts ? size
                              : std::max(from, SpaceFrom(input, body + length / parts * (k + 1)));
        chunks[k].MbrSizeTo = from;
    }
    const std::uint64_t spacing = options.MbrSizeNoteSpacing > 0
                                      ? options.MbrSizeNoteSpacing
                                      : std::max<std::uint64_t>(16 << 10, length / kMostNotes);
    {
        std::vector<std::jthread> workers;
        std::uint64_t started = 1;
        try {
            for (; started < parts; ++started) {
                workers.emplace_back([&, started] { CheckChunk(input, chunks[started], spacing); });
            }
        } catch (const std::system_error&) {
            // No more threads to be had: the rest is checked here.
        }
        CheckChunk(input, chunks[0], spacing);
        for (std::uint64_t k = started; k < parts; ++k) {
            CheckChunk(input, chunks[k], spacing);
        }
    }
    // The error a reader meets first: chunk by chunk in file order.
    const std::int64_t cells = std::int64_t{header.MbrLngColumns} * header.MbrLngRows;
    std::int64_t before = 0;
    std::vector<TNote> notes{{body, 0}};
    for (TChunk& chunk : chunks) {
        if (chunk.MbrError) {
            std::rethrow_exception(chunk.MbrError);
        }
        if (chunk.MbrBoolBad && before + chunk.MbrLngTokens < cells) {
            const std::string& bad = chunk.MbrStrBad;
            TARCGISScanner::ValueError(bad.data(), bad.data() + bad.size(),
                                       before + chunk.MbrLngTokens, header.MbrLngColumns);
        }
        for (const TNote& note : chunk.MbrVecNotes) {
            notes.push_back({note.MbrSizeOffset, before + note.MbrLngCell});
        }
        before += chunk.MbrLngTokens;
        if (chunk.MbrBoolBad || before >= cells) {
            return notes;
        }
    }
    TARCGISScanner::EndOfFile();
}

// Phase 2: each window row found from the nearest note, or from where the
// row before ended, and written.
void WriteRows(const TInput& input, const std::vector<TNote>& notes, const THeader& header,
               const TCropWindow& window, TBlockWriter& writer) {
    const std::int32_t columns = header.MbrLngColumns;
    const std::int64_t width = window.East() - window.West() + 1;
    // Rows are read in smaller pieces: a narrow window needs little of each row.
    constexpr std::size_t kPiece = std::size_t{64} << 10;
    TTokenReader reader([](char*, std::size_t) -> std::size_t { return 0; }, kBlock);
    bool started = false;
    std::int64_t at = 0;  // the cell the reader stands before
    for (std::int32_t row = window.North(); row <= window.South(); ++row) {
        const std::int64_t target = std::int64_t{row} * columns + window.West();
        const auto note = std::upper_bound(notes.begin(), notes.end(), target,
                                           [](std::int64_t cell, const TNote& n) {
                                               return cell < n.MbrLngCell;
                                           }) -
                          1;
        if (!started || note->MbrLngCell > at) {
            reader.Restart(RangeFill(input, note->MbrSizeOffset, input.Size(), kPiece));
            at = note->MbrLngCell;
            started = true;
        }
        TWalk walk{reader, &input, at, columns};
        walk.Skip(target - at);
        walk.Row(width, writer);
        at = walk.MbrLngCell;
    }
}

// The header, read by the library's reader through a stream over the input.
THeader ReadHeader(TInputStreamBuf& buffer) {
    std::istream in(&buffer);
    // A read error inside the stream passes on as it was thrown.
    in.exceptions(std::ios_base::badbit);
    TARCGISScanner scanner(in);
    return scanner.ReadHeader();
}

void CropPositional(TInput& input, TOutput& output, std::uint64_t body, const THeader& header,
                    const double (&corners)[4], const TCropEngine::TOptions& options) {
    const std::vector<TNote> notes = CheckBody(input, body, header, options);
    const TCropWindow window(header, corners[0], corners[1], corners[2], corners[3]);
    if (!window.Inside()) {
        OutOfRange();
    }
    if (options.MbrBetweenPhases) {
        options.MbrBetweenPhases();
    }
    TBlockWriter writer;
    writer.Send(output);
    const std::string head = window.HeaderText();
    writer.Put(head.data(), head.size());
    WriteRows(input, notes, header, window, writer);
    writer.Finish();
}

void CropStream(TInput& input, TOutput& output, TInputStreamBuf& buffer, const THeader& header,
                const double (&corners)[4]) {
    const std::int32_t columns = header.MbrLngColumns;
    const std::int64_t cells = std::int64_t{columns} * header.MbrLngRows;
    // What the header's reader read ahead comes first, then the input.
    std::vector<char> ahead(buffer.Rest(), buffer.Rest() + buffer.RestSize());
    bool ended = false;
    if (std::int64_t{columns} + header.MbrLngRows > kLookUpAtOnce) {
        while (!ended && ahead.size() < kReadAhead) {
            const std::size_t had = ahead.size();
            ahead.resize(had + kBlock);
            const std::size_t n = input.Read(ahead.data() + had, kBlock);
            ahead.resize(had + n);
            ended = n == 0;
        }
    }
    // The bytes read ahead, then (unless the input ended) the rest of it.
    const auto from = [&](std::size_t& served, bool more) {
        return [&, more](char* to, std::size_t size) -> std::size_t {
            if (served < ahead.size()) {
                const std::size_t n = std::min(size, ahead.size() - served);
                std::memcpy(to, ahead.data() + served, n);
                served += n;
                return n;
            }
            return more ? input.Read(to, size) : 0;
        };
    };
    std::size_t checked = 0;
    if (ended) {
        // The whole input is here: check it before looking up any corner.
        TTokenReader reader(from(checked, false), kBlock);
        TWalk{reader, nullptr, 0, columns}.Skip(cells);
    }
    std::size_t served = 0;
    TTokenReader reader(from(served, !ended), kBlock);
    TWalk walk{reader, nullptr, 0, columns};

    const TCropWindow window(header, corners[0], corners[1], corners[2], corners[3]);
    if (!window.Inside()) {
        walk.Skip(cells);
        OutOfRange();
    }
    TBlockWriter writer;  // holds the window until the input is checked
    const std::string head = window.HeaderText();
    writer.Put(head.data(), head.size());
    const std::int64_t width = window.East() - window.West() + 1;
    walk.Skip(std::int64_t{window.North()} * columns);
    for (std::int32_t row = window.North(); row <= window.South(); ++row) {
        walk.Skip(window.West());
        walk.Row(width, writer);
        walk.Skip(columns - 1 - window.East());
    }
    walk.Skip(cells - walk.MbrLngCell);
    writer.Send(output);
    writer.Finish();
}

}  // namespace

void TCropEngine::Crop(TInput& input, TOutput& output, double x1, double y1, double x2, double y2,
                       const TOptions& options) {
    const double corners[4] = {x1, y1, x2, y2};
    TInputStreamBuf buffer(input);
    const THeader header = ReadHeader(buffer);
    if (input.Positional()) {
        CropPositional(input, output, buffer.Taken(), header, corners, options);
    } else {
        CropStream(input, output, buffer, header, corners);
    }
}
