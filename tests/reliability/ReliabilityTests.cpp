#include "app/AppStartup.h"
#include "app/HandoffCalculation.h"
#include "app/ViewController.h"
#include "engine/CalculatorStack.h"
#include "engine/ExchangeRateFeed.h"
#include "engine/StackLineRecord.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/UserActivity.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/HidUsage.h"
#include "platform/uikit/Storyboard.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"
#include "ui/CalculatorCalcLabel.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <thread>

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
                {"OSTRELO_WINDOW_SYSTEM", "offscreen"},
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
        ASSERT_TRUE(reloaded.primaryString());
        EXPECT_EQ(typed.rfind(*reloaded.primaryString(), 0), 0u) << *reloaded.primaryString();
        EXPECT_GE(reloaded.primaryString()->size(), static_cast<std::size_t>(keys));
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
        EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), "0");
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

// `ostrelo --continue-activity [FILE]`: a first start continues the activity an earlier run left
// in the group directory (read before its screen publishes its own); a later start hands its
// file to the running app and ends; a file that holds no activity of the app changes nothing.
TEST_F(AppReliabilityTest, AnActivityStartsTheAppOrIsHandedToTheRunningOne) {
    const auto store = [](const std::filesystem::path& directory, const std::string& text) {
        foundation::UserActivity activity(ostrelo::HandoffCalculation::activityType(), directory);
        activity.setTitle("ostrelo");
        activity.setUserInfo({{"calculator", text}});
        ASSERT_TRUE(activity.becomeCurrent());
    };
    // The app writes its activity off its main thread: what it publishes once it shows `text`.
    const auto published = [this](const std::string& text) {
        std::string shown = "none";
        for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(int(AppProcess::ceiling));
             shown != text && std::chrono::steady_clock::now() < deadline; usleep(1000)) {
            auto activity = foundation::UserActivity::readCurrent(groupDirectory());
            shown = activity ? activity->userInfo().at("calculator") : "none";
        }
        return shown;
    };
    store(groupDirectory(), "2#N;+#O;3#N;");
    auto app = start({"--continue-activity"});
    ASSERT_TRUE(app->waitForLine("continued")) << app->text();
    EXPECT_EQ(published("2#R;+#O;3#N;"), "2#R;+#O;3#N;");

    store(groupDirectory() / "elsewhere", "7#N;×#O;(−6)#N;");
    auto second = start({"--continue-activity", (groupDirectory() / "elsewhere" / "UserActivity").string()});
    EXPECT_EQ(second->waitForExit(), 0) << second->text();
    ASSERT_TRUE(app->waitForLine("continued")) << app->text();
    EXPECT_EQ(published("7#R;×#O;(−6)#N;"), "7#R;×#O;(−6)#N;");

    // What the running app refuses: each start says why in one line and ends with 1, the app
    // goes on with its calculation. The file is opened once, without waiting: a FIFO nobody
    // writes to is refused at once.
    const auto large = groupDirectory() / "large", fifo = groupDirectory() / "fifo";
    std::filesystem::copy_file(groupDirectory() / "elsewhere" / "UserActivity", large);
    std::filesystem::resize_file(large, 50'000'000);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    foundation::UserActivity foreign("org.example.other", groupDirectory() / "foreign");
    foreign.setUserInfo({{"calculator", "9#N;"}});
    ASSERT_TRUE(foreign.becomeCurrent());
    const std::string dir = groupDirectory().string(), missing = dir + "/missing", other = dir + "/foreign/UserActivity";
    const std::pair<std::string, std::string> refused[] = {
        {large, large.string() + " holds 50000000 bytes, more than 1048576"},
        {fifo, fifo.string() + " is a FIFO"},
        {"/dev/zero", "/dev/zero is a device"},
        {dir, dir + " is a directory"},
        {missing, "cannot open " + missing + ": No such file or directory"},
        {other, "the activity in " + other + " was not continued"},
    };
    for (const auto& [file, reason] : refused) {
        auto start = this->start({"--continue-activity", file});
        EXPECT_EQ(start->waitForExit(), 1);
        EXPECT_EQ(start->text(), "ostrelo: the running ostrelo did not carry out the request: " + reason + "\n");
    }
    EXPECT_EQ(published("7#R;×#O;(−6)#N;"), "7#R;×#O;(−6)#N;");
    EXPECT_TRUE(app->running());
    app->kill(SIGTERM);
}

// Sixty starts at once hand their quick actions to the running app while silent clients hold
// places in its queue: each start ends with 0 once its action was carried out, or with 1 and its
// reason, and then its action is not carried out; none is lost or carried out twice.
TEST_F(AppReliabilityTest, SixtyStartsAtOnceAreEachCarriedOutOrToldWhyNot) {
    auto app = start();
    ASSERT_TRUE(app->waitForLine("first frame")) << app->text();
    std::vector<int> silent;
    for (int i = 0; i < 8; ++i) {
        sockaddr_un address{AF_UNIX, {}};
        const std::string path = (groupDirectory() / "ostrelo.socket").string();
        std::copy(path.begin(), path.end(), address.sun_path);
        silent.push_back(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
        ASSERT_EQ(connect(silent.back(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    const std::string actions[] = {"copyResult", "copyExpression", "pasteCalculation"};
    std::vector<std::unique_ptr<AppProcess>> starts;
    for (int i = 0; i < 60; ++i) starts.push_back(start({"--shortcut", actions[i % 3]}));
    std::map<std::string, int> answered, carried;
    for (int i = 0; i < 60; ++i) {
        const auto status = starts[i]->waitForExit();
        const std::string& text = starts[i]->text();
        ASSERT_TRUE(status == 0 || status == 1) << text;
        answered[actions[i % 3]] += *status == 0;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), *status) << text;
        EXPECT_EQ(text.rfind("ostrelo: ", 0), *status == 1 ? 0u : std::string::npos) << text;
    }
    // The app's account of the requests, up to one made after all of them.
    auto last = start({"ostrelo://"});
    EXPECT_EQ(last->waitForExit(), 0) << last->text();
    for (std::optional<std::string> line; (line = app->waitForLine("carried out the request of a later start: ")) &&
                                          line->find("ostrelo://") == std::string::npos;)
        for (const std::string& action : actions) carried[action] += line->find(action) != std::string::npos;
    for (const std::string& action : actions) {
        EXPECT_EQ(carried[action], answered[action]) << action;
        EXPECT_GT(answered[action], 0) << action;
    }
    for (int fd : silent) close(fd);
}

// The file of a handed-over activity swapped with a FIFO a thousand times meanwhile: the app
// never waits on the FIFO (a writer stands by to free and feed a reader that would, and what it
// feeds would show) and each key after a request answers at once.
TEST_F(AppReliabilityTest, AnActivityFileSwappedWithAFifoNeverHoldsTheAppUp) {
    const auto activityText = [this](const std::string& text) {
        foundation::UserActivity activity(ostrelo::HandoffCalculation::activityType(), groupDirectory() / text);
        activity.setUserInfo({{"calculator", text + "#N;"}});
        EXPECT_TRUE(activity.becomeCurrent());
        std::ifstream in(groupDirectory() / text / "UserActivity");
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const auto file = groupDirectory() / "swapped", fifo = groupDirectory() / "fifo";
    std::ofstream(file) << activityText("5");
    const std::string fed = activityText("99");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
    uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
    host::HeadlessHost host;
    host.launch(ostrelo::AppStartup::description());
    auto* screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
    ASSERT_NE(screen, nullptr);
    std::atomic<int> rounds{0}, swaps{0};
    std::atomic<bool> finished{false};
    signal(SIGPIPE, SIG_IGN);  // a reader may close the FIFO while the writer feeds it
    std::thread swapper([&] {
        while (!finished) {
            if (swaps <= 2 * rounds + 2 && renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, fifo.c_str(), RENAME_EXCHANGE) == 0)
                ++swaps;
            const auto& current = swaps % 2 == 1 ? file : fifo;
            if (int writer = open(current.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); writer >= 0) {
                (void)!write(writer, fed.data(), fed.size());
                close(writer);
            }
        }
    });
    for (; swaps < 1000; ++rounds) {
        auto refusal = host.handle({host::LaunchRequest::Kind::activity, file.string()});
        EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), refusal ? "0" : "5") << refusal.value_or("");
        host.pressKey("", uikit::hid::escape);
        EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), "0");
    }
    finished = true;
    swapper.join();
    uikit::Storyboard::setDirectory(std::nullopt);
    ostrelo::ExchangeRateFeed::setNetworkTest({});
}

}  // namespace
