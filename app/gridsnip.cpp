// gridsnip: cuts a rectangular window out of an ArcGIS ASCII grid.
#include <iostream>

#include "app/TCropCommand.h"
#include "app/TInputFile.h"
#include "app/TOutputFile.h"

int main(int argc, char** argv) {
    TInputFile standardInput;
    TOutputFile standardOutput;
    return TCropCommand::Run(argc, argv, standardInput, standardOutput, std::cerr);
}
