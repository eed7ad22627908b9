// TCropCommand: the gridsnip command, runnable on any input and output.
#pragma once

#include <ostream>

#include "app/TCropEngine.h"
#include "app/TInput.h"
#include "app/TOutput.h"

// gridsnip NW-Longitude NW-Latitude SE-Longitude SE-Latitude [input_file [output_file]]
//
// Four arguments: grid from `standardInput`, window to `standardOutput`. Five,
// or seven and more: grid from the named file, window to `standardOutput`.
// Six: window to the file named last, which is replaced only once the window
// is whole (TOutputFile). The coordinates are converted with atof. The crop is
// TCropEngine's. Every error is written to `err` as one line and gives exit
// status 1; nothing reaches the output before the input has been checked.
class TCropCommand {
  public:
    // Runs the command over argv[1] .. argv[argc - 1]; returns the exit status.
    static int Run(int argc, const char* const* argv, TInput& standardInput,
                   TOutput& standardOutput, std::ostream& err,
                   const TCropEngine::TOptions& options = {});
};
