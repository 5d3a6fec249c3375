// Four programs' screens, each a process of its own, on one group directory: none of them acts on a
// stale copy of the calculation another one stored.
#include "engine/Calculator.h"
#include "engine/CalculatorStack.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"

#include <signal.h>
#include <sqlite3.h>

#include <array>
#include <random>

using testsupport::AppProcess;

namespace {

class ProgramsTakingTurnsTest : public testsupport::SuiteTest {
protected:
    // The live store copied whole into `copy` (a snapshot of one moment), for this process to read
    // without a connection to the live one.
    static bool snapshot(const std::filesystem::path& live, const std::filesystem::path& copy) {
        std::filesystem::remove(copy / "group.sqlite");
        sqlite3* database = nullptr;
        bool ok = sqlite3_open_v2((live / "group.sqlite").c_str(), &database, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
        const std::string vacuum = "VACUUM INTO '" + (copy / "group.sqlite").string() + "'";
        ok = ok && sqlite3_exec(database, vacuum.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(database);
        return ok;
    }
};

// The app, the expanded messages calculator, the expanded widget and the keyboard press random keys
// in turn, each only after another has written, for 2,000 rounds. After every key the stored
// calculation decodes whole ("count" equals the lines that load) and the acting program shows
// what is stored (a failed evaluation's "ERROR" over the reset line it leaves).
TEST_F(ProgramsTakingTurnsTest, EveryKeyActsOnTheCalculationAnotherProgramStored) {
    signal(SIGPIPE, SIG_IGN);
    const auto live = groupDirectory() / "live";
    const auto copy = groupDirectory() / "copy";
    std::filesystem::create_directories(live);
    std::filesystem::create_directories(copy);
    const std::map<std::string, std::string> environment{{"OSTRELO_GROUP_DIR", live.string()}, {"LANG", "en_US.UTF-8"}};
    const std::array<const char*, 4> names{"app", "messages", "widget", "keyboard"};
    std::vector<std::unique_ptr<AppProcess>> programs;
    for (const char* name : names) {
        programs.push_back(std::make_unique<AppProcess>(SCREEN_CHILD, std::vector<std::string>{name}, environment));
        ASSERT_TRUE(programs.back()->waitForLine("ready")) << name << programs.back()->text();
    }
    const std::vector<std::string> keys{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "+", "−", "×",
                                        "÷", "=", "𝑑", "C", "AC", "(", ")", "±", "M+", "MR", "MC"};
    std::mt19937 random(21);
    std::size_t actor = 0;
    for (int round = 0; round < 2000; ++round) {
        actor = (actor + std::uniform_int_distribution<std::size_t>(1, names.size() - 1)(random)) % names.size();
        std::optional<std::string> answer;
        std::string key;
        do {
            key = keys[std::uniform_int_distribution<std::size_t>(0, keys.size() - 1)(random)];
            ASSERT_TRUE(programs[actor]->send(key));
            answer = programs[actor]->waitForLine("key ");
            ASSERT_TRUE(answer) << names[actor] << programs[actor]->text();
        } while (*answer == "key absent");
        const std::string shown = answer->substr(std::string("key shown ").size());

        ASSERT_TRUE(snapshot(live, copy));
        setenv("OSTRELO_GROUP_DIR", copy.c_str(), 1);
        const std::int64_t count = foundation::UserDefaults().integerForKey("count");
        const ostrelo::CalculatorStack stored;
        ostrelo::Calculator calculator;
        calculator.reloadFromSettings();
        ASSERT_EQ(static_cast<std::int64_t>(stored.items.size()), count)
            << "round " << round << ": " << names[actor] << " pressed " << key;
        // A failed evaluation shows its message over the reset line it leaves.
        const bool failed = shown == "ERROR" && count == 1 && stored.items.front().type == "R";
        ASSERT_EQ(failed ? "0" : shown, calculator.primaryString.value_or(""))
            << "round " << round << ": " << names[actor] << " pressed " << key;
    }
    for (auto& program : programs) program->kill(SIGTERM);
}

}  // namespace
