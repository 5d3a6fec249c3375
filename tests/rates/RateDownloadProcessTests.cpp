// The app as a user starts it, offscreen: the rate download runs in the download helper, so the
// program never maps libcurl, whether its start downloads the rates or finds them current.
#include "engine/ExchangeRateFeed.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Reachability.h"
#include "tests/rates/FeedDocuments.h"
#include "tests/rates/LocalHttpServer.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

using foundation::PropertyListValue;
using ostrelo::ExchangeRateFeed;
using ostrelo::SharedSettings;
using testsupport::AppProcess;
using testsupport::contentOf;

namespace {

// The children of every thread of the process.
std::string childrenOf(pid_t pid) {
    std::string children;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task"))
        children += contentOf(task.path() / "children");
    return children;
}

std::optional<PropertyListValue> storedRatesDate() { return SharedSettings::open()->object(SharedSettings::ratesDate); }

class RateDownloadProcessTest : public testsupport::SuiteTest {
protected:
    std::unique_ptr<AppProcess> startApp() {
        return std::make_unique<AppProcess>(OSTRELO_PROGRAM, std::vector<std::string>{},
                                            std::map<std::string, std::string>{
                                                {"OSTRELO_GROUP_DIR", groupDirectory().string()},
                                                {"OSTRELO_WINDOW_SYSTEM", "offscreen"},
                                                {"SDL_AUDIODRIVER", "dummy"},
                                                {ExchangeRateFeed::feedUrlVariable, server.url()},
                                                {"LANG", "en_US.UTF-8"}});
    }
    ratestest::LocalHttpServer server;
};

}  // namespace

TEST_F(RateDownloadProcessTest, AStartMapsNoLibcurlWhetherItDownloadsTheRatesOrFindsThemCurrent) {
    server.setReply({200, "text/xml", ratestest::realDocument()});
    // Rates not of today: the start downloads them (when the machine has a network at all).
    if (foundation::Reachability::isConnectedToNetwork()) {
        auto app = startApp();
        ASSERT_TRUE(app->waitForLine("first frame")) << app->text();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(AppProcess::ceiling);
        while (storedRatesDate() != PropertyListValue("2026-07-06") && app->running() &&
               std::chrono::steady_clock::now() < deadline)
            usleep(10'000);
        ASSERT_EQ(storedRatesDate(), PropertyListValue("2026-07-06")) << app->text();
        EXPECT_EQ(server.requestCount(), 1);
        // The rates are written by the request's completion, after its helper has ended.
        EXPECT_EQ(childrenOf(app->pid()), "");
        EXPECT_EQ(contentOf("/proc/" + std::to_string(app->pid()) + "/maps").find("libcurl"), std::string::npos);
        app->kill(SIGTERM);
        EXPECT_TRUE(app->waitForExit()) << app->text();
    }

    // Rates of today: nothing is requested and nothing loaded.
    SharedSettings::open()->set(SharedSettings::ratesDate, ExchangeRateFeed::todayText());
    const int requests = server.requestCount();
    auto app = startApp();
    ASSERT_TRUE(app->waitForLine("first frame")) << app->text();
    EXPECT_EQ(contentOf("/proc/" + std::to_string(app->pid()) + "/maps").find("libcurl"), std::string::npos);
    app->kill(SIGTERM);
    EXPECT_TRUE(app->waitForExit()) << app->text();
    EXPECT_EQ(server.requestCount(), requests);
    EXPECT_EQ(app->text().find("exchange rates"), std::string::npos) << app->text();
}
