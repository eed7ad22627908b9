// gridsnip: cuts a rectangular window out of an ArcGIS ASCII grid.
#include <iostream>

#include "app/TCropCommand.h"
#include "app/TFdStreamBuf.h"

int main(int argc, char** argv) {
    // Standard input arrives in large blocks; output goes through unsynchronised
    // streams, which keep their own buffers.
    std::ios_base::sync_with_stdio(false);
    TFdStreamBuf standardInput(0);
    std::istream input(&standardInput);
    return TCropCommand::Run(argc, argv, input, std::cout, std::cerr);
}
