// The app's screen on a store that does not take writes: full, read-only, or locked by another
// process. Keys act on the calculation in memory, each waits no longer than a key may, the log says
// so once, and the store holds the whole calculation as soon as it takes writes again.
#include "engine/CalculatorStack.h"
#include "engine/StackLineRecord.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/HeadlessHost.h"
#include "tests/app/AppTest.h"
#include "ui/CalculatorCalcLabel.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

namespace {

// Every connection this process opens, with a fault applied to it ("PRAGMA max_page_count = 1"
// fills the store as it stands; "PRAGMA query_only = 1" makes it read-only): at once to the open
// ones, and to each one opened while the fault lasts.
class StoreFault {
public:
    StoreFault() { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&opened)); }
    ~StoreFault() {
        apply("");
        sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&opened));
    }
    static void apply(const std::string& pragma) {
        fault() = pragma;
        for (sqlite3* database : live()) {
            if (!pragma.empty()) sqlite3_exec(database, pragma.c_str(), nullptr, nullptr, nullptr);
            sqlite3_exec(database, pragma.empty() ? "PRAGMA max_page_count = 1073741823; PRAGMA query_only = 0" : "",
                         nullptr, nullptr, nullptr);
        }
    }

private:
    static std::string& fault() {
        static std::string pragma;
        return pragma;
    }
    static std::set<sqlite3*>& live() {
        static std::set<sqlite3*> connections;
        return connections;
    }
    // A function whose end tells of the connection's close.
    static int opened(sqlite3* database, char**, const void*) {
        live().insert(database);
        sqlite3_create_function_v2(
            database, "ostrelo_test_fault", 0, SQLITE_UTF8, database,
            [](sqlite3_context* context, int, sqlite3_value**) { sqlite3_result_null(context); }, nullptr, nullptr,
            [](void* closed) { live().erase(static_cast<sqlite3*>(closed)); });
        if (!fault().empty()) sqlite3_exec(database, fault().c_str(), nullptr, nullptr, nullptr);
        return SQLITE_OK;
    }
};

class StoreFaultsTest : public apptest::AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        host_.launch(ostrelo::AppStartup::description());
        host_.runUntilIdle();
        screen_ = dynamic_cast<ostrelo::ViewController*>(host_.rootViewController());
        ASSERT_NE(screen_, nullptr);
    }
    // Types the keys on the hardware keyboard; each key's wait for the store stays within the bound.
    void type(const std::string& keys) {
        for (char key : keys) {
            host_.pressKey(std::string(1, key));
            EXPECT_LE(screen_->calculator.lastStoreWait(), ostrelo::Calculator::storeWait);
        }
    }
    std::string shown() const { return screen_->primaryCalculatorLine->text(); }
    // The calculation as the store holds it: "count" equals the lines that load.
    static std::vector<ostrelo::CalculatorLine> stored() {
        const ostrelo::CalculatorStack stack;
        EXPECT_EQ(static_cast<std::int64_t>(stack.items.size()), foundation::UserDefaults().integerForKey("count"));
        return stack.items;
    }
    static std::size_t linesWith(const std::string& log, const std::string& text) {
        std::size_t n = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }

    StoreFault fault_;
    host::HeadlessHost host_;
    ostrelo::ViewController* screen_ = nullptr;
};

TEST_F(StoreFaultsTest, KeysTypedOnAFullStoreAreAllSavedOnceSpaceReturns) {
    type("2*");
    testing::internal::CaptureStderr();
    StoreFault::apply("PRAGMA max_page_count = 1");
    std::string typed = "2×";
    for (int i = 0; i < 100; ++i) {
        type("1+");
        typed += "1+";
    }
    EXPECT_EQ(shown(), typed);
    EXPECT_TRUE(screen_->calculator.unsaved());
    EXPECT_LT(stored().size(), screen_->calculator.ostrelo.items.size());

    StoreFault::apply("");
    host_.advance(5);  // the retry timer, without a further key
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(stored(), screen_->calculator.ostrelo.items);
    EXPECT_EQ(shown(), typed);
    EXPECT_EQ(linesWith(log, "does not take writes (database or disk is full)"), 1u) << log;
    EXPECT_EQ(linesWith(log, "\n"), 2u) << log;
}

TEST_F(StoreFaultsTest, KeysOnAReadOnlyStoreWorkInMemory) {
    testing::internal::CaptureStderr();
    StoreFault::apply("PRAGMA query_only = 1");
    type("12+3=");
    type("*2=");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(shown(), "30");
    EXPECT_EQ(linesWith(log, "does not take writes (attempt to write a readonly database)"), 1u) << log;
    EXPECT_EQ(linesWith(log, "\n"), 1u) << log;
    host_.becomeActive();  // the activation's reload keeps what was typed
    EXPECT_EQ(shown(), "30");
}

// Another process holds the store's write lock while 50 keys are typed: each key waits no longer
// than a key may, all of them show, and the first key after the lock's release stores them all.
TEST_F(StoreFaultsTest, KeysTypedWhileAnotherProcessHoldsTheLockAreKept) {
    int locked[2], release[2];
    ASSERT_EQ(pipe(locked), 0);
    ASSERT_EQ(pipe(release), 0);
    const auto file = groupDirectory() / "group.sqlite";
    const pid_t holder = fork();
    if (holder == 0) {
        sqlite3* database = nullptr;
        char go = 0;
        const bool ok = sqlite3_open(file.c_str(), &database) == SQLITE_OK &&
                        sqlite3_exec(database, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK &&
                        write(locked[1], "L", 1) == 1 && read(release[0], &go, 1) == 1;
        _exit(ok ? 0 : 1);  // the lock ends with the process
    }
    char signal = 0;
    ASSERT_EQ(read(locked[0], &signal, 1), 1);
    testing::internal::CaptureStderr();
    std::string typed;
    for (int i = 0; i < 25; ++i) {
        const std::string key = std::to_string(i % 9 + 1) + "+";
        type(key);
        typed += key;
        EXPECT_GT(screen_->calculator.lastStoreWait().count(), 0);
    }
    EXPECT_EQ(shown(), typed);
    EXPECT_EQ(stored().size(), 1u);
    ASSERT_EQ(write(release[1], "R", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    EXPECT_EQ(status, 0);
    type("0");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(stored(), screen_->calculator.ostrelo.items);
    EXPECT_EQ(shown(), typed + "0");
    EXPECT_EQ(linesWith(log, "does not take writes (database is locked)"), 1u) << log;
    for (int end : {locked[0], locked[1], release[0], release[1]}) close(end);
}

}  // namespace
