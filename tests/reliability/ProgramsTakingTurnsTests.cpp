#include "engine/Calculator.h"
#include "platform/foundation/UserActivity.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"

#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <random>

namespace {

class ProgramsTakingTurnsTest : public testsupport::SuiteTest {
protected:
    // One program's screen (see ScreenTypingChild) on the test's store.
    std::unique_ptr<testsupport::AppProcess> start(const std::string& name) const {
        auto program = std::make_unique<testsupport::AppProcess>(
            SCREEN_CHILD, std::vector<std::string>{name},
            std::map<std::string, std::string>{{"OSTRELO_GROUP_DIR", groupDirectory().string()}});
        EXPECT_TRUE(program->waitForLine("ready")) << name << program->text();
        return program;
    }
    // What the program shows after the key (or "wait S").
    static std::string press(testsupport::AppProcess& program, const std::string& key) {
        program.send(key);
        return program.waitForLine("key shown ").value_or("key shown (no answer)").substr(10);
    }
    static std::size_t linesWith(const std::string& log, const std::string& text) {
        std::size_t n = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }
    // Another process's write lock on the store (a connection of this test's) until it is dropped.
    std::shared_ptr<sqlite3> lockStore() const {
        sqlite3* database = nullptr;
        sqlite3_open((groupDirectory() / "group.sqlite").c_str(), &database);
        sqlite3_busy_timeout(database, 60000);  // a program's commit under way ends first
        EXPECT_EQ(sqlite3_exec(database, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        return {database, [](sqlite3* d) { sqlite3_exec(d, "ROLLBACK", nullptr, nullptr, nullptr), sqlite3_close(d); }};
    }
};

// While another process holds the store's lock the app's key "+" is unsaved, and the write of its
// activity fails too. The retry that stores the calculation writes the activity again. Keys typed
// while the store is locked again and then the app's close: the last try fails and the log keeps
// the calculation's text.
TEST_F(ProgramsTakingTurnsTest, AnUnsavedCalculationIsStoredWithItsActivityOrLoggedAtTheClose) {
    // The app writes its activity off its main thread: what it publishes once that is `text`.
    const auto published = [this](const std::string& text) {
        std::string shown = "none";
        for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(int(testsupport::AppProcess::ceiling));
             shown != text && std::chrono::steady_clock::now() < deadline; usleep(1000)) {
            const auto current = foundation::UserActivity::readCurrent(groupDirectory());
            shown = current ? current->userInfo().at("calculator") : "none";
        }
        return shown;
    };
    auto app = start("app");
    EXPECT_EQ(press(*app, "1"), "1");
    EXPECT_EQ(press(*app, "wait 0.5"), "1");  // the activity is written once the keys pause
    ASSERT_EQ(published("1#N;"), "1#N;");
    const auto activity = groupDirectory() / foundation::UserActivity::fileName;
    {
        const auto lock = lockStore();
        std::filesystem::remove(activity);
        std::filesystem::create_directory(activity);
        EXPECT_EQ(press(*app, "+"), "1+");
        EXPECT_EQ(press(*app, "wait 0.5"), "1+");  // before the first retry
        const std::string failed = "cannot store " + activity.string();  // its one write
        if (app->text().find(failed) == std::string::npos) {
            ASSERT_TRUE(app->waitForLine(failed)) << app->text();
        }
        std::filesystem::remove(activity);
    }
    EXPECT_EQ(press(*app, "wait 5"), "1+");
    EXPECT_EQ(published("1#N;+#O;"), "1#N;+#O;");
    {
        const auto lock = lockStore();
        EXPECT_EQ(press(*app, "2"), "1+2");
        app->send("close");
        EXPECT_EQ(app->waitForExit(), 0);
    }
    EXPECT_EQ(linesWith(app->text(), "the calculation could not be stored: 1+2\n"), 1u) << app->text();
}

// The app's keys meet another process's lock; after it ends the keyboard's keys are stored. The
// app's retry then leaves the keyboard's calculation in the store and takes it up, and the log
// keeps the app's unsaved calculation.
TEST_F(ProgramsTakingTurnsTest, AnUnsavedRetryGivesWayToACalculationStoredAfterItsKeys) {
    auto app = start("app");
    auto keyboard = start("keyboard");
    EXPECT_EQ(press(*app, "1"), "1");
    {
        const auto lock = lockStore();
        EXPECT_EQ(press(*app, "+"), "1+");
        EXPECT_EQ(press(*app, "2"), "1+2");
    }
    EXPECT_EQ(press(*keyboard, "−"), "1−");
    EXPECT_EQ(press(*keyboard, "6"), "1−6");
    EXPECT_EQ(press(*app, "wait 5"), "1−6");
    EXPECT_EQ(press(*keyboard, "+"), "1−6+");
    EXPECT_EQ(linesWith(app->text(), "this one was not stored: 1+2\n"), 1u) << app->text();
}

// The app, the expanded messages calculator, the expanded widget and the keyboard, each a process of
// its own on one store, press random keys in turn (each after another has written) for 2,000 rounds.
// After every key the stored calculation loads whole ("count" equals its lines) and the acting
// program shows it (or a failed evaluation's "ERROR" over the reset line it leaves). The store is
// read from a copy made at that moment, so that this process never writes the programs' store.
TEST_F(ProgramsTakingTurnsTest, EveryKeyActsOnTheCalculationAnotherProgramStored) {
    signal(SIGPIPE, SIG_IGN);
    const auto store = groupDirectory() / "live", copy = groupDirectory() / "copy";
    std::filesystem::create_directories(store);
    std::filesystem::create_directories(copy);
    const std::vector<std::string> names{"app", "messages", "widget", "keyboard"};
    std::vector<std::unique_ptr<testsupport::AppProcess>> programs;
    for (const auto& name : names) {
        programs.push_back(std::make_unique<testsupport::AppProcess>(
            SCREEN_CHILD, std::vector<std::string>{name}, std::map<std::string, std::string>{{"OSTRELO_GROUP_DIR", store}}));
        ASSERT_TRUE(programs.back()->waitForLine("ready")) << name << programs.back()->text();
    }
    const std::vector<std::string> keys{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "+", "−",
                                        "×", "÷", "=", "𝑑", "C", "AC", "(", ")", "±", "M+", "MR", "MC"};
    std::mt19937 random(21);
    std::size_t actor = 0;
    sqlite3* live = nullptr;
    ASSERT_EQ(sqlite3_open_v2((store / "group.sqlite").c_str(), &live, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_exec(live, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    const std::string vacuum = "VACUUM INTO '" + (copy / "group.sqlite").string() + "'";
    setenv("OSTRELO_GROUP_DIR", copy.c_str(), 1);
    ostrelo::Calculator stored;
    for (int round = 0; round < 2000; ++round) {
        actor = (actor + std::uniform_int_distribution<std::size_t>(1, 3)(random)) % names.size();
        std::string key, answer = "key absent";
        while (answer == "key absent") {
            key = keys[std::uniform_int_distribution<std::size_t>(0, keys.size() - 1)(random)];
            ASSERT_TRUE(programs[actor]->send(key));
            answer = programs[actor]->waitForLine("key ").value_or("");
            ASSERT_FALSE(answer.empty()) << names[actor] << programs[actor]->text();
        }
        for (const char* file : {"group.sqlite", "group.sqlite-wal", "group.sqlite-shm"}) std::filesystem::remove(copy / file);
        ASSERT_EQ(sqlite3_exec(live, vacuum.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        SCOPED_TRACE("round " + std::to_string(round) + ": " + names[actor] + " pressed " + key);
        const std::int64_t count = foundation::UserDefaults().integerForKey("count");
        stored.reloadFromSettings();
        ASSERT_EQ(stored.ostrelo().lineCount(), count);
        const std::string shown = answer.substr(std::string("key shown ").size());
        const bool failed = shown == "ERROR" && stored.ostrelo().lineCount() == 1 && stored.ostreloLine().type == "R";
        ASSERT_EQ(failed ? "0" : shown, stored.primaryString().value_or(""));
    }
    sqlite3_close(live);
}

}  // namespace
