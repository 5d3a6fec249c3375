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
// Every key includes the check whether another program changed the store.
//
// BM_StaleCheckOnAQuietStore: that check alone, as a key makes it when nobody else wrote: the
// store's version on the screen's connection, compared with the one last seen.
//
// BM_KeyStoreAfterAnotherWrite: a key's store work (without a write of its own) after another
// connection wrote a rate: the version has changed, and the stored calculation is compared with
// the screen's before the key may act.

#include "bench/HeadlessAppBench.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/UserActivity.h"
#include "platform/foundation/UserDefaults.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace {

bool publishedEndsWith(const std::string& end) {
    auto activity = foundation::UserActivity::readCurrent();
    return activity && activity->userInfo().at("calculator").ends_with(end);
}

// The app on its own store, offline, with 12+34+…+90+ typed on the hardware keyboard; each
// iteration's time is what `timed` returns.
void onTwentyLines(benchmark::State& state,
                   const std::function<double(host::HeadlessHost&, ostrelo::ViewController&)>& timed) {
    std::vector<double> samples;
    {
        HeadlessAppBench app;
        host::HeadlessHost& host = app.host();
        ostrelo::ViewController* screen = app.screen();
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
    }
    HeadlessAppBench::report(state, samples);
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
            screen.calculator().enterDigit("7");
            screen.updateUserActivityState(*screen.userActivity);
        });
        if (!publishedEndsWith("+#O;7#N;")) state.SkipWithError("the activity does not show the key");
        screen.calculator().clearEntry();
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

void BM_StaleCheckOnAQuietStore(benchmark::State& state) {
    onTwentyLines(state, [&](host::HeadlessHost&, ostrelo::ViewController&) {
        const foundation::UserDefaults suite;  // the screen's connection, as every object of its thread
        const auto seen = suite.dataVersion();
        return secondsOf([&] { benchmark::DoNotOptimize(suite.dataVersion() != seen); });
    });
}

void BM_KeyStoreAfterAnotherWrite(benchmark::State& state) {
    double rate = 1.0;
    onTwentyLines(state, [&](host::HeadlessHost&, ostrelo::ViewController& screen) {
        rate += 0.001;
        const std::string pair = ostrelo::SharedSettings::ratePair("EUR", "USD");
        std::thread([rate, &pair] { foundation::UserDefaults().set(pair, rate); }).join();
        bool stale = true;
        const double seconds = secondsOf([&] {
            const ostrelo::Calculator::StoreCommit commit(screen.calculator());
            stale = commit.storeChangedElsewhere();
        });
        if (stale) state.SkipWithError("a rate was taken for another calculation");
        return seconds;
    });
}

BENCHMARK(BM_KeyToStoreWithActivity)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1000);
BENCHMARK(BM_HardwareKeyToStore)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1000);
BENCHMARK(BM_StaleCheckOnAQuietStore)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(1000);
BENCHMARK(BM_KeyStoreAfterAnotherWrite)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(1000);

}  // namespace

BENCHMARK_MAIN();
