// Fuzz target: the library's operations on fuzzed grids and arguments. Each
// either returns a well-formed result or raises its message; nothing crashes,
// leaks or hangs. Input: an operation number, three numbers, then a grid.
#include <cmath>
#include <memory>
#include <sstream>

#include <gridsnip/files/TARCGISFileTools.h>
#include <gridsnip/grid/TGridError.h>
#include <gridsnip/tools/TMapTools.h>
#include <gridsnip/tools/TPointTools.h>
#include <gridsnip/tools/TVectorTools.h>
#include "FuzzInput.h"

namespace {

using MapPtr = std::unique_ptr<TMap>;

void CheckWellFormed(const TMap* map) {
    FUZZ_CHECK(map != nullptr);
    FUZZ_CHECK(map->ValuesMatchDimensions());
    if (map->MbrPtrXAxis != nullptr) {
        FUZZ_CHECK(map->MbrPtrXAxis->GetSize() == map->MbrLngXDim);
        FUZZ_CHECK(map->MbrPtrXAxisInterval->GetSize() == map->MbrLngXDim + 1);
    }
    if (map->MbrPtrYAxis != nullptr) {
        FUZZ_CHECK(map->MbrPtrYAxis->GetSize() == map->MbrLngYDim);
        FUZZ_CHECK(map->MbrPtrYAxisInterval->GetSize() == map->MbrLngYDim + 1);
    }
}

void Own(TMap* map) {
    CheckWellFormed(MapPtr(map).get());
}

void OwnAll(std::vector<TMap*> maps) {
    for (TMap* map : maps)
        Own(map);
}

void Run(int operation, double p, double q, double r, TMap* a, TMap* b) {
    const double res = a->MbrDblResolution;
    // Sizes that follow from the arguments are kept within a few times the grid.
    const double newRes = std::isfinite(p) && std::fabs(p) >= res / 4 ? std::fabs(p) : res;
    const int small = static_cast<int>(std::fabs(std::fmod(std::isfinite(p) ? p : 0, 4.0)));
    const TPoint c1(p, q), c2(q, r);
    std::vector<TMap*> list = {a, b};
    std::ostringstream out;
    switch (operation) {
        case 0:
            Own(TMapTools::Add(a, b));
            break;
        case 1:
            Own(TMapTools::Subtract(a, b));
            break;
        case 2:
            Own(TMapTools::Multiply(a, b));
            break;
        case 3:
            Own(TMapTools::Divide(a, b));
            break;
        case 4:
            Own(TMapTools::Multiply(a, p));
            break;
        case 5:
            Own(TMapTools::Divide(a, p));
            break;
        case 6:
            Own(TMapTools::Sum(list));
            break;
        case 7:
            Own(TMapTools::DataCounts(list));
            break;
        case 8:
            Own(TMapTools::Average(list));
            break;
        case 9:
            Own(TMapTools::Mask(a, b, p, q));
            break;
        case 10:
            Own(TMapTools::RoundContents(a));
            break;
        case 11:
            OwnAll(TMapTools::Threshold(list, p));
            break;
        case 12:
            Own(TMapTools::ThresholdReplace(a, p, q));
            break;
        case 13:
            Own(TMapTools::ReplaceValue(a, {{p, q}, {q, r}}, r));
            break;
        case 14:
            TMapTools::CountValues(a);
            TMapTools::CountValues(a, p);
            break;
        case 15:
            Own(TMapTools::BilinearInterpolate(a, newRes));
            break;
        case 16:
            Own(TMapTools::Downscale(a, newRes));
            break;
        case 17:
            Own(TMapTools::Subdivide(a, small));
            break;
        case 18: {
            TMap* outA = nullptr;
            TMap* outB = nullptr;
            TMapTools::Intersection(a, b, outA, outB);
            Own(outA);
            Own(outB);
            break;
        }
        case 19:
            TMapTools::Insert(a, b);
            CheckWellFormed(a);
            break;
        case 20: {
            std::int32_t n, s, w, e;
            TMapTools::FindPatchExtent(a, p, n, s, w, e);
            TMapTools::BufferIndices(a, small, n, s, w, e);
            TMapTools::FillBlock(a, q, n, s, w, e);
            CheckWellFormed(a);
            break;
        }
        case 21:
            OwnAll(TMapTools::ValueGradients({a, b, a}, small));
            break;
        case 22:
            OwnAll(TMapTools::MovingAverage({a, b, a}, small));
            break;
        case 23: {
            auto table = TMapTools::GetFirstValues(a, {p});
            try {
                TMapTools::FetchMapValues(b, table);
            } catch (const TGridError&) {
            }
            for (auto& entry : table)
                delete entry.second;
            break;
        }
        case 24:
            TMapTools::GetValuesOverlay(a, b, {p});
            break;
        case 25:
            Own(TMapTools::Extract(a, &c1, &c2));
            break;
        case 26:
            TMapTools::WriteCSVFile(a, out);
            TMapTools::WriteFlatFile(a, out, ',');
            break;
        case 27: {
            std::vector<TPoint*> points;
            for (std::int32_t x = 0; x < a->MbrLngXDim && x < 50; ++x) {
                points.push_back(a->GetPoint(x, 0));
            }
            for (TPoint* point : TPointTools::FindConvexHull(points))
                delete point;
            TPointTools::FindConvexPolygonArea(points);
            for (TPoint* point : points)
                delete point;
            break;
        }
        default: {
            const double step = std::fabs(r) > std::fabs(q - p) / 1000 ? r : (q - p) / 1000;
            if (std::isfinite(p) && std::isfinite(q) && std::fabs(q - p) < 1e6) {
                TVectorTools::VectorSeries(p, q, step);
            }
            TVectorTools::Gradient({p, q, r}, {r, q, p});
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int operation = std::atoi(input.Line().c_str()) % 29;
    const double p = std::atof(input.Line().c_str());
    const double q = std::atof(input.Line().c_str());
    const double r = std::atof(input.Line().c_str());
    MapPtr a;
    try {
        std::istringstream in(input.Rest());
        a.reset(TARCGISFileTools::LoadARCGISFile(in));
    } catch (const TGridError&) {
        return 0;
    }
    // Grids from the fuzzer stay small; operations on them must too.
    if (static_cast<std::int64_t>(a->MbrLngXDim) * a->MbrLngYDim > 4096) {
        return 0;
    }
    // The second grid: a window of the first, or the first again.
    MapPtr b;
    try {
        const TPoint nw(q, r), se(r, q);
        b.reset(TMapTools::Extract(a.get(), &nw, &se));
    } catch (const TGridError&) {
        b.reset(TMapTools::Multiply(a.get(), 1.0));
    }
    try {
        Run(operation < 0 ? -operation : operation, p, q, r, a.get(), b.get());
    } catch (const TGridError&) {
    }
    return 0;
}
