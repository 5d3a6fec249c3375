#include "app/AppStartup.h"
#include "app/ViewController.h"
#include "engine/CalculatorStack.h"
#include "engine/ExchangeRateFeed.h"
#include "engine/StackLineRecord.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Storyboard.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"
#include "ui/CalculatorCalcLabel.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <random>

using testsupport::AppProcess;

namespace {

class AppReliabilityTest : public testsupport::SuiteTest {
protected:
    // A fresh group directory below the test's, for this process and the programs it starts.
    void useFreshStore(const std::string& name) {
        store_ = groupDirectory() / name;
        std::filesystem::create_directories(store_);
        setenv("OSTRELO_GROUP_DIR", store_.c_str(), 1);
    }
    // The environment of a start on the current store: offscreen, no sound, no network.
    std::map<std::string, std::string> environment(const std::string& audio = "dummy") const {
        return {{"OSTRELO_GROUP_DIR", (store_.empty() ? groupDirectory() : store_).string()},
                {"SDL_VIDEODRIVER", "offscreen"},
                {"SDL_AUDIODRIVER", audio},
                {"OSTRELO_RATES_URL", "http://127.0.0.1:9/eurofxref-daily.xml"},
                {"LANG", "en_US.UTF-8"}};
    }
    std::unique_ptr<AppProcess> start(const std::vector<std::string>& arguments = {},
                                      const std::string& audio = "dummy") const {
        return std::make_unique<AppProcess>(OSTRELO_PROGRAM, arguments, environment(audio));
    }
    static std::int64_t launchCount() { return foundation::UserDefaults().integerForKey("launchCount"); }
    std::vector<std::filesystem::path> damagedCopies() const {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(groupDirectory())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("group.sqlite.damaged-", 0) == 0 && name.find("-wal") == std::string::npos &&
                name.find("-shm") == std::string::npos)
                found.push_back(entry.path());
        }
        return found;
    }

private:
    std::filesystem::path store_;
};

TEST_F(AppReliabilityTest, TheRealAppStartsOffscreenAndCountsItsLaunch) {
    auto app = start();
    ASSERT_TRUE(app->waitForLine("first frame")) << app->text();
    EXPECT_EQ(launchCount(), 1);
    app->kill(SIGTERM);
    EXPECT_TRUE(app->waitForExit());
}

TEST_F(AppReliabilityTest, ASecondStartHandsOverAndEndsWhileTheFirstRunsOn) {
    auto first = start();
    ASSERT_TRUE(first->waitForLine("first frame")) << first->text();
    for (const auto& arguments : std::vector<std::vector<std::string>>{{}, {"--shortcut", "copyResult"}, {"ostrelo://"}}) {
        auto second = start(arguments);
        EXPECT_EQ(second->waitForExit(), 0) << second->text();
        EXPECT_EQ(second->text().find("first frame"), std::string::npos);
    }
    EXPECT_TRUE(first->running());
    // The store is whole and counts one launch: the later starts never launched.
    EXPECT_EQ(launchCount(), 1);
    EXPECT_EQ(ostrelo::CalculatorStack().items.size(), 1u);
    first->kill(SIGTERM);
}

TEST_F(AppReliabilityTest, TwoStartsAtOnceLeaveOneRunning) {
    auto a = start();
    auto b = start();
    std::optional<int> ended;
    AppProcess* survivor = nullptr;
    while (!ended && a->running() && b->running()) usleep(10000);
    if (!a->running()) {
        ended = a->waitForExit();
        survivor = b.get();
    } else {
        ended = b->waitForExit();
        survivor = a.get();
    }
    EXPECT_EQ(ended, 0);
    ASSERT_TRUE(survivor->waitForLine("first frame")) << survivor->text();
    EXPECT_TRUE(survivor->running());
    EXPECT_EQ(launchCount(), 1);
}

// A child typing a burst is killed at a random moment, twenty times. Each time the store opens
// with "count" equal to the stored lines, every line decodes, and the reloaded calculation is a
// prefix of what was typed.
TEST_F(AppReliabilityTest, AnAppKilledWhileTypingLeavesAWholeCalculation) {
    std::string typed;
    for (int i = 0; i < 400; ++i) typed += std::to_string(i % 9 + 1) + "+";
    std::mt19937 random(20251208);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        useFreshStore("round" + std::to_string(round));
        AppProcess child(TYPING_CHILD, {}, environment());
        const int keys = std::uniform_int_distribution<int>(1, 120)(random);
        ASSERT_TRUE(child.waitForLine("typed " + std::to_string(keys))) << child.text();
        // Somewhere in the keys that follow.
        usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
        child.kill(SIGKILL);
        ASSERT_EQ(child.waitForExit(), 128 + SIGKILL);

        foundation::UserDefaults suite;
        const std::int64_t count = suite.integerForKey("count");
        ASSERT_GE(count, 1);
        const auto stored = suite.dictionaryRepresentation();
        for (std::int64_t line = 1; line <= count; ++line) {
            auto value = stored.find(std::to_string(line));
            ASSERT_NE(value, stored.end()) << "line " << line << " of " << count;
            EXPECT_TRUE(ostrelo::StackLineRecord::decode(value->second)) << "line " << line;
        }
        EXPECT_EQ(stored.count(std::to_string(count + 1)), 0u);
        ostrelo::Calculator reloaded;
        ASSERT_TRUE(reloaded.primaryString);
        EXPECT_EQ(typed.rfind(*reloaded.primaryString, 0), 0u) << *reloaded.primaryString;
        EXPECT_GE(reloaded.primaryString->size(), static_cast<std::size_t>(keys));
    }
}

TEST_F(AppReliabilityTest, AGarbageStoreIsKeptAsideAndTheScreenStartsAtZero) {
    std::string garbage;
    for (int i = 0; i < 100; ++i) garbage += "not a settings store " + std::to_string(i) + "\n";
    std::ofstream(groupDirectory() / "group.sqlite", std::ios::binary) << garbage;
    {
        ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
        uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
        host::HeadlessHost host;
        host.launch(ostrelo::AppStartup::description());
        auto* screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->primaryCalculatorLine->text(), "0");
        foundation::DispatchQueue::global().waitUntilIdle();
        uikit::Storyboard::setDirectory(std::nullopt);
        ostrelo::ExchangeRateFeed::setNetworkTest({});
    }
    const auto copies = damagedCopies();
    ASSERT_EQ(copies.size(), 1u);
    std::ifstream kept(copies.front(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), garbage);

    // The real app on a second garbage store (without the fresh store's journal beside it).
    for (const char* file : {"group.sqlite", "group.sqlite-wal", "group.sqlite-shm"})
        std::filesystem::remove(groupDirectory() / file);
    std::ofstream(groupDirectory() / "group.sqlite", std::ios::binary) << garbage;
    auto app = start();
    EXPECT_TRUE(app->waitForLine("first frame")) << app->text();
    EXPECT_EQ(damagedCopies().size(), 2u);
}

TEST_F(AppReliabilityTest, AStaleSocketAndNoAudioDeviceDoNotStopTheStart) {
    // A socket left by an instance that died: bound, nobody listening.
    const std::string path = (groupDirectory() / "ostrelo.socket").string();
    const int stale = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(stale);

    auto app = start({}, "no-such-audio-driver");
    ASSERT_TRUE(app->waitForLine("first frame")) << app->text();
    EXPECT_TRUE(app->running());
    auto second = start();
    EXPECT_EQ(second->waitForExit(), 0) << second->text();
    app->kill(SIGTERM);
}

}  // namespace
