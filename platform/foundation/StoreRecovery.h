// Recovery of a damaged settings store: the file is moved aside, never deleted.
#pragma once

#include <filesystem>

namespace foundation {

// Several processes may find the damage at once: a lock file lets only the first move the file,
// and the others, seeing a sound store at the path, simply open it again.
class StoreRecovery {
public:
    enum class Outcome {
        done,    // the path holds no damaged store any more (moved aside here or by another)
        failed,  // it could not be renamed (logged)
        held,    // another process holds the lock: nothing was done
    };

    // How long a recovery waits for the lock another process holds. Once a wait has run out,
    // later recoveries of the same store only try the lock, until one has it again.
    static constexpr int lockWaitMilliseconds = 2000;

    // Under the lock of `lockFile`: when `file` is there and still is not a whole database (or
    // not a regular file at all), renames it (with its -wal and -shm) to
    // "<file>.damaged-<UTC time>" and logs a warning. A wait for the lock that runs out is
    // logged once, until the lock is had again.
    static Outcome moveAside(const std::filesystem::path& file, const std::filesystem::path& lockFile);
};

}  // namespace foundation
