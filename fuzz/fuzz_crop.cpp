// Fuzz target: the whole crop, in memory, on the command's own path. Four lines
// of corners, then a grid. The streamed crop must equal loading the whole grid
// and cutting it, byte for byte, errors included.
#include <memory>
#include <sstream>

#include <gridsnip/files/TARCGISFileTools.h>
#include <gridsnip/grid/TGridError.h>
#include <gridsnip/tools/TMapTools.h>
#include "FuzzInput.h"
#include "app/TCropCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::string words[4] = {input.Line(), input.Line(), input.Line(), input.Line()};
    const std::string grid = input.Rest();
    const char* argv[] = {"gridsnip", words[0].c_str(), words[1].c_str(), words[2].c_str(),
                          words[3].c_str()};
    std::istringstream in(grid);
    std::ostringstream out, err;
    const int status = TCropCommand::Run(5, argv, in, out, err);

    std::string plainOut, plainErr;
    try {
        std::istringstream again(grid);
        const std::unique_ptr<TMap> whole(TARCGISFileTools::LoadARCGISFile(again));
        const TPoint nw(std::atof(argv[1]), std::atof(argv[2]));
        const TPoint se(std::atof(argv[3]), std::atof(argv[4]));
        const std::unique_ptr<TMap> window(TMapTools::Extract(whole.get(), &nw, &se));
        std::ostringstream written;
        written.precision(15);
        TARCGISFileTools::WriteARCGISFile(window.get(), written);
        plainOut = written.str();
    } catch (const TGridError& error) {
        plainErr = std::string(error.what()) + "\n";
    }
    FUZZ_CHECK(status == (plainErr.empty() ? 0 : 1));
    FUZZ_CHECK(out.str() == plainOut);
    FUZZ_CHECK(err.str() == plainErr);
    return 0;
}
