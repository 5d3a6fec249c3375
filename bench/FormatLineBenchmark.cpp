// formatLine runs for every line on every key press: one result line and one number
// being typed, in a locale with grouping, in decimal and scientific notation.
#include "engine/LineFormatter.h"
#include "platform/foundation/Locale.h"

#include <benchmark/benchmark.h>

namespace {

void formatResultLine(benchmark::State& state) {
    foundation::Locale::setCurrent("de_DE");
    const bool scientific = state.range(0) != 0;
    double number = 1234.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ostrelo::LineFormatter::formatLine("", "R", 5, true, 1, 1, number, scientific, false, false));
        number += 0.25;
    }
}
BENCHMARK(formatResultLine)->Arg(0)->Arg(1);

void formatTypedLine(benchmark::State& state) {
    foundation::Locale::setCurrent("de_DE");
    const bool scientific = state.range(0) != 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ostrelo::LineFormatter::formatLine("", "N", 5, true, 2, 0, -123.45, scientific, true, false));
    }
}
BENCHMARK(formatTypedLine)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
