// consumer: loads a grid, cuts its north-western quarter and writes it out.
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
        std::cout.precision(15);
        TARCGISFileTools::WriteARCGISFile(quarter.get(), std::cout);
    } catch (const TGridError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
