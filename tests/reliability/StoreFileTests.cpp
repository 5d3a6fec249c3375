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

#include <algorithm>
#include <fstream>
#include <functional>

using testsupport::AppProcess;

namespace {

class StoreFileTest : public testsupport::SuiteTest {
protected:
    std::filesystem::path store() const { return groupDirectory() / "group.sqlite"; }
    std::unique_ptr<AppProcess> startApp() const {
        auto app = std::make_unique<AppProcess>(SCREEN_CHILD, std::vector<std::string>{"app"},
                                                std::map<std::string, std::string>{{"OSTRELO_GROUP_DIR", groupDirectory()}});
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
    // How many lines the program has logged with `text` in them.
    static long logged(const AppProcess& app, const std::string& text) {
        long n = 0;
        for (auto at = app.text().find(text); at != std::string::npos; at = app.text().find(text, at + 1)) ++n;
        return n;
    }
    // The calculation the store holds, as a screen would show it.
    static std::string stored() { return ostrelo::Calculator().primaryString().value_or(""); }
    std::vector<std::filesystem::path> damagedCopies() const {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(groupDirectory()))
            if (entry.path().filename().string().rfind("group.sqlite.damaged-", 0) == 0) found.push_back(entry.path());
        return found;
    }
    void removeStore() const {
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(store().string() + suffix);
    }
    // Root may write any file: the test and its children give up that right, as a user has not it.
    static bool actAsAUser() {
        if (geteuid() != 0) return true;
        const int rights[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};
        for (int right : rights)
            if (prctl(PR_CAPBSET_DROP, right, 0, 0, 0) != 0) return false;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct sets[2]{};
        if (syscall(SYS_capget, &header, sets) != 0) return false;
        for (int right : rights) {
            const auto bit = ~(1u << (right % 32));
            sets[right / 32].effective &= bit;
            sets[right / 32].permitted &= bit;
            sets[right / 32].inheritable &= bit;
        }
        return syscall(SYS_capset, &header, sets) == 0;
    }
};

TEST_F(StoreFileTest, AStoreReadOnlyAtStartIsWrittenWholeOnceItTakesWrites) {
    if (!actAsAUser()) GTEST_SKIP() << "this root may not give up its right to write any file";
    type(*startApp(), "12+34");
    std::filesystem::permissions(store(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                              std::filesystem::perms::others_read);
    auto app = startApp();
    EXPECT_EQ(type(*app, "+567"), "12+34+567");
    EXPECT_EQ(logged(*app, "does not take writes (attempt to write a readonly database)"), 1) << app->text();
    std::filesystem::permissions(store(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    EXPECT_EQ(type(*app, "+"), "12+34+567+");
    EXPECT_EQ(logged(*app, "takes writes again"), 1) << app->text();
    EXPECT_EQ(stored(), "12+34+567+");
}

// Removed: the next key makes a new store and writes everything into it. Replaced by a store
// holding an older calculation: the next key writes everything over it.
TEST_F(StoreFileTest, AStoreRemovedOrReplacedGetsTheWholeCalculation) {
    auto app = startApp();
    type(*app, "12+34");
    removeStore();
    EXPECT_EQ(type(*app, "+56"), "12+34+56");
    EXPECT_EQ(stored(), "12+34+56");

    const auto older = groupDirectory() / "older.sqlite";
    sqlite3* live = nullptr;
    ASSERT_EQ(sqlite3_open_v2(store().c_str(), &live, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(live, ("VACUUM INTO '" + older.string() + "'").c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(live);
    EXPECT_EQ(type(*app, "+7"), "12+34+56+7");
    removeStore();
    std::filesystem::rename(older, store());
    EXPECT_EQ(type(*app, "8"), "12+34+56+78");
    EXPECT_EQ(stored(), "12+34+56+78");
    EXPECT_EQ(logged(*app, "warning"), 0) << app->text();
    EXPECT_EQ(logged(*app, "the store's file was removed or replaced"), 2) << app->text();
}

// A FIFO, a directory or a device of the user's own at the store's path is moved aside like a
// damaged store, and the app stores its keys in a fresh one; one of another user's stops the start.
TEST_F(StoreFileTest, SomethingOtherThanAFileAtTheStoresPathIsMovedAside) {
    const auto fresh = [this](const std::string& name) {
        const auto directory = groupDirectory() / name;
        std::filesystem::create_directories(directory);
        std::filesystem::permissions(directory, std::filesystem::perms::owner_all);
        return directory / "group.sqlite";
    };
    const std::pair<std::string, std::function<bool(const std::filesystem::path&)>> kinds[] = {
        {"a FIFO", [](const auto& path) { return mkfifo(path.c_str(), 0600) == 0; }},
        {"a directory", [](const auto& path) { return std::filesystem::create_directory(path); }},
        {"a device", [](const auto& path) { return mknod(path.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0; }},
    };
    for (const auto& [kind, make] : kinds) {
        SCOPED_TRACE(kind);
        const auto path = fresh(kind);
        if (!make(path)) continue;  // a device needs a right a user lacks
        setenv("OSTRELO_GROUP_DIR", path.parent_path().c_str(), 1);
        AppProcess app(SCREEN_CHILD, {"app"}, {{"OSTRELO_GROUP_DIR", path.parent_path()}});
        ASSERT_TRUE(app.waitForLine("ready")) << app.text();
        EXPECT_EQ(logged(app, "settings: the store " + path.string() + " is " + kind + "; moved aside to "), 1) << app.text();
        EXPECT_EQ(std::count(app.text().begin(), app.text().end(), '\n'), 2) << app.text();
        EXPECT_EQ(type(app, "12+3"), "12+3");
        EXPECT_EQ(stored(), "12+3");
    }
    if (geteuid() != 0) return;
    const auto foreign = fresh("foreign");
    ASSERT_EQ(mkfifo(foreign.c_str(), 0600), 0);
    ASSERT_EQ(chown(foreign.c_str(), 65534, 65534), 0);
    AppProcess start(OSTRELO_PROGRAM, {}, {{"OSTRELO_GROUP_DIR", foreign.parent_path()}, {"OSTRELO_WINDOW_SYSTEM", "offscreen"}});
    EXPECT_EQ(start.waitForExit(), 1);
    EXPECT_EQ(start.text(), "ostrelo: " + foreign.string() + " belongs to another user (uid 65534)\n");
}

// Another program holds the lock of a damaged store's recovery: the app starts after a short wait,
// unsaved, and stores its keys once the lock is free.
TEST_F(StoreFileTest, ARecoveryLockHeldElsewhereDelaysTheStartOnlyBriefly) {
    std::ofstream(store()) << std::string(8192, 'x');
    const int lock = open((store().string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);
    auto app = startApp();
    EXPECT_EQ(logged(*app, "cannot be moved aside: another program has held"), 1) << app->text();
    EXPECT_EQ(logged(*app, "settings: cannot"), 0) << app->text();
    EXPECT_EQ(type(*app, "7+"), "7+");
    close(lock);
    EXPECT_EQ(type(*app, "8"), "7+8");
    EXPECT_EQ(logged(*app, "takes writes again"), 1) << app->text();
    EXPECT_EQ(stored(), "7+8");
    ASSERT_EQ(damagedCopies().size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(damagedCopies().front()), 8192u);
}

}  // namespace
