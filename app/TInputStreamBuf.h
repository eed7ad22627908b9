// TInputStreamBuf: a read-only stream buffer over a TInput, in large blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <streambuf>

#include "app/TInput.h"

// Lets the library's header reader work on the engine's input: the input is
// read in order (TInput::Read) into one block at a time. The input's read
// message passes through the buffer as it is thrown.
class TInputStreamBuf : public std::streambuf {
  public:
    explicit TInputStreamBuf(TInput& input);

    // How many bytes of the input have been taken from the buffer so far.
    std::uint64_t Taken() const;
    // The bytes read from the input but not yet taken.
    const char* Rest() const { return gptr(); }
    std::size_t RestSize() const { return static_cast<std::size_t>(egptr() - gptr()); }

  protected:
    int_type underflow() override;

  private:
    TInput& MbrInput;
    std::unique_ptr<char[]> MbrPtrBlock;  // not zeroed: only what was read is looked at
    std::uint64_t MbrSizeRead = 0;        // bytes read from the input, in all blocks
};
