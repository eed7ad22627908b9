// TTokenReader: the body's tokens from a run of bytes that arrive in blocks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// Reads through a bounded buffer: `fill` hands over the next bytes (0 at the
// end), and what is left of a block is moved to the front before the next one
// is read. A token longer than the buffer grows the buffer to hold it whole,
// since a number is judged as a whole word: a token of n bytes takes up to
// 2 n bytes of buffer (it doubles), 3 n for a moment while it grows. Each byte
// is looked at a bounded number of times, however the bytes arrive.
class TTokenReader {
  public:
    using TFill = std::function<std::size_t(char* to, std::size_t size)>;

    TTokenReader(TFill fill, std::size_t block);

    // Starts over on other bytes, keeping the buffer.
    void Restart(TFill fill);

    // Puts bytes already read in front of what `fill` gives.
    void Prime(const char* data, std::size_t size);

    // Skips white space and at most `count` tokens that are plain numbers
    // (TTokenScan::SkipPlain); returns how many it skipped. It stops early at a
    // token that is not a plain number, or at the end of the input.
    std::int64_t SkipPlain(std::int64_t count);

    // The unread bytes [first, safe) in which every token is whole (it ends
    // at white space before `safe`, or at `safe` at the end of the input);
    // reads more when there are none. False at the end of the input. Consume
    // then says how far they were used.
    bool Whole(const char*& first, const char*& safe);
    void Consume(const char* to) {
        MbrSizeCursor = static_cast<std::size_t>(to - MbrPtrBuffer.get());
    }

    // The next token as [first, last), valid until the next call; false at the
    // end of the input.
    bool Next(const char*& first, const char*& last);

    // Offset of the cursor from the first byte the reader was given.
    std::uint64_t Offset() const { return MbrSizeBase + MbrSizeCursor; }

  private:
    // Keeps [cursor, end) and reads more behind it; false when nothing came.
    bool Refill();
    void Grow(std::size_t capacity);

    TFill MbrFill;
    // Not zeroed: only what was read is ever looked at.
    std::unique_ptr<char[]> MbrPtrBuffer;
    std::size_t MbrSizeCapacity;
    std::size_t MbrSizeCursor = 0;
    std::size_t MbrSizeEnd = 0;
    std::uint64_t MbrSizeBase = 0;  // offset of the buffer's first byte
    // Offset up to which Whole found no white space after the cursor.
    std::uint64_t MbrSizeSearched = 0;
    bool MbrBoolEnded = false;
};
