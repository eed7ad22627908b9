// Fuzz target: any bytes through the reader; a grid or a library error, nothing else.
#include <memory>
#include <sstream>

#include <gridsnip/files/TARCGISFileTools.h>
#include <gridsnip/grid/TGridError.h>
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        const std::unique_ptr<TMap> map(TARCGISFileTools::LoadARCGISFile(in));
        FUZZ_CHECK(map->ValuesMatchDimensions());
        FUZZ_CHECK(map->MbrLngXDim >= 1 && map->MbrLngYDim >= 1);
        FUZZ_CHECK(map->MbrPtrXAxis->GetSize() == map->MbrLngXDim);
        FUZZ_CHECK(map->MbrPtrYAxisInterval->GetSize() == map->MbrLngYDim + 1);
    } catch (const TGridError&) {
    }
    return 0;
}
