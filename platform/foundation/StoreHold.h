#pragma once

#include <filesystem>
#include <mutex>
#include <shared_mutex>

namespace foundation {

// A first start's store, made once the start has shown its first frame: making a store takes
// several synchronous disk writes. While held, every suite (UserDefaults) of a group directory
// without a store uses a stand-in store in a private folder in memory (a tmpfs), and release()
// makes the directory's store with everything written meanwhile. A directory that has a store
// is never held: its suites read it at once, as without a hold.
class StoreHold {
public:
    // Holds the store of `directory` when it has none yet (one directory per process); false
    // when nothing is held.
    static bool hold(const std::filesystem::path& directory);
    // Waits until no suite uses the stand-in, makes the directory's store with the stand-in's
    // values (a value another process stored there meanwhile is kept), removes the stand-in and
    // ends the hold. Nothing happens when nothing is held. Call it where this thread uses no
    // suite.
    static void release();

    // For UserDefaults: the store file a suite of `directory` opens (`file` unless held), the
    // lock that keeps the hold while the suite uses the stand-in, and whether its connection
    // may be kept for later suites (not one to a stand-in, which goes with the hold).
    struct Choice {
        std::filesystem::path file;
        std::shared_lock<std::shared_mutex> keep;
        bool keepsConnection = true;
    };
    static Choice storeFile(const std::filesystem::path& directory, const std::filesystem::path& file);
};

}  // namespace foundation
