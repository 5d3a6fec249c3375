#include "engine/Calculator.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"

#include <signal.h>
#include <sqlite3.h>

#include <random>

namespace {

using ProgramsTakingTurnsTest = testsupport::SuiteTest;

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
