// Recovery of a damaged settings store: telling a damaged file from a sound one, and moving it
// aside under a lock that several processes finding the damage at once share.
#include "platform/foundation/StoreRecovery.h"

#include "platform/foundation/FileDescriptor.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StoreConnection.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <thread>

namespace foundation {

namespace {

std::string timestampSuffix() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    std::array<char, 32> text{};
    std::strftime(text.data(), text.size(), "%Y%m%dT%H%M%SZ", &parts);
    return text.data();
}

// Lock files whose wait ran out: their next recoveries only try the lock.
std::mutex givenUpMutex;
std::set<std::string> givenUp;

// An exclusive advisory lock on a file, held while it lives (released by close). It waits for
// another holder at most `waitMilliseconds`. A file that cannot be opened (a link planted at its
// name), or a file system that takes no locks (flock fails otherwise than "held", as some
// network and FUSE file systems do), is no lock: the recovery goes on without one.
class FileLock {
public:
    FileLock(const std::filesystem::path& path, int waitMilliseconds)
        : descriptor_(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600)) {
        if (!descriptor_) return;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
        for (int attempt = 0;; ++attempt) {
            if (::flock(descriptor_.get(), LOCK_EX | LOCK_NB) == 0) return;
            if (errno == EINTR) continue;
            if (errno != EWOULDBLOCK) {
                unlockable(path, errno);
                return;
            }
            if (std::chrono::steady_clock::now() >= deadline) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(1 + attempt, 20)));
        }
        held_ = true;
    }
    // Another process holds the lock.
    bool heldElsewhere() const { return held_; }

private:
    // Said once per lock file in this process.
    static void unlockable(const std::filesystem::path& path, int error) {
        static std::mutex toldMutex;
        static std::set<std::string> told;
        std::lock_guard guard(toldMutex);
        if (told.insert(path.string()).second)
            Log::warning("settings: " + path.string() + " cannot be locked (" +
                         std::generic_category().message(error) + "); recovering the store without the lock");
    }

    FileDescriptor descriptor_;
    bool held_ = false;
};

// What the entry at the path is when it is no regular file; none for a regular file.
std::optional<std::string> irregularKind(const std::filesystem::path& file) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return std::nullopt;
    if (S_ISFIFO(status.st_mode)) return "a FIFO";
    if (S_ISDIR(status.st_mode)) return "a directory";
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return "a device";
    if (S_ISLNK(status.st_mode)) return "a symbolic link";
    if (S_ISSOCK(status.st_mode)) return "a socket";
    return "no regular file";
}

// True when the store file at the path does not read as a whole database.
bool damagedOnDisk(const std::filesystem::path& file) {
    sqlite3* probe = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &probe, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    bool damaged = false;
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(probe, 1);
        sqlite3_busy_timeout(probe, StoreConnection::busyTimeoutMilliseconds);
        std::string result;
        rc = sqlite3_exec(
            probe, "PRAGMA quick_check(1)",
            [](void* target, int, char** values, char**) {
                if (values[0]) *static_cast<std::string*>(target) = values[0];
                return 0;
            },
            &result, nullptr);
        damaged = StoreConnection::isDamage(rc) || (rc == SQLITE_OK && result != "ok");
    }
    sqlite3_close_v2(probe);
    return damaged;
}

// A name beside `file` that nothing has yet.
std::filesystem::path asideName(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::path aside = file;
    aside += ".damaged-" + timestampSuffix();
    for (int n = 1; std::filesystem::exists(aside, error); ++n) {
        aside = file;
        aside += ".damaged-" + timestampSuffix() + "-" + std::to_string(n);
    }
    return aside;
}

// The store's -wal and -shm files follow it, where they are.
void moveCompanions(const std::filesystem::path& file, const std::filesystem::path& aside) {
    for (const char* companion : {"-wal", "-shm"}) {
        std::filesystem::path from = file, to = aside;
        from += companion;
        to += companion;
        std::error_code ignored;
        if (std::filesystem::exists(from, ignored)) std::filesystem::rename(from, to, ignored);
    }
}

}  // namespace

StoreRecovery::Outcome StoreRecovery::moveAside(const std::filesystem::path& file,
                                                const std::filesystem::path& lockFile) {
    bool waited;
    {
        std::lock_guard guard(givenUpMutex);
        waited = givenUp.count(lockFile.string()) == 0;
    }
    const FileLock lock(lockFile, waited ? lockWaitMilliseconds : 0);
    {
        std::lock_guard guard(givenUpMutex);
        if (!lock.heldElsewhere()) {
            givenUp.erase(lockFile.string());
        } else {
            if (waited)
                Log::error("settings: the damaged store " + file.string() +
                           " cannot be moved aside: another program has held " + lockFile.string() + " for " +
                           std::to_string(lockWaitMilliseconds / 1000) +
                           " s; going on without a store, tried again at the next write");
            givenUp.insert(lockFile.string());
            return Outcome::held;
        }
    }
    std::error_code error;
    const auto kind = irregularKind(file);
    if (!kind && (!std::filesystem::exists(file, error) || !damagedOnDisk(file))) return Outcome::done;
    const std::filesystem::path aside = asideName(file);
    std::filesystem::rename(file, aside, error);
    if (error) {
        Log::error("settings: cannot move the damaged store " + file.string() + " aside: " + error.message());
        return Outcome::failed;
    }
    moveCompanions(file, aside);
    Log::warning("settings: the store " + file.string() + " is " + kind.value_or("not a readable database") +
                 "; moved aside to " + aside.string() + " and starting a fresh store");
    return Outcome::done;
}

}  // namespace foundation
