// TCropEngine: cuts the window out of a grid's text and writes it, in bounded memory.
#pragma once

#include <cstddef>
#include <functional>

#include "app/TInput.h"
#include "app/TOutput.h"

// The crop of LoadARCGISFile + TMapTools::Extract + the writer, with the same
// cells, header geometry and messages, without building the grid: values are
// handled as text, and only the window's text is ever written.
//
// A positional input (a regular file) is read in two phases. Phase 1 splits the
// body at white space across the threads, each of which checks its tokens (the
// scanner's rule: a number as a whole word) and notes, every few KiB, where a
// token starts and how many came before it. Phase 2 finds each window row from
// the nearest note and writes it. Any other input is read once, and the
// window's text is held until the input has been checked to its last expected
// value.
//
// Errors, in the order a sequential reader meets them: the header's messages;
// then the first bad value in file order before the last expected value, else
// the end-of-file message (values after the last expected one are never
// judged); then "Ordinate is out of range in TAxis::GetIndex"; then the
// input's and output's own messages. Nothing reaches the output before the
// input has been checked to its last expected value.
//
// Every number is written by the exact rule (TNumberText::FormatExact); a
// value whose text already is what the rule writes is copied (TTokenText).
// Memory: from a positional input, 1 MiB per thread and the output block, and
// at most 1 MiB of notes, whatever the grid and window; from a stream, the
// window's text besides. One exception: a single token is held whole to be
// judged as one word, so a token of n bytes takes about 2 n bytes while it is
// read (3 n for a moment while the buffer grows); its work stays linear in n.
class TCropEngine {
  public:
    struct TOptions {
        // Threads for phase 1; 0 for every processor this process may use,
        // each given at least 4 MiB of the body. A count given here is used
        // as it is (up to 16), however small the body: tests split tiny grids.
        unsigned MbrIntThreads = 0;
        // Bytes between phase 1's notes; 0 for the automatic spacing (at
        // least 16 KiB, and never more than 65536 notes).
        std::size_t MbrSizeNoteSpacing = 0;
        // Called between the two phases (tests change the file there).
        std::function<void()> MbrBetweenPhases;
    };

    // Crops between the corners (x1, y1) and (x2, y2), in any order, and
    // writes the window to `output`, then finishes it. Throws TGridError with
    // the messages above; std::bad_alloc when memory runs out.
    static void Crop(TInput& input, TOutput& output, double x1, double y1, double x2, double y2,
                     const TOptions& options);
};
