// Recovery of a damaged settings store: the file is moved aside, never deleted.
#pragma once

#include <filesystem>

namespace foundation {

// Several processes may find the damage at once: a lock file lets only the first move the file,
// and the others, seeing a sound store at the path, simply open it again.
class StoreRecovery {
public:
    // Under the lock of `lockFile`: when `file` is there and still does not read as a whole
    // database, renames it (with its -wal and -shm) to "<file>.damaged-<UTC time>" and logs a
    // warning. False, logged, when it could not be renamed; true otherwise.
    static bool moveAside(const std::filesystem::path& file, const std::filesystem::path& lockFile);
};

}  // namespace foundation
