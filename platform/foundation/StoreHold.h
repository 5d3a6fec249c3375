#pragma once

#include <filesystem>
#include <mutex>
#include <shared_mutex>

namespace foundation {

// A first start's store, made once the start has shown its first frame: making a store takes
// several synchronous disk writes. While held, every suite (UserDefaults) of a group directory
// without a store uses a stand-in store in a private folder in memory (a tmpfs), and release()
// makes the directory's store with everything written meanwhile; a suite that used the stand-in
// moves to that store at its next use. A directory that has a store is never held: its suites
// read it at once, as without a hold. The stand-in's folder is named after the holding process;
// it is made in /dev/shm, else $XDG_RUNTIME_DIR, else the temporary directory. For tests,
// OSTRELO_STAND_IN_DIR names the one folder where stand-ins are made and left ones looked for.
class StoreHold {
public:
    // Holds the store of `directory` when it has none yet (one directory per process); false
    // when nothing is held.
    static bool hold(const std::filesystem::path& directory);
    // Waits until no suite is in the middle of a use of the stand-in, makes the directory's store
    // with the stand-in's values (a value another process stored there meanwhile is kept),
    // removes the stand-in and ends the hold. Nothing happens when nothing is held. Call it where
    // this thread is in the middle of no batch or transaction.
    static void release();
    // Removes the stand-ins' folders of this user whose process has ended (a first start killed
    // before its first frame), and those of earlier builds, named without their process, that
    // have not changed for a day; a folder whose process still runs, or that is another user's
    // or a link, stays.
    static void removeLeftOvers();

    // For UserDefaults. While `directory`'s store is held: a shared lock that keeps the hold
    // from ending while a suite uses the stand-in (unlocked when nothing is held for it, and on
    // the thread that ends the hold); standInFile() names the stand-in's file while the lock is
    // kept. ending() is true on the thread that ends the hold, while it does.
    static std::shared_lock<std::shared_mutex> use(const std::filesystem::path& directory);
    static std::filesystem::path standInFile(const std::filesystem::path& name);
    static bool ending();
};

}  // namespace foundation
