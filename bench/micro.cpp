// Micro-benchmarks of the hot paths: token checks, number parsing and formatting, lookups.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gridsnip/grid/TAxis.h>
#include "files/TARCGISScanner.h"
#include "numbers/TNumberText.h"

namespace {

// A body of `count` values of up to six significant digits, as grids carry them.
std::string Body(std::size_t count) {
    std::mt19937 random(1);
    std::string body;
    for (std::size_t i = 0; i < count; ++i) {
        body += std::to_string(random() % 10000) + "." + std::to_string(random() % 100);
        body += (i % 1000 == 999) ? '\n' : ' ';
    }
    return body;
}

void CheckTokens(benchmark::State& state) {
    const std::string body = Body(1'000'000);
    for (auto _ : state) {
        std::istringstream in(body);
        TARCGISScanner scanner(in);
        scanner.SkipValues(1'000'000, 0, 1000);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(CheckTokens)->Unit(benchmark::kMillisecond);

void ParseNumbers(benchmark::State& state) {
    const std::string body = Body(1'000'000);
    std::vector<double> values(1'000'000);
    for (auto _ : state) {
        std::istringstream in(body);
        TARCGISScanner scanner(in);
        scanner.ReadValues(values.data(), 1'000'000, 0, 1000);
        benchmark::DoNotOptimize(values.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.size()));
}
BENCHMARK(ParseNumbers)->Unit(benchmark::kMillisecond);

void FormatNumbers(benchmark::State& state) {
    std::mt19937 random(2);
    std::vector<double> values;
    for (int i = 0; i < 100'000; ++i)
        values.push_back(static_cast<double>(random() % 1000000) / 100);
    std::vector<char> text(values.size() * 40);
    const int precision = static_cast<int>(state.range(0));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        char* end = text.data();
        for (double v : values)
            end = TNumberText::FormatDouble(end, v, precision);
        bytes += end - text.data();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(FormatNumbers)->Arg(6)->Arg(15)->Arg(17)->Unit(benchmark::kMillisecond);

void AxisLookups(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    TAxis axis(1.0);
    for (int i = 0; i <= n; ++i)
        axis.AddPoint(i, 0);
    std::mt19937 random(3);
    double v = 0;
    for (auto _ : state) {
        v = static_cast<double>(random() % static_cast<unsigned>(n));
        benchmark::DoNotOptimize(axis.GetIndex(v + 0.5, 'X'));
    }
}
BENCHMARK(AxisLookups)->Arg(100)->Arg(10000)->Arg(1000000);

}  // namespace

BENCHMARK_MAIN();
