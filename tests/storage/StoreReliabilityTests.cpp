#include "engine/Calculator.h"
#include "engine/CalculatorStack.h"
#include "engine/StackLineRecord.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/storage/StorePrinting.h"
#include "tests/support/TestEnvironment.h"

#include <dlfcn.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

using foundation::PropertyListValue;
using foundation::UserDefaults;
using ostrelo::CalculatorStack;
using ostrelo::StackLineRecord;

// What flock answers while set, as a file system that takes no locks does (ENOLCK on some
// network and FUSE file systems); 0: the real flock.
std::atomic<int> flockRefusal{0};

extern "C" int flock(int fd, int operation) noexcept {
    if (const int refusal = flockRefusal.load()) {
        errno = refusal;
        return -1;
    }
    static const auto real = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "flock"));
    return real(fd, operation);
}

namespace {

// Every test here runs writers in child processes. A child opens the store afresh; the
// parent opens it only after forking, so no database state crosses a fork.
class StoreReliabilityTest : public testsupport::SuiteTest {
protected:
    // A fresh store directory, named as the group directory for this process and its children.
    std::filesystem::path freshGroup(const std::string& name) {
        auto directory = groupDirectory() / name;
        std::filesystem::create_directories(directory);
        setenv("OSTRELO_GROUP_DIR", directory.c_str(), 1);
        return directory;
    }

    // Starts a child that waits for `start` to become readable, runs the body and exits
    // with 0 when the body returned true.
    static pid_t spawn(int start, const std::function<bool()>& body) {
        const pid_t pid = fork();
        if (pid == 0) {
            char go = 0;
            if (start >= 0 && read(start, &go, 1) != 1) _exit(3);
            bool ok = false;
            try {
                ok = body();
            } catch (...) {
            }
            _exit(ok ? 0 : 1);
        }
        return pid;
    }

    static int exitCode(pid_t pid) {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Runs two children released together, and returns their exit codes.
    static std::pair<int, int> runTogether(const std::function<bool()>& first, const std::function<bool()>& second) {
        int gate[2];
        if (pipe(gate) != 0) return {-1, -1};
        const pid_t a = spawn(gate[0], first);
        const pid_t b = spawn(gate[0], second);
        close(gate[0]);
        const char go[2] = {1, 1};
        EXPECT_EQ(write(gate[1], go, 2), 2);
        close(gate[1]);
        return {exitCode(a), exitCode(b)};
    }

    static std::string fileContents(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static std::vector<std::filesystem::path> movedAside(const std::filesystem::path& directory) {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(directory)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("group.sqlite.damaged-", 0) == 0 && name.find("-wal") == std::string::npos &&
                name.find("-shm") == std::string::npos)
                found.push_back(entry.path());
        }
        return found;
    }
};

TEST_F(StoreReliabilityTest, AWriterKilledInABurstOfPushesLeavesAConsistentStack) {
    for (int round = 0; round < 4; ++round) {
        freshGroup("killed" + std::to_string(round));
        const pid_t writer = spawn(-1, [] {
            CalculatorStack stack;
            for (std::int64_t i = 0;; ++i) stack.pushLine("", "N", 1, false, 0, 0, static_cast<double>(i));
            return true;
        });
        ASSERT_GT(writer, 0);
        // The kill falls at a different depth of the burst each round, once the store shows it.
        const std::int64_t depth = 20 + 10 * round;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (UserDefaults().integerForKey("count") < depth && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        kill(writer, SIGKILL);
        EXPECT_EQ(exitCode(writer), 128 + SIGKILL);

        const auto stored = UserDefaults().dictionaryRepresentation();
        const std::int64_t count = UserDefaults().integerForKey("count");
        ASSERT_GE(count, depth);
        CalculatorStack stack;
        EXPECT_EQ(stack.userDefaultsCount, count);
        ASSERT_EQ(static_cast<std::int64_t>(stack.items.size()), count);
        for (std::int64_t i = 0; i < count; ++i) EXPECT_EQ(stack.items[i].number, static_cast<double>(i));
        // Nothing beyond the count: the count and its line were written together.
        EXPECT_EQ(static_cast<std::int64_t>(stored.size()), count + 1);
        // And the store takes further writes.
        stack.pushLine("+", "O", 1, false, 0, 0, 0.0);
        EXPECT_EQ(UserDefaults().integerForKey("count"), count + 1);
    }
}

TEST_F(StoreReliabilityTest, TwoProcessesWritingTheirOwnKeysLoseNoWrite) {
    freshGroup("distinct");
    auto writer = [](const std::string& prefix) {
        return [prefix] {
            bool ok = true;
            for (int i = 0; i < 500; ++i) ok = UserDefaults().set(prefix + std::to_string(i), i) && ok;
            return ok;
        };
    };
    auto [first, second] = runTogether(writer("a"), writer("b"));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    const auto stored = UserDefaults().dictionaryRepresentation();
    EXPECT_EQ(stored.size(), 1000u);
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(stored.at("a" + std::to_string(i)), PropertyListValue(i));
        EXPECT_EQ(stored.at("b" + std::to_string(i)), PropertyListValue(i));
    }
}

TEST_F(StoreReliabilityTest, TwoProcessesIncrementingInTransactionsLoseNoIncrement) {
    freshGroup("counter");
    auto incrementer = [] {
        bool ok = true;
        for (int i = 0; i < 500; ++i) {
            UserDefaults suite;
            ok = suite.performTransaction([](UserDefaults::Transaction& t) {
                     auto now = t.object("counter");
                     return t.set("counter", (now ? now->integerValue().value_or(0) : 0) + 1);
                 }) && ok;
        }
        return ok;
    };
    auto [first, second] = runTogether(incrementer, incrementer);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(UserDefaults().object("counter"), PropertyListValue(1000));
}

TEST_F(StoreReliabilityTest, TwoProcessesPushingAtOnceLeaveALoadableStack) {
    freshGroup("pushers");
    auto pusher = [](double tag) {
        return [tag] {
            CalculatorStack stack;
            for (int i = 0; i < 200; ++i) stack.pushLine("", "N", 1, false, 0, 0, tag + i);
            return true;
        };
    };
    auto [first, second] = runTogether(pusher(1000.0), pusher(2000.0));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    // The last writer of each key wins (a process that started after the other's first
    // pushes continues from the lines it loaded), but the count always has its lines.
    const std::int64_t count = UserDefaults().integerForKey("count");
    EXPECT_GE(count, 200);
    EXPECT_LE(count, 400);
    CalculatorStack stack;
    EXPECT_EQ(stack.userDefaultsCount, count);
    EXPECT_EQ(static_cast<std::int64_t>(stack.items.size()), count);
    for (const auto& line : stack.items) {
        const double number = line.number;
        EXPECT_TRUE((number >= 1000.0 && number < 1200.0) || (number >= 2000.0 && number < 2200.0)) << number;
    }
}

TEST_F(StoreReliabilityTest, ProcessesOpeningANewStoreTogetherAllPutItInWalMode) {
    for (int round = 0; round < 10; ++round) {
        const auto directory = freshGroup("new" + std::to_string(round));
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        testing::internal::CaptureStderr();  // the children's log too
        std::vector<pid_t> children;
        for (int k = 0; k < 4; ++k)
            children.push_back(spawn(gate[0], [k] { return UserDefaults().set("k" + std::to_string(k), k); }));
        close(gate[0]);
        EXPECT_EQ(write(gate[1], "gogo", 4), 4);
        close(gate[1]);
        for (pid_t child : children) EXPECT_EQ(exitCode(child), 0);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(log, "") << "round " << round;

        sqlite3* database = nullptr;
        ASSERT_EQ(sqlite3_open((directory / "group.sqlite").c_str(), &database), SQLITE_OK);
        std::string mode;
        sqlite3_exec(
            database, "PRAGMA journal_mode",
            [](void* target, int, char** values, char**) {
                *static_cast<std::string*>(target) = values[0] ? values[0] : "";
                return 0;
            },
            &mode, nullptr);
        sqlite3_close(database);
        EXPECT_EQ(mode, "wal");
        EXPECT_EQ(UserDefaults().dictionaryRepresentation().size(), 4u);
    }
}

// Keys that meet a store locked past their wait act on the calculation in memory and leave it
// unsaved; an activation's reload keeps it, and once the lock is gone the retry timer writes
// calculation and memory whole.
TEST_F(StoreReliabilityTest, KeysOnALockedStoreAreKeptAndSavedWholeOnceItIsFree) {
    const auto directory = freshGroup("locked");
    foundation::RunLoop::main().useVirtualTime();
    ostrelo::Calculator calculator;
    calculator.enterDigit("1");
    calculator.enterDigit("2");
    const auto stored = [] { return CalculatorStack().items; };
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open((directory / "group.sqlite").c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    calculator.pressMemoryKey("M+");
    calculator.inputOperator("+");
    calculator.enterDigit("3");
    calculator.reloadFromSettings();
    EXPECT_EQ(calculator.primaryString(), "12+3");
    EXPECT_TRUE(calculator.unsaved());
    EXPECT_EQ(stored().size(), 1u);
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    foundation::RunLoop::main().advance(8);
    EXPECT_FALSE(calculator.unsaved());
    EXPECT_EQ(stored(), calculator.ostrelo().items);
    EXPECT_EQ(UserDefaults().integerForKey("memory"), 1);
}

TEST_F(StoreReliabilityTest, AFileThatIsNotADatabaseIsMovedAsideAndAFreshStoreStarts) {
    const auto directory = freshGroup("notadatabase");
    std::string garbage;
    for (int i = 0; i < 200; ++i) garbage += "this is not a settings store, line " + std::to_string(i) + "\n";
    std::ofstream(directory / "group.sqlite", std::ios::binary) << garbage;

    testing::internal::CaptureStderr();
    {
        UserDefaults suite;
        EXPECT_TRUE(suite.synchronize());
        EXPECT_FALSE(suite.object("count").has_value());
        EXPECT_TRUE(suite.set("count", 1));
    }
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("warning"), std::string::npos) << log;
    EXPECT_NE(log.find("moved aside"), std::string::npos) << log;

    const auto aside = movedAside(directory);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(fileContents(aside[0]), garbage);
    EXPECT_EQ(UserDefaults().object("count"), PropertyListValue(1));
    CalculatorStack stack;
    stack.pushLine("", "N", 1, false, 0, 0, 4.0);
    EXPECT_EQ(CalculatorStack().items.size(), 1u);
    EXPECT_EQ(movedAside(directory).size(), 1u);
}

// A recovery lock the file system refuses is no other program's: the damaged store is still
// moved aside, and the log says why there was no lock.
TEST_F(StoreReliabilityTest, ARecoveryLockTheFileSystemRefusesDoesNotKeepTheDamagedStore) {
    const auto directory = freshGroup("nolocks");
    std::ofstream(directory / "group.sqlite", std::ios::binary) << std::string(8192, 'x');
    testing::internal::CaptureStderr();
    flockRefusal = ENOLCK;
    {
        UserDefaults suite;
        EXPECT_TRUE(suite.set("count", 1));
    }
    flockRefusal = 0;
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("group.sqlite.lock cannot be locked (No locks available)"), std::string::npos) << log;
    EXPECT_EQ(log.find("another program"), std::string::npos) << log;
    EXPECT_EQ(movedAside(directory).size(), 1u) << log;
    EXPECT_EQ(UserDefaults().object("count"), PropertyListValue(1));
}

TEST_F(StoreReliabilityTest, ADamagedDatabaseIsMovedAsideAndAFreshStoreStarts) {
    const auto directory = freshGroup("damaged");
    // A store filled in the store's own form and closed, so everything is in the main file.
    {
        sqlite3* database = nullptr;
        ASSERT_EQ(sqlite3_open((directory / "group.sqlite").c_str(), &database), SQLITE_OK);
        std::string script = "PRAGMA journal_mode=WAL; CREATE TABLE suite(key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) WITHOUT ROWID; BEGIN;";
        for (int i = 0; i < 300; ++i)
            script += "INSERT INTO suite VALUES('key" + std::to_string(i) + "', x'54" + std::string(200, 'f') + "');";
        script += "COMMIT;";
        EXPECT_EQ(sqlite3_exec(database, script.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(database);
    }
    ASSERT_FALSE(std::filesystem::exists(directory / "group.sqlite-wal"));
    {
        // Overwrite the table's root page.
        std::fstream file(directory / "group.sqlite", std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(4096);
        const std::string junk(4096, '\xff');
        file.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    const std::string damaged = fileContents(directory / "group.sqlite");

    testing::internal::CaptureStderr();
    {
        UserDefaults suite;
        EXPECT_FALSE(suite.object("key1").has_value());
        EXPECT_TRUE(suite.set("after", true));
    }
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("moved aside"), std::string::npos) << log;
    const auto aside = movedAside(directory);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(fileContents(aside[0]), damaged);
    EXPECT_EQ(UserDefaults().dictionaryRepresentation(), (PropertyListValue::Dictionary{{"after", true}}));
}

TEST_F(StoreReliabilityTest, AStoreReplacedByAnotherProcessIsOpenedAfresh) {
    const auto directory = freshGroup("replaced");
    UserDefaults().set("old", true);  // leaves a kept connection to this file
    std::filesystem::rename(directory / "group.sqlite", directory / "elsewhere.sqlite");
    for (const char* companion : {"-wal", "-shm"})
        if (std::filesystem::exists(directory / (std::string("group.sqlite") + companion)))
            std::filesystem::rename(directory / (std::string("group.sqlite") + companion),
                                    directory / (std::string("elsewhere.sqlite") + companion));
    UserDefaults suite;
    EXPECT_FALSE(suite.object("old").has_value());
    EXPECT_TRUE(suite.set("new", true));
    EXPECT_TRUE(std::filesystem::exists(directory / "group.sqlite"));
    EXPECT_EQ(UserDefaults().dictionaryRepresentation(), (PropertyListValue::Dictionary{{"new", true}}));
}

TEST_F(StoreReliabilityTest, UnreadableStoredValuesReadAsAbsent) {
    const auto directory = freshGroup("values");
    UserDefaults().set("good", 1);
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open((directory / "group.sqlite").c_str(), &database), SQLITE_OK);
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += std::string("A\x01\0\0\0", 5);
    const std::vector<std::string> blobs = {"X", "I\x01", std::string("S\xff\xff\xff\x7f", 5), "T0", deep};
    for (std::size_t i = 0; i < blobs.size(); ++i) {
        sqlite3_stmt* statement = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(database, "INSERT INTO suite(key, value) VALUES(?1, ?2)", -1, &statement, nullptr),
                  SQLITE_OK);
        const std::string key = "bad" + std::to_string(i);
        sqlite3_bind_text(statement, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_blob(statement, 2, blobs[i].data(), static_cast<int>(blobs[i].size()), SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE);
        sqlite3_finalize(statement);
    }
    sqlite3_exec(database, "INSERT INTO suite(key, value) VALUES('count', 'text, not a value')", nullptr, nullptr,
                 nullptr);
    sqlite3_close(database);

    testing::internal::CaptureStderr();
    UserDefaults suite;
    for (std::size_t i = 0; i < blobs.size(); ++i) {
        EXPECT_FALSE(suite.object("bad" + std::to_string(i)).has_value()) << i;
        EXPECT_EQ(suite.integerForKey("bad" + std::to_string(i)), 0);
    }
    EXPECT_TRUE(CalculatorStack().items.empty());
    EXPECT_EQ(suite.dictionaryRepresentation(), (PropertyListValue::Dictionary{{"good", 1}}));
    testing::internal::GetCapturedStderr();
    // The store itself is sound and stays in place.
    EXPECT_TRUE(movedAside(directory).empty());
    EXPECT_TRUE(suite.set("bad0", 2));
    EXPECT_EQ(suite.integerForKey("bad0"), 2);
}

// The writes of one user action, through several suite objects and a transaction, as one
// commit: another process sees none of them while the batch runs nor after its writer was
// killed in it; a finished batch shows them all, less those of a transaction that gave up.
TEST_F(StoreReliabilityTest, ABatchOfWritesIsCommittedWholeOrNotAtAll) {
    freshGroup("batch");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t writer = spawn(-1, [&] {
        UserDefaults::Batch batch;
        UserDefaults().set("a", 1);
        UserDefaults().performTransaction([](UserDefaults::Transaction& t) { return t.set("b", 2); });
        const char seen = UserDefaults().integerForKey("a") + UserDefaults().integerForKey("b") == 3 ? 1 : 0;
        if (write(ready[1], &seen, 1) != 1) return false;
        pause();
        return true;
    });
    ASSERT_GT(writer, 0);
    char seen = 0;
    ASSERT_EQ(read(ready[0], &seen, 1), 1);
    EXPECT_EQ(seen, 1);
    EXPECT_FALSE(UserDefaults().object("a").has_value());
    kill(writer, SIGKILL);
    EXPECT_EQ(exitCode(writer), 128 + SIGKILL);
    EXPECT_TRUE(UserDefaults().dictionaryRepresentation().empty());
    close(ready[0]);
    close(ready[1]);

    {
        UserDefaults::Batch batch;
        UserDefaults::Batch inner;
        EXPECT_TRUE(UserDefaults().set("a", 1));
        EXPECT_FALSE(UserDefaults().performTransaction([](UserDefaults::Transaction& t) {
            t.set("b", 2);
            return false;
        }));
        EXPECT_TRUE(UserDefaults().set("c", 3));
    }
    const PropertyListValue::Dictionary expected{{"a", 1}, {"c", 3}};
    EXPECT_EQ(UserDefaults().dictionaryRepresentation(), expected);
}

}  // namespace
