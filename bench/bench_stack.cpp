// One pushLine + popLine round trip on the stored calculation (each opens the suite afresh).
#include "engine/CalculatorStack.h"
#include "tests/support/ScratchGroupDirectory.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PushPopRoundTrip(benchmark::State& state) {
    const testsupport::ScratchGroupDirectory group("ostrelo-bench");
    ostrelo::CalculatorStack stack;
    for (int i = 0; i < 5; ++i) stack.pushLine("", "N", 1, false, 0, 0, i + 0.5);
    for (auto _ : state) {
        stack.pushLine("+", "O", 1, false, 0, 0, 0.0);
        auto line = stack.popLine();
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_PushPopRoundTrip)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
