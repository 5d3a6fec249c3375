// Single key operations on a calculation of 20 lines, each with its writes to the suite:
// a digit, an operator, "C" and "=". Every operation is timed on its own; the benchmark
// reports the median and the 99th percentile of those times (counters median_us, p99_us).

#include "engine/Calculator.h"
#include "platform/foundation/Locale.h"
#include "tests/support/CalculatorTestApi.h"
#include "tests/support/ScratchGroupDirectory.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace {

using ostrelo::Calculator;

// A group directory of its own for the whole run, and the locale the keys are typed in.
void prepareRun() {
    static const testsupport::ScratchGroupDirectory directory("ostrelo-bench");
    foundation::Locale::setCurrent("en_US");
}

const char* const numbers[] = {"12", "34", "56", "78", "90", "12", "34", "56", "78", "90"};

// 12+34+56+78+90+12+34+56+78+90+ : 20 lines, the last one an operator.
void typeTwentyLinesEndingInOperator(Calculator& calculator) {
    calculator.clearAll();
    for (const char* number : numbers) {
        for (const char* c = number; *c != '\0'; ++c) calculator.enterDigit(std::string(1, *c));
        calculator.inputOperator("+");
    }
}

// (12+34+...+78+90 : 20 lines, the last one a number.
void typeTwentyLinesEndingInNumber(Calculator& calculator) {
    calculator.clearAll();
    calculator.enterParenthesis("(");
    bool first = true;
    for (const char* number : numbers) {
        if (!first) calculator.inputOperator("+");
        first = false;
        for (const char* c = number; *c != '\0'; ++c) calculator.enterDigit(std::string(1, *c));
    }
    ostrelo::CalculatorTestApi::setClearCounter(calculator, 0);
}

void report(benchmark::State& state, std::vector<double>& microseconds) {
    if (microseconds.empty()) return;
    std::sort(microseconds.begin(), microseconds.end());
    auto at = [&microseconds](double q) {
        auto index = static_cast<std::size_t>(q * static_cast<double>(microseconds.size() - 1));
        return microseconds[index];
    };
    state.counters["median_us"] = at(0.5);
    state.counters["p99_us"] = at(0.99);
}

// A set-up that types the 20 lines with `type` the first time and afterwards only undoes the
// timed key with `undo`, which keeps the rest in place.
std::function<void(Calculator&)> typeOnceThenUndo(void (*type)(Calculator&), void (*undo)(Calculator&)) {
    return [type, undo, typed = false](Calculator& calculator) mutable {
        if (!typed) {
            type(calculator);
            typed = true;
        } else {
            undo(calculator);
        }
        ostrelo::CalculatorTestApi::setClearCounter(calculator, 0);
    };
}

// Times `key` alone; `prepare` (untimed) brings the calculation back to 20 lines first.
void timeKey(benchmark::State& state, const std::function<void(Calculator&)>& prepare,
             const std::function<void(Calculator&)>& key) {
    prepareRun();
    Calculator calculator;
    std::vector<double> samples;
    for (auto _ : state) {
        prepare(calculator);
        auto start = std::chrono::steady_clock::now();
        key(calculator);
        auto stop = std::chrono::steady_clock::now();
        double seconds = std::chrono::duration<double>(stop - start).count();
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1e6);
        benchmark::DoNotOptimize(calculator.primaryString());
    }
    report(state, samples);
}

void BM_DigitKey(benchmark::State& state) {
    // 20 lines ending in "+": the digit starts a new line.
    timeKey(state,
            typeOnceThenUndo(typeTwentyLinesEndingInOperator, [](Calculator& calculator) { calculator.clearEntry(); }),
            [](Calculator& calculator) { calculator.enterDigit("7"); });
}

void BM_OperatorKey(benchmark::State& state) {
    timeKey(state,
            typeOnceThenUndo(typeTwentyLinesEndingInNumber, [](Calculator& calculator) { calculator.clearEntry(); }),
            [](Calculator& calculator) { calculator.inputOperator("×"); });
}

void BM_ClearEntryKey(benchmark::State& state) {
    timeKey(state,
            typeOnceThenUndo(typeTwentyLinesEndingInNumber, [](Calculator& calculator) { calculator.enterDigit("9"); }),
            [](Calculator& calculator) { calculator.clearEntry(); });
}

void BM_EqualsKey(benchmark::State& state) {
    timeKey(state, typeTwentyLinesEndingInNumber,
            [](Calculator& calculator) { calculator.evaluateEquals(false, ""); });
}

BENCHMARK(BM_DigitKey)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_OperatorKey)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_ClearEntryKey)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_EqualsKey)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(500);

}  // namespace

BENCHMARK_MAIN();
