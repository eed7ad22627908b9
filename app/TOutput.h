// TOutput: where the crop engine's window goes, in large blocks.
#pragma once

#include <cstddef>

// A window's text to a file or a stream. Every failure throws the output's
// one write message.
class TOutput {
  public:
    virtual ~TOutput() = default;

    // Writes all `size` bytes, or throws.
    virtual void Write(const char* data, std::size_t size) = 0;
    // Called once after the last byte: makes the output final (for a file:
    // closes it and puts it in place), or throws.
    virtual void Finish() = 0;
};
