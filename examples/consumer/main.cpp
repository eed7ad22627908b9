// consumer: links the installed gridsnip library: cuts the north-western quarter
// of a grid, adds the grid to itself there, keeps the values at or above the
// mean of the range, counts the cells kept, and writes the result.
#include <gridsnip/gridsnip.h>

#include <iostream>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: consumer grid.asc\n";
        return 2;
    }
    try {
        const std::unique_ptr<TMap> grid(TARCGISFileTools::LoadARCGISFile(std::string(argv[1])));
        // Corners at the centres of the first cell and of the middle cell.
        const std::unique_ptr<TPoint> first(grid->GetCoordinates(0, 0));
        const std::unique_ptr<TPoint> middle(
            grid->GetCoordinates(grid->MbrLngXDim / 2, grid->MbrLngYDim / 2));
        const std::unique_ptr<TMap> quarter(
            TMapTools::Extract(grid.get(), first.get(), middle.get()));
        const std::unique_ptr<TMap> doubled(TMapTools::Add(quarter.get(), quarter.get()));
        const std::unique_ptr<TMap> high(TMapTools::Threshold(doubled.get(), 1500.0));
        const std::int32_t zeros = TMapTools::CountValues(high.get(), 0.0);
        std::cerr << "cells below the threshold: " << zeros << " of "
                  << std::int64_t{high->MbrLngXDim} * high->MbrLngYDim << "\n";
        std::cout.precision(15);
        TARCGISFileTools::WriteARCGISFile(high.get(), std::cout);
    } catch (const TGridError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
