#pragma once

// The app's screen on a headless host, for the benchmarks that drive it: its own store in a
// temporary group directory, the en_US locale, no network and the scenes from the source tree,
// all undone (and the background work waited for) when it goes. The store may start with a long
// calculation (StoredCalculation.h).

#include "app/AppStartup.h"
#include "app/ViewController.h"
#include "bench/StoredCalculation.h"
#include "engine/ExchangeRateFeed.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Locale.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Storyboard.h"
#include "tests/support/TestEnvironment.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

class HeadlessAppBench {
public:
    explicit HeadlessAppBench(host::DeviceProfile profile = host::DeviceProfile::phone(), std::int64_t storedLines = 0)
        : directory_(testsupport::makeTemporaryDirectory("ostrelo-bench")) {
        setenv("OSTRELO_GROUP_DIR", directory_.c_str(), 1);
        if (storedLines > 0) storeLongCalculation(storedLines);
        foundation::Locale::setCurrent("en_US");
        ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
        uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
        host_.emplace(profile);
        host_->launch(ostrelo::AppStartup::description());
    }

    ~HeadlessAppBench() {
        foundation::DispatchQueue::global().waitUntilIdle();
        host_.reset();
        ostrelo::ExchangeRateFeed::setNetworkTest({});
        uikit::Storyboard::setDirectory(std::nullopt);
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    HeadlessAppBench(const HeadlessAppBench&) = delete;
    HeadlessAppBench& operator=(const HeadlessAppBench&) = delete;

    host::HeadlessHost& host() { return *host_; }
    // The calculator screen; null when it did not load.
    ostrelo::ViewController* screen() { return dynamic_cast<ostrelo::ViewController*>(host_->rootViewController()); }

    // The median and the 99th percentile of the samples as the counters median_ms and p99_ms.
    static void report(benchmark::State& state, std::vector<double>& milliseconds) {
        if (milliseconds.empty()) return;
        std::sort(milliseconds.begin(), milliseconds.end());
        auto at = [&milliseconds](double q) {
            return milliseconds[static_cast<std::size_t>(q * static_cast<double>(milliseconds.size() - 1))];
        };
        state.counters["median_ms"] = at(0.5);
        state.counters["p99_ms"] = at(0.99);
    }

private:
    std::filesystem::path directory_;
    std::optional<host::HeadlessHost> host_;
};
