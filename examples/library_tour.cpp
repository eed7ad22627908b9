// library_tour: load a grid, cut a window, keep the cells at or above 800,
// and write the result to standard output.
//   library_tour examples/sample.asc
#include <gridsnip/gridsnip.h>

#include <cstdint>
#include <iostream>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: library_tour grid.asc\n";
        return 2;
    }
    try {
        const std::unique_ptr<TMap> grid(TARCGISFileTools::LoadARCGISFile(std::string(argv[1])));
        // Corners a fraction of a cell inside the cells meant, never on a boundary.
        const TPoint northWest(-120.496, 37.996), southEast(-120.446, 37.962);
        const std::unique_ptr<TMap> window(TMapTools::Extract(grid.get(), &northWest, &southEast));
        const std::unique_ptr<TMap> high(TMapTools::Threshold(window.get(), 800.0));
        std::cerr << TMapTools::CountValues(high.get(), 0.0) << " of "
                  << std::int64_t{high->MbrLngXDim} * high->MbrLngYDim << " cells below 800\n";
        std::cout.precision(15);
        TARCGISFileTools::WriteARCGISFile(high.get(), std::cout);
    } catch (const TGridError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
