// Fuzz target: a grid that loads, written at precision 17 and loaded again, gives
// back its dimensions and every value bit for bit.
#include <cstring>
#include <memory>
#include <sstream>

#include <gridsnip/files/TARCGISFileTools.h>
#include <gridsnip/grid/TGridError.h>
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<TMap> map;
    try {
        std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
        map.reset(TARCGISFileTools::LoadARCGISFile(in));
    } catch (const TGridError&) {
        return 0;
    }
    std::ostringstream out;
    out.precision(17);
    TARCGISFileTools::WriteARCGISFile(map.get(), out);
    std::istringstream back(out.str());
    const std::unique_ptr<TMap> again(TARCGISFileTools::LoadARCGISFile(back));
    FUZZ_CHECK(again->MbrLngXDim == map->MbrLngXDim);
    FUZZ_CHECK(again->MbrLngYDim == map->MbrLngYDim);
    for (std::int32_t y = 0; y < map->MbrLngYDim; ++y) {
        for (std::int32_t x = 0; x < map->MbrLngXDim; ++x) {
            const double a = map->GetPointVal(x, y);
            const double b = again->GetPointVal(x, y);
            // NaNs come back as NaNs; everything else bit for bit.
            FUZZ_CHECK((a != a && b != b) || std::memcmp(&a, &b, sizeof a) == 0);
        }
    }
    return 0;
}
