// A first start's store is made when the hold ends, with everything its suites wrote meanwhile.
#include "platform/foundation/StoreHold.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

using foundation::StoreHold;
using foundation::UserDefaults;

namespace {

std::filesystem::path storeOf(const std::filesystem::path& directory) { return directory / "group.sqlite"; }

}  // namespace

TEST(StoreHoldTest, TheWritesOfAFirstStartReachTheStoreMadeAtTheEndOfTheHold) {
    const auto directory = testsupport::makeTemporaryDirectory("ostrelo-hold") / "group";
    ASSERT_TRUE(StoreHold::hold(directory));
    EXPECT_FALSE(StoreHold::hold(directory));  // one at a time
    // A suite kept for the whole start (as a calculator keeps its own) outlives the hold.
    UserDefaults kept(directory);
    kept.set("launches", std::int64_t{1});
    UserDefaults(directory).performTransaction([](UserDefaults::Transaction& transaction) {
        return transaction.set("line", "0") && transaction.set("theirs", "mine");
    });
    EXPECT_EQ(UserDefaults(directory).integerForKey("launches"), 1);
    EXPECT_FALSE(std::filesystem::exists(storeOf(directory)));

    // Another process makes the store meanwhile (the directory by another name: not held).
    const auto alias = directory.parent_path() / "alias";
    std::filesystem::create_directory_symlink(directory, alias);
    ASSERT_TRUE(UserDefaults(alias).set("theirs", "kept"));

    // A suite still open on another thread is waited for, and its last write is kept.
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false, go = false;
    std::thread late([&] {
        UserDefaults suite(directory);
        std::unique_lock lock(mutex);
        open = true;
        changed.notify_all();
        changed.wait(lock, [&] { return go; });
        suite.set("late", true);
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return open; });
    }
    std::thread release([] { StoreHold::release(); });
    StoreHold::release();  // on this thread too: the kept suite is used by nothing now
    {
        std::lock_guard lock(mutex);
        go = true;
    }
    changed.notify_all();
    late.join();
    release.join();

    // The kept suite now writes into the directory's store.
    ASSERT_TRUE(kept.set("after", true));
    UserDefaults store(directory);
    EXPECT_TRUE(store.boolForKey("after"));
    EXPECT_EQ(store.integerForKey("launches"), 1);
    EXPECT_EQ(store.stringForKey("line"), "0");
    EXPECT_EQ(store.stringForKey("theirs"), "kept");
    EXPECT_TRUE(store.boolForKey("late"));
    EXPECT_EQ(store.dictionaryRepresentation().size(), 5u);
    StoreHold::release();  // nothing held: nothing happens
    EXPECT_FALSE(StoreHold::hold(directory));  // it has a store now
}
