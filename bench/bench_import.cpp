// Pasting a large text (the quick action "pasteCalculation"): only the text's leading number is
// taken, and only what that number needs of the text is read. Texts of 10 MB and 100 MB:
// - "prose": a number and then words, as copied from a document;
// - "grouped number": one number of that length with grouping separators, read whole (too
//   large for a number, it enters 0);
// - "long fraction": one number of that length, "1.000…0005", read whole;
// - "blanks": blanks all along and a number at the end;
// - "Cyrillic": a number and then text of two-byte characters, in German, whose grouping
//   separator is the "." the text also holds.
// The time per byte stays flat from 10 MB to 100 MB (bytes_per_second), under 100 ms for 10 MB.

#include "engine/Calculator.h"
#include "platform/foundation/Locale.h"
#include "tests/support/ScratchGroupDirectory.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr std::size_t megabyte = 1 << 20;

// A group directory of its own for the whole run.
void prepareRun() { static const testsupport::ScratchGroupDirectory directory("ostrelo-bench-import"); }

// `piece` repeated after `start` up to `size` bytes, then `end`.
std::string text(const std::string& start, const std::string& piece, const std::string& end, std::size_t size) {
    std::string result = start;
    result.reserve(size + end.size());
    while (result.size() + piece.size() <= size) result += piece;
    return result + end;
}

void pasteText(benchmark::State& state, const std::string& locale, const std::string& pasted, double expected) {
    prepareRun();
    foundation::Locale::setCurrent(locale);
    ostrelo::Calculator calculator;
    for (auto _ : state) calculator.importCalculationText(pasted, false);
    if (calculator.ostreloLine().number != expected) state.SkipWithError("the pasted number was not taken");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pasted.size()));
}

void prose(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0)) * megabyte;
    pasteText(state, "en_US", text("1,234.5 ", "apples and pears, 3 of each. ", "", size), 1234.5);
}

void groupedNumber(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0)) * megabyte;
    pasteText(state, "en_US", text("1", ",000", ".5", size), 0.0);
}

void longFraction(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0)) * megabyte;
    pasteText(state, "en_US", text("1.", "0000", "5", size), 1.0);
}

void blanks(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0)) * megabyte;
    pasteText(state, "en_US", text("", " ", "42", size), 42);
}

void cyrillic(benchmark::State& state) {
    const auto size = static_cast<std::size_t>(state.range(0)) * megabyte;
    pasteText(state, "de_DE", text("1.234,5 ", "Привет. ", "", size), 1234.5);
}

}  // namespace

BENCHMARK(prose)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(groupedNumber)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(longFraction)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(blanks)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(cyrillic)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
