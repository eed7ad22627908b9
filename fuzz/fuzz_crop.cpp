// Fuzz target: the crop engine on the command's own path. Four lines of
// corners, a line whose first byte picks how the input is read (stream or
// file, pieces, threads), then a grid. The engine must equal loading the whole
// grid, cutting it and writing it with the exact rule, byte for byte, errors
// included.
#include "FuzzInput.h"
#include "tests/TCropReference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::string words[4] = {input.Line(), input.Line(), input.Line(), input.Line()};
    const std::string way = input.Line();
    const std::string grid = input.Rest();
    const double corners[4] = {std::atof(words[0].c_str()), std::atof(words[1].c_str()),
                               std::atof(words[2].c_str()), std::atof(words[3].c_str())};
    const unsigned pick = way.empty() ? 0 : static_cast<unsigned char>(way[0]);
    const std::size_t pieces[] = {std::size_t{1} << 20, 1, 3, 64};
    TCropEngine::TOptions options;
    options.MbrIntThreads = 1 + (pick >> 3) % 4;
    options.MbrSizeNoteSpacing = 1 + (pick >> 5);
    const TCropOutcome engine =
        TCropReference::Engine(grid, corners, pieces[(pick >> 1) % 4], (pick & 1) != 0, options);
    const TCropOutcome plain = TCropReference::Plain(grid, corners);
    FUZZ_CHECK(engine.MbrIntStatus == plain.MbrIntStatus);
    FUZZ_CHECK(engine.MbrStrOut == plain.MbrStrOut);
    FUZZ_CHECK(engine.MbrStrErr == plain.MbrStrErr);
    return 0;
}
