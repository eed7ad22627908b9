// gridsnip: cuts a rectangular window out of an ArcGIS ASCII grid.
#include <iostream>

#include "app/TCropCommand.h"

int main(int argc, char** argv) {
    // The reader scans standard input's own buffer; unsynchronised streams have one.
    std::ios_base::sync_with_stdio(false);
    std::cin.tie(nullptr);
    return TCropCommand::Run(argc, argv, std::cin, std::cout, std::cerr);
}
