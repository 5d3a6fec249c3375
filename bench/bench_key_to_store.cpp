// Keys on the app's screen (headless, no drawing) on a calculation of 20 lines, each timed on
// its own; both report the median and the 99th percentile (counters median_ms, p99_ms).
//
// BM_KeyToStoreWithActivity: a digit entered into the screen's calculator, its line committed
// to the store, and the activity the refresh publishes: the calculation's text built and handed
// to the writer, which writes the file off the main thread. Untimed, the writer is waited for
// (so that every key's activity is written) and the digit is taken away again.
//
// BM_HardwareKeyToStore: the whole of a hardware key: the key map, the key handler, the store
// commit at its end, and the two display refreshes (with the display lines' text fitted anew)
// that publish the activity. Untimed, the activity is checked and Backspace takes the digit away.

#include "app/AppStartup.h"
#include "app/ViewController.h"
#include "engine/ExchangeRateFeed.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/UserActivity.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Storyboard.h"
#include "tests/support/TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
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

bool publishedEndsWith(const std::string& end) {
    auto activity = foundation::UserActivity::readCurrent();
    return activity && activity->userInfo().at("calculator").ends_with(end);
}

// The app on its own store, offline, with 12+34+…+90+ typed on the hardware keyboard; each
// iteration's time is what `timed` returns.
void onTwentyLines(benchmark::State& state,
                   const std::function<double(host::HeadlessHost&, ostrelo::ViewController&)>& timed) {
    const auto directory = testsupport::makeTemporaryDirectory("ostrelo-bench");
    setenv("OSTRELO_GROUP_DIR", directory.c_str(), 1);
    foundation::Locale::setCurrent("en_US");
    ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
    uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
    std::vector<double> samples;
    {
        host::HeadlessHost host;
        host.launch(ostrelo::AppStartup::description());
        auto* screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
        if (screen == nullptr) {
            state.SkipWithError("the calculator screen did not load");
            return;
        }
        for (const char* number : {"12", "34", "56", "78", "90", "12", "34", "56", "78", "90"}) {
            for (const char* c = number; *c != '\0'; ++c) host.pressKey(std::string(1, *c));
            host.pressKey("+");
        }
        for (auto _ : state) {
            const double seconds = timed(host, *screen);
            state.SetIterationTime(seconds);
            samples.push_back(seconds * 1e3);
        }
        foundation::DispatchQueue::global().waitUntilIdle();
    }
    report(state, samples);
    ostrelo::ExchangeRateFeed::setNetworkTest({});
    uikit::Storyboard::setDirectory(std::nullopt);
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

template <class Step>
double secondsOf(Step step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_KeyToStoreWithActivity(benchmark::State& state) {
    onTwentyLines(state, [&](host::HeadlessHost&, ostrelo::ViewController& screen) {
        const double seconds = secondsOf([&] {
            screen.calculator.enterDigit("7");
            screen.updateUserActivityState(*screen.userActivity);
        });
        if (!publishedEndsWith("+#O;7#N;")) state.SkipWithError("the activity does not show the key");
        screen.calculator.clearEntry();
        return seconds;
    });
}

void BM_HardwareKeyToStore(benchmark::State& state) {
    uikit::Key seven;
    seven.characters = "7";
    onTwentyLines(state, [&](host::HeadlessHost& host, ostrelo::ViewController&) {
        const double seconds = secondsOf([&] { host.window().pressKey(seven); });
        host.runUntilIdle();
        if (!publishedEndsWith("+#O;7#N;")) state.SkipWithError("the activity does not show the key");
        host.pressKey("\b");
        return seconds;
    });
}

BENCHMARK(BM_KeyToStoreWithActivity)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1000);
BENCHMARK(BM_HardwareKeyToStore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1000);

}  // namespace

BENCHMARK_MAIN();
