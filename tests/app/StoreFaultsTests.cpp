#include "engine/CalculatorStack.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/HeadlessHost.h"
#include "tests/app/AppTest.h"
#include "ui/CalculatorCalcLabel.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

namespace {

// A fault of the store for every connection of this process, the open ones and those opened while it
// lasts: "PRAGMA max_page_count = 1" fills the store as it stands, "PRAGMA query_only = 1" makes it
// read-only; none lifts both.
std::set<sqlite3*> connections;
std::string fault;

void applyFault(const std::string& pragma) {
    fault = pragma.empty() ? "PRAGMA max_page_count = 1073741823; PRAGMA query_only = 0" : pragma;
    for (sqlite3* database : connections) sqlite3_exec(database, fault.c_str(), nullptr, nullptr, nullptr);
}

int trackConnection(sqlite3* database, char**, const void*) {
    connections.insert(database);
    sqlite3_exec(database, fault.c_str(), nullptr, nullptr, nullptr);
    // The function's end tells of the connection's close.
    return sqlite3_create_function_v2(
        database, "closes", 0, SQLITE_UTF8, database, [](sqlite3_context* c, int, sqlite3_value**) { sqlite3_result_null(c); },
        nullptr, nullptr, [](void* closed) { connections.erase(static_cast<sqlite3*>(closed)); });
}

// The app's screen on a store that does not take writes: every key acts on the calculation in memory
// and waits no longer than a key may, one log line tells of it, and the store holds the whole
// calculation as soon as it takes writes again.
class StoreFaultsTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(&trackConnection));
        host.launch(ostrelo::AppStartup::description());
        screen = dynamic_cast<ostrelo::ViewController*>(host.rootViewController());
        ASSERT_NE(screen, nullptr);
        testing::internal::CaptureStderr();
    }
    std::string type(const std::string& keys) {
        for (char key : keys) {
            host.pressKey(std::string(1, key));
            EXPECT_LE(screen->calculator().lastStoreWait(), ostrelo::Calculator::storeWait);
        }
        return screen->controls().primaryCalculatorLine->text();
    }
    static bool storeHolds(const ostrelo::Calculator& calculator) {
        const ostrelo::CalculatorStack stored;
        return stored.items == calculator.ostrelo().items &&
               foundation::UserDefaults().integerForKey("count") == calculator.ostrelo().lineCount();
    }
    static std::size_t count(const std::string& log, const std::string& text) {
        std::size_t n = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }

    host::HeadlessHost host;
    ostrelo::ViewController* screen = nullptr;
};

TEST_F(StoreFaultsTest, TwoHundredKeysOnAFullStoreAreAllStoredOnceSpaceReturns) {
    type("2*");
    applyFault("PRAGMA max_page_count = 1");
    std::string keys;
    for (int i = 0; i < 100; ++i) keys += "1+";
    EXPECT_EQ(type(keys), "2×" + keys);
    EXPECT_FALSE(storeHolds(screen->calculator()));
    applyFault("");
    host.advance(5);  // the retry timer, with no further key
    EXPECT_TRUE(storeHolds(screen->calculator()));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(count(log, "does not take writes (database or disk is full)"), 1u) << log;
    EXPECT_EQ(count(log, "\n"), 2u) << log;  // and that it takes them again
}

TEST_F(StoreFaultsTest, KeysOnAReadOnlyStoreWorkInMemory) {
    applyFault("PRAGMA query_only = 1");
    EXPECT_EQ(type("12+3=*2="), "30");
    host.becomeActive();  // the activation's reload keeps what was typed
    EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), "30");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(count(log, "does not take writes (attempt to write a readonly database)"), 1u) << log;
    EXPECT_EQ(count(log, "\n"), 1u) << log;
}

// The Settings screen's reset replaces the calculator in place: an unsaved one has its last try first
// (its text logged while the store is read-only; stored, and read by the new one, once it is not), and
// its retry ends with it.
TEST_F(StoreFaultsTest, AReplacedUnsavedCalculatorHasItsLastTryBeforeTheNewOneReads) {
    type("1+");
    applyFault("PRAGMA query_only = 1");
    EXPECT_EQ(type("2"), "1+2");
    screen->replaceCalculator();
    EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), "1+");
    EXPECT_EQ(type("3"), "1+3");
    applyFault("");
    screen->replaceCalculator();
    EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), "1+3");
    host.advance(5);
    EXPECT_TRUE(storeHolds(screen->calculator()));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(count(log, "the calculation could not be stored: 1+2\n"), 1u) << log;
    EXPECT_EQ(count(log, "takes writes again"), 1u) << log;
    EXPECT_EQ(count(log, "\n"), 4u) << log;  // and twice that the store does not take writes
}

// Another process holds the write lock while 50 keys are typed: each meets it and waits no longer
// than a key may, and the first key after its release stores them all.
TEST_F(StoreFaultsTest, KeysTypedWhileAnotherProcessHoldsTheLockAreKept) {
    int locked[2], release[2];
    ASSERT_TRUE(pipe(locked) == 0 && pipe(release) == 0);
    const pid_t holder = fork();
    if (holder == 0) {
        sqlite3* database = nullptr;
        char go = 0;
        _exit(sqlite3_open((groupDirectory() / "group.sqlite").c_str(), &database) == SQLITE_OK &&
                      sqlite3_exec(database, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK &&
                      write(locked[1], "L", 1) == 1 && read(release[0], &go, 1) == 1
                  ? 0
                  : 1);
    }
    char signal = 0;
    ASSERT_EQ(read(locked[0], &signal, 1), 1);
    std::string typed;
    for (int i = 0; i < 25; ++i) {
        typed += std::to_string(i % 9 + 1) + "+";
        type(typed.substr(typed.size() - 2));
        EXPECT_GT(screen->calculator().lastStoreWait().count(), 0);
    }
    EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), typed);
    ASSERT_EQ(write(release[1], "R", 1), 1);
    int status = -1;
    EXPECT_EQ(waitpid(holder, &status, 0), holder);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(type("0"), typed + "0");
    EXPECT_TRUE(storeHolds(screen->calculator()));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(count(log, "does not take writes (database is locked)"), 1u) << log;
}

}  // namespace
