// axis_lookup: times the operations that look many coordinates up on a grid's axes.
//
//   axis_lookup SIZE POINTS RUNS
//
// Two SIZE x SIZE grids of equal cell size: Add and Multiply of them, then
// FetchMapValues of POINTS points spread over the grid. Prints one line per
// operation, "NAME SECONDS", the median of RUNS runs, and a checksum line so
// that no work can be dropped. Built against two versions of the library, it
// compares them on the same machine in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include <gridsnip/grid/TAxis.h>
#include <gridsnip/grid/TMap.h>
#include <gridsnip/grid/TMapPoint.h>
#include <gridsnip/tools/TMapTools.h>

namespace {

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A size x size grid of 30-arc-second cells with the north-west corner at
// (-120, 40), every cell holding `seed` plus its column.
std::unique_ptr<TMap> MakeGrid(std::int32_t size, double seed) {
    const double cell = 1.0 / 120;
    TAxis x(cell);
    TAxis y(cell);
    for (std::int32_t i = 0; i < size; ++i) {
        x.AddPoint(new TPoint(-120 + (i + 0.5) * cell, 40));
        y.AddPoint(new TPoint(-120, 40 - (i + 0.5) * cell));
    }
    auto map = std::make_unique<TMap>(&x, &y);
    for (auto& row : map->MbrVecValues) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            row[c] = seed + static_cast<double>(c);
        }
    }
    return map;
}

template <typename Run>
double Time(int runs, Run run) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(Seconds(start));
    }
    return Median(times);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: axis_lookup SIZE POINTS RUNS\n");
        return 2;
    }
    const auto size = static_cast<std::int32_t>(std::atoi(argv[1]));
    const int count = std::atoi(argv[2]);
    const int runs = std::max(1, std::atoi(argv[3]));
    const auto a = MakeGrid(size, 1);
    const auto b = MakeGrid(size, 2);
    double checksum = 0;

    const double add = Time(runs, [&] {
        const std::unique_ptr<TMap> sum(TMapTools::Add(a.get(), b.get()));
        checksum += sum->MbrVecValues[0][0];
    });
    const double multiply = Time(runs, [&] {
        const std::unique_ptr<TMap> product(TMapTools::Multiply(a.get(), b.get()));
        checksum += product->MbrVecValues[0][0];
    });

    // Points inside the grid, away from its outer edges.
    std::mt19937 random(1);
    std::uniform_real_distribution<double> across(0.001, size / 120.0 - 0.001);
    std::map<double, TMapPoint*> points;
    for (int k = 0; k < count; ++k) {
        points.emplace(k, new TMapPoint(-120 + across(random), 40 - across(random), 0));
    }
    const double fetch = Time(runs, [&] {
        const std::map<double, double> values = TMapTools::FetchMapValues(a.get(), points);
        checksum += values.begin()->second;
    });
    for (auto& entry : points) {
        delete entry.second;
    }

    std::printf("Add %.4f\nMultiply %.4f\nFetchMapValues %.4f\nchecksum %g\n", add, multiply, fetch,
                checksum);
    return 0;
}
