// The app's main screen on the headless small phone (scale 2): a key, through the key handler
// and the store write, to the redrawn frame, drawn as the window draws it: into a picture kept
// from frame to frame. Each key is timed on its own; both benchmarks report the median and the
// 99th percentile (counters median_ms, p99_ms).
//
// BM_DigitKeyToFrame: a tap on the "7" key (an untimed tap on "C" removes the digit again).
// BM_HardwareKeyToFrame: "7" typed on the keyboard (an untimed Backspace removes it again), on
// a stored calculation of 10, 1,000, 4,000 and 16,000 lines: a key costs the same at each.
//
// For instruction counts: valgrind --tool=callgrind --toggle-collect='*KeyToFrameStep*'
// build/bench/bench_key_to_frame (300 calls each).

#include "bench/HeadlessAppBench.h"
#include "ui/CalculatorButton.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <chrono>
#include <vector>

namespace {

void drawFrame(host::HeadlessHost& host, const render::Image& target) {
    cairo_t* cr = cairo_create(target.surface());
    host.driver().drawFrame(cr, host.profile().scale);
    cairo_destroy(cr);
    cairo_surface_flush(target.surface());
}

[[gnu::noinline]] void digitKeyToFrameStep(host::HeadlessHost& host, uikit::Point key, const render::Image& target) {
    host.tap(key);
    drawFrame(host, target);
}

[[gnu::noinline]] void hardwareKeyToFrameStep(host::HeadlessHost& host, const render::Image& target) {
    host.pressKey("7");
    drawFrame(host, target);
}

// Runs `timed` (a key and its frame) and then `undo` (untimed) for each iteration.
template <typename Timed, typename Undo>
void keyToFrame(benchmark::State& state, Timed timed, Undo undo, std::int64_t lines = 0) {
    std::vector<double> samples;
    {
        HeadlessAppBench app(host::DeviceProfile::smallPhone(), lines);
        host::HeadlessHost& host = app.host();
        ostrelo::ViewController* screen = app.screen();
        if (screen == nullptr || screen->controls().buttonSeven == nullptr) {
            state.SkipWithError("the calculator screen did not load");
            return;
        }
        const uikit::Size size = host.window().bounds().size;
        const double scale = host.profile().scale;
        const render::Image target(static_cast<int>(size.width * scale), static_cast<int>(size.height * scale));
        drawFrame(host, target);
        for (auto _ : state) {
            const auto start = std::chrono::steady_clock::now();
            timed(*screen, host, target);
            const auto stop = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(target.pixel(10, 10));
            const double seconds = std::chrono::duration<double>(stop - start).count();
            state.SetIterationTime(seconds);
            samples.push_back(seconds * 1e3);
            undo(*screen, host);
            drawFrame(host, target);
        }
    }
    HeadlessAppBench::report(state, samples);
}

void BM_DigitKeyToFrame(benchmark::State& state) {
    keyToFrame(
        state,
        [](ostrelo::ViewController& screen, host::HeadlessHost& host, const render::Image& target) {
            digitKeyToFrameStep(host, host::HeadlessHost::centerOf(*screen.controls().buttonSeven), target);
        },
        [](ostrelo::ViewController& screen, host::HeadlessHost& host) {
            host.tap(host::HeadlessHost::centerOf(*screen.controls().buttonClear));
        });
}

void BM_HardwareKeyToFrame(benchmark::State& state) {
    keyToFrame(
        state,
        [](ostrelo::ViewController&, host::HeadlessHost& host, const render::Image& target) {
            hardwareKeyToFrameStep(host, target);
        },
        [](ostrelo::ViewController&, host::HeadlessHost& host) { host.pressKey("\b"); }, state.range(0));
}

BENCHMARK(BM_DigitKeyToFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(BM_HardwareKeyToFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000);

}  // namespace

BENCHMARK_MAIN();
