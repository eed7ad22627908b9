// TCropCommand: the gridsnip command, runnable on any streams.
#pragma once

#include <istream>
#include <ostream>

// gridsnip NW-Longitude NW-Latitude SE-Longitude SE-Latitude [input_file [output_file]]
//
// Four arguments: grid from `in`, window to `out`. Five, or seven and more: grid
// from the named file, window to `out`. Six: window to the file named last. The
// coordinates are converted with atof. Every error is written to `err` as one
// line and gives exit status 1; nothing reaches `out` and no output file is
// opened before the window has been cut. The window is written at precision 15.
class TCropCommand {
  public:
    // Runs the command over argv[1] .. argv[argc - 1]; returns the exit status.
    static int Run(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                   std::ostream& err);
};
