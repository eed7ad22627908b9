// TCropCommand: the gridsnip command, runnable on any streams.
#include "app/TCropCommand.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include <gridsnip/files/TARCGISFileTools.h>
#include <gridsnip/grid/TGridError.h>
#include <gridsnip/tools/TMapTools.h>
#include "app/TFdStreamBuf.h"

namespace {

// Enough significant digits that neither values nor georeferencing of a
// typical grid are rounded on the way through.
constexpr std::streamsize kOutputPrecision = 15;

void WriteWindow(const TMap* window, int arguments, const char* const* argv, std::ostream& out) {
    if (arguments == 6) {
        const std::string name = argv[6];
        std::ofstream file(name, std::ios_base::out | std::ios_base::trunc);
        if (!file.is_open()) {
            throw TGridError("Unable to open file " + name);
        }
        file.precision(kOutputPrecision);
        TARCGISFileTools::WriteARCGISFile(window, file);
        file.close();
        if (!file) {
            throw TGridError("Unable to write file " + name);
        }
        return;
    }
    out.precision(kOutputPrecision);
    TARCGISFileTools::WriteARCGISFile(window, out);
    out.flush();
    if (!out) {
        throw TGridError("Unable to write to standard output");
    }
}

}  // namespace

int TCropCommand::Run(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                      std::ostream& err) {
    // Every failure, from the library or from memory, ends up here.
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
        const TPoint northWest(nwX, nwY);
        const TPoint southEast(seX, seY);
        // The grid streams through: only the window's cells are kept, and the
        // whole input is read and checked before anything is written.
        std::unique_ptr<TMap> window;
        if (arguments == 4) {
            window.reset(TARCGISFileTools::LoadARCGISWindow(in, &northWest, &southEast));
        } else {
            const std::string name = argv[5];
            TFdStreamBuf file;
            if (!file.Open(name)) {
                throw TGridError("Unable to open file " + name);
            }
            std::istream input(&file);
            window.reset(TARCGISFileTools::LoadARCGISWindow(input, &northWest, &southEast));
        }
        WriteWindow(window.get(), arguments, argv, out);
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
