// Translating and evaluating a 40-token calculation as the display's live preview does.
#include "engine/ExpressionEvaluation.h"
#include "engine/ExpressionTranslator.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Numbers, the four operators, parentheses, a function, a root, a square and a percent: 40 tokens.
const std::string calculation =
    "12.5+(3.0\u00D74.25\u22121.5)\u00F72.0+sin(30.0)\u00D7(7.0\u22122.0)+\u221A16.0\u22120.125\u00D7"
    "(8.0+2.0\u00B2)\u221212.0+200.0+10.0%";

void translateAndEvaluate(benchmark::State& state) {
    for (auto _ : state) {
        const ostrelo::EvaluationResult result = ostrelo::ExpressionEvaluation::evaluate(calculation, true, false);
        benchmark::DoNotOptimize(result.value);
    }
}
BENCHMARK(translateAndEvaluate)->Repetitions(10)->ReportAggregatesOnly(true);

void translateOnly(benchmark::State& state) {
    for (auto _ : state) {
        const std::string format = ostrelo::ExpressionTranslator::expressionFormat(calculation, true, false);
        benchmark::DoNotOptimize(format.data());
    }
}
BENCHMARK(translateOnly)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
