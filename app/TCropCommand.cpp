// TCropCommand: the gridsnip command, runnable on any input and output.
#include "app/TCropCommand.h"

#include <cstdlib>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include <gridsnip/grid/TGridError.h>
#include "app/TInputFile.h"
#include "app/TOutputFile.h"

int TCropCommand::Run(int argc, const char* const* argv, TInput& standardInput,
                      TOutput& standardOutput, std::ostream& err,
                      const TCropEngine::TOptions& options) {
    // Every failure, from the engine, the machine or memory, ends up here.
    try {
        const int arguments = argc - 1;
        if (arguments < 4) {
            throw TGridError(
                "Usage: gridsnip NW-Longitude NW-Latitude SE-Longitude SE-Latitude input_file "
                "output_file");
        }
        const double nwX = std::atof(argv[1]);
        const double nwY = std::atof(argv[2]);
        const double seX = std::atof(argv[3]);
        const double seY = std::atof(argv[4]);
        std::unique_ptr<TInputFile> file;
        if (arguments >= 5) {
            file = std::make_unique<TInputFile>(argv[5]);
        }
        TInput& input = file ? *file : standardInput;
        if (arguments == 6) {
            TOutputFile output(argv[6]);
            TCropEngine::Crop(input, output, nwX, nwY, seX, seY, options);
        } else {
            TCropEngine::Crop(input, standardOutput, nwX, nwY, seX, seY, options);
        }
        return 0;
    } catch (const TGridError& error) {
        err << error.what() << std::endl;
    } catch (const std::bad_alloc&) {
        err << "Not enough memory to crop this grid" << std::endl;
    } catch (const std::length_error&) {
        err << "Not enough memory to crop this grid" << std::endl;
    }
    return 1;
}
