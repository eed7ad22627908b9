// TInput: where the crop engine's bytes come from, read in large pieces.
#pragma once

#include <cstddef>
#include <cstdint>

// A grid's text from a file or a stream. Every failure of the machine throws
// the input's one read message ("Unable to read file NAME" or "Unable to read
// standard input"); the end of the input is never confused with an error.
class TInput {
  public:
    virtual ~TInput() = default;

    // Up to `size` bytes from the current position; 0 only at the end.
    virtual std::size_t Read(char* to, std::size_t size) = 0;

    // True when the input has a known size and can be read at any offset (a
    // regular file): the engine then reads it in two phases, in parallel.
    virtual bool Positional() const = 0;
    // The size in bytes of a positional input, counted from its start.
    virtual std::uint64_t Size() const = 0;
    // Up to `size` bytes at `offset` of a positional input; 0 only at the end.
    // May be called from several threads at once.
    virtual std::size_t ReadAt(char* to, std::size_t size, std::uint64_t offset) const = 0;

    // Throws the read message, for an input found changed while it is read.
    [[noreturn]] virtual void FailRead() const = 0;
};
