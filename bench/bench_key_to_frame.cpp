// The app's main screen on the headless small phone (scale 2): a tap on a digit key, through
// the key handler and the store write, to the redrawn frame. Each tap is timed on its own
// (an untimed "C" removes the digit again); the benchmark reports the median and the 99th
// percentile (counters median_ms, p99_ms).

#include "app/AppStartup.h"
#include "app/ViewController.h"
#include "engine/ExchangeRateFeed.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Locale.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Storyboard.h"
#include "tests/support/TestEnvironment.h"
#include "ui/CalculatorButton.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

void report(benchmark::State& state, std::vector<double>& milliseconds) {
    if (milliseconds.empty()) return;
    std::sort(milliseconds.begin(), milliseconds.end());
    auto at = [&milliseconds](double q) {
        return milliseconds[static_cast<std::size_t>(q * static_cast<double>(milliseconds.size() - 1))];
    };
    state.counters["median_ms"] = at(0.5);
    state.counters["p99_ms"] = at(0.99);
}

void BM_DigitKeyToFrame(benchmark::State& state) {
    const auto directory = testsupport::makeTemporaryDirectory("ostrelo-bench");
    setenv("OSTRELO_GROUP_DIR", directory.c_str(), 1);
    foundation::Locale::setCurrent("en_US");
    ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
    uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
    std::vector<double> samples;
    {
        host::HeadlessHost host(host::DeviceProfile::smallPhone());
        host.launch(ostrelo::AppStartup::description());
        auto* screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
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
        foundation::DispatchQueue::global().waitUntilIdle();
    }
    report(state, samples);
    ostrelo::ExchangeRateFeed::setNetworkTest({});
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

BENCHMARK(BM_DigitKeyToFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace

BENCHMARK_MAIN();
