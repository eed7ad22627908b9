// TBlockWriter: the window's text gathered in blocks of 1 MiB, written or held.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "app/TOutput.h"

// Text goes into a block of 1 MiB; a full block is written to the output with
// one call, so that a window makes one write per MiB (each write but the last
// 1 MiB or a few bytes more), never one per row. Until
// an output is given (Send), full blocks are held instead: the window read
// from a stream waits so until the input has been checked to its end. Held
// blocks are never copied or regrown, so holding costs the text and at most
// one block more.
class TBlockWriter {
  public:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;
    // A block holds this much more, so that a block is passed on only once it
    // holds kBlock bytes or more: Room asks for at most this much.
    static constexpr std::size_t kSlack = 64;

    // Holds everything until Send.
    TBlockWriter();

    // At least `size` (at most kSlack) bytes to write at; Advance then says
    // how far they were used.
    char* Room(std::size_t size) {
        if (MbrSizeUsed + size > kBlock + kSlack) {
            NextBlock();
        }
        return MbrPtrBlock.get() + MbrSizeUsed;
    }
    void Advance(char* end) { MbrSizeUsed = static_cast<std::size_t>(end - MbrPtrBlock.get()); }
    // The end of the room Room gave: the end of the current block.
    char* RoomEnd() const { return MbrPtrBlock.get() + kBlock + kSlack; }
    void Put(const char* data, std::size_t size);

    // Writes what is held to `output`; from then on full blocks go straight there.
    void Send(TOutput& output);
    // Writes the last, partly full block and finishes the output.
    void Finish();

  private:
    void NextBlock();

    TOutput* MbrPtrOutput = nullptr;
    std::unique_ptr<char[]> MbrPtrBlock;
    std::size_t MbrSizeUsed = 0;
    struct THeld {
        std::unique_ptr<char[]> MbrPtrData;
        std::size_t MbrSizeUsed;
    };
    std::vector<THeld> MbrVecHeld;  // blocks that were full, in order
};
