// The store's file attacked while the app's screen runs in a process of its own: made read-only,
// removed, replaced, something other than a file put in its place, its recovery's lock held.
#include "engine/Calculator.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>
#include <functional>

using testsupport::AppProcess;
namespace fs = std::filesystem;

namespace {

class StoreFileTest : public testsupport::SuiteTest {
protected:
    fs::path store() const { return groupDirectory() / "group.sqlite"; }
    std::unique_ptr<AppProcess> startApp(const fs::path& group) const {
        setenv("OSTRELO_GROUP_DIR", group.c_str(), 1);  // for stored()
        auto app = std::make_unique<AppProcess>(SCREEN_CHILD, std::vector<std::string>{"app"},
                                                std::map<std::string, std::string>{{"OSTRELO_GROUP_DIR", group}});
        EXPECT_TRUE(app->waitForLine("ready")) << app->text();
        return app;
    }
    // Taps each key (one character each) and gives the display line after the last.
    static std::string type(AppProcess& app, const std::string& keys) {
        std::string shown;
        for (char key : keys) {
            EXPECT_TRUE(app.send(std::string(1, key)));
            shown = app.waitForLine("key shown ").value_or("no answer: " + app.text()).substr(10);
        }
        return shown;
    }
    static long logged(const AppProcess& app, const std::string& text) {
        long n = 0;
        for (auto at = app.text().find(text); at != std::string::npos; at = app.text().find(text, at + 1)) ++n;
        return n;
    }
    // The calculation the store holds, as a screen would show it.
    static std::string stored() { return ostrelo::Calculator().primaryString().value_or(""); }
    void removeStore() const {
        for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(store().string() + suffix);
    }
    // Root may write any file: the test and its children give that right up, as a user lacks it.
    static bool actAsAUser() {
        const int rights[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct sets[2]{};
        if (geteuid() != 0) return true;
        if (syscall(SYS_capget, &header, sets) != 0) return false;
        for (int right : rights) {
            if (prctl(PR_CAPBSET_DROP, right, 0, 0, 0) != 0) return false;
            sets[right / 32].effective &= ~(1u << (right % 32));
            sets[right / 32].permitted &= ~(1u << (right % 32));
        }
        return syscall(SYS_capset, &header, sets) == 0;
    }
};

TEST_F(StoreFileTest, AStoreReadOnlyAtStartIsWrittenWholeOnceItTakesWrites) {
    if (!actAsAUser()) GTEST_SKIP() << "this root may not give up its right to write any file";
    type(*startApp(groupDirectory()), "12+34");
    fs::permissions(store(), fs::perms::owner_write, fs::perm_options::remove);
    auto app = startApp(groupDirectory());
    EXPECT_EQ(type(*app, "+567"), "12+34+567");
    EXPECT_EQ(logged(*app, "does not take writes (attempt to write a readonly database)"), 1) << app->text();
    fs::permissions(store(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(type(*app, "+"), "12+34+567+");
    EXPECT_EQ(logged(*app, "takes writes again"), 1) << app->text();
    EXPECT_EQ(stored(), "12+34+567+");
}

// Removed: the next key writes everything into a new store. Replaced by a store holding an older
// calculation: the next key writes everything over it.
TEST_F(StoreFileTest, AStoreRemovedOrReplacedGetsTheWholeCalculation) {
    auto app = startApp(groupDirectory());
    type(*app, "12+34");
    removeStore();
    EXPECT_EQ(type(*app, "+56"), "12+34+56");
    EXPECT_EQ(stored(), "12+34+56");
    const auto older = groupDirectory() / "older.sqlite";
    sqlite3* live = nullptr;
    ASSERT_EQ(sqlite3_open_v2(store().c_str(), &live, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    const std::string copy = "VACUUM INTO '" + older.string() + "'";
    EXPECT_EQ(sqlite3_exec(live, copy.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(live);
    EXPECT_EQ(type(*app, "+7"), "12+34+56+7");
    removeStore();
    fs::rename(older, store());
    EXPECT_EQ(type(*app, "8"), "12+34+56+78");
    EXPECT_EQ(stored(), "12+34+56+78");
    EXPECT_EQ(logged(*app, "the store's file was removed or replaced"), 2) << app->text();
    EXPECT_EQ(logged(*app, "warning"), 0) << app->text();
}

// A FIFO, a directory or a device of the user's own at the store's path is moved aside like a
// damaged store (one line), and the keys go to a fresh store.
TEST_F(StoreFileTest, SomethingOtherThanAFileAtTheStoresPathIsMovedAside) {
    const std::pair<std::string, std::function<int(const char*)>> kinds[] = {
        {"a FIFO", [](const char* path) { return mkfifo(path, 0600); }},
        {"a directory", [](const char* path) { return mkdir(path, 0700); }},
        {"a device", [](const char* path) { return mknod(path, S_IFCHR | 0600, makedev(1, 3)); }},  // root only
    };
    for (const auto& [kind, make] : kinds) {
        SCOPED_TRACE(kind);
        const auto group = groupDirectory() / kind;
        fs::create_directory(group);
        if (make((group / "group.sqlite").c_str()) != 0) continue;
        auto app = startApp(group);
        EXPECT_EQ(logged(*app, "the store " + (group / "group.sqlite").string() + " is " + kind + "; moved aside"), 1);
        EXPECT_EQ(std::count(app->text().begin(), app->text().end(), '\n'), 2) << app->text();
        EXPECT_EQ(type(*app, "12+3"), "12+3");
        EXPECT_EQ(stored(), "12+3");
    }
}

// Another program holds the lock of a damaged store's recovery: the app starts after a short wait
// with one line, and stores its keys once the lock is free.
TEST_F(StoreFileTest, ARecoveryLockHeldElsewhereDelaysTheStartOnlyBriefly) {
    std::ofstream(store()) << std::string(8192, 'x');
    const int lock = open((store().string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    auto app = startApp(groupDirectory());
    EXPECT_EQ(logged(*app, "cannot be moved aside: another program has held"), 1) << app->text();
    EXPECT_EQ(logged(*app, "settings: cannot"), 0) << app->text();
    EXPECT_EQ(type(*app, "7+"), "7+");
    close(lock);
    EXPECT_EQ(type(*app, "8"), "7+8");
    EXPECT_EQ(logged(*app, "takes writes again"), 1) << app->text();
    EXPECT_EQ(stored(), "7+8");
    long kept = 0;  // the garbage, moved aside
    for (const auto& entry : fs::directory_iterator(groupDirectory()))
        kept += entry.path().filename().string().rfind("group.sqlite.damaged-", 0) == 0 && entry.file_size() == 8192;
    EXPECT_EQ(kept, 1);
}

}  // namespace
