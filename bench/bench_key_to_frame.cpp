// The app's main screen on the headless small phone (scale 2): a tap on a digit key, through
// the key handler and the store write, to the redrawn frame. Each tap is timed on its own
// (an untimed "C" removes the digit again); the benchmark reports the median and the 99th
// percentile (counters median_ms, p99_ms).

#include "bench/HeadlessAppBench.h"
#include "ui/CalculatorButton.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

void BM_DigitKeyToFrame(benchmark::State& state) {
    std::vector<double> samples;
    {
        HeadlessAppBench app(host::DeviceProfile::smallPhone());
        host::HeadlessHost& host = app.host();
        ostrelo::ViewController* screen = app.screen();
        if (screen == nullptr || screen->buttonSeven == nullptr) {
            state.SkipWithError("the calculator screen did not load");
            return;
        }
        const uikit::Point seven = host::HeadlessHost::centerOf(*screen->buttonSeven);
        const uikit::Point clear = host::HeadlessHost::centerOf(*screen->buttonClear);
        host.snapshot();
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            host.tap(seven);
            auto frame = host.snapshot();
            const auto stop = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(frame.pixel(10, 10));
            const double seconds = std::chrono::duration<double>(stop - start).count();
            state.SetIterationTime(seconds);
            samples.push_back(seconds * 1e3);
            host.tap(clear);
        }
    }
    HeadlessAppBench::report(state, samples);
}

BENCHMARK(BM_DigitKeyToFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace

BENCHMARK_MAIN();
