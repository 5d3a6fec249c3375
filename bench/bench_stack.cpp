// One pushLine + popLine round trip on the stored calculation (each opens the suite afresh).
#include "engine/CalculatorStack.h"
#include "tests/support/TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

void BM_PushPopRoundTrip(benchmark::State& state) {
    const auto directory = testsupport::makeTemporaryDirectory("ostrelo-bench");
    setenv("OSTRELO_GROUP_DIR", directory.c_str(), 1);
    {
        ostrelo::CalculatorStack stack;
        for (int i = 0; i < 5; ++i) stack.pushLine("", "N", 1, false, 0, 0, i + 0.5);
        for (auto _ : state) {
            stack.pushLine("+", "O", 1, false, 0, 0, 0.0);
            auto line = stack.popLine();
            benchmark::DoNotOptimize(line);
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}
BENCHMARK(BM_PushPopRoundTrip)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
