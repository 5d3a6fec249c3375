// Recovery of a damaged settings store: telling a damaged file from a sound one, and moving it
// aside under a lock that several processes finding the damage at once share.
#include "platform/foundation/StoreRecovery.h"

#include "platform/foundation/FileDescriptor.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StoreConnection.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <string>
#include <system_error>

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

// Holds an exclusive advisory lock on a file while it lives (released by close).
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& path)
        : descriptor_(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600)) {
        if (!descriptor_) return;
        while (::flock(descriptor_.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
    }

private:
    FileDescriptor descriptor_;
};

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

bool StoreRecovery::moveAside(const std::filesystem::path& file, const std::filesystem::path& lockFile) {
    FileLock lock(lockFile);
    std::error_code error;
    if (!std::filesystem::exists(file, error) || !damagedOnDisk(file)) return true;
    const std::filesystem::path aside = asideName(file);
    std::filesystem::rename(file, aside, error);
    if (error) {
        Log::error("settings: cannot move the damaged store " + file.string() + " aside: " + error.message());
        return false;
    }
    moveCompanions(file, aside);
    Log::warning("settings: the store " + file.string() + " is not a readable database; moved aside to " +
                 aside.string() + " and starting a fresh store");
    return true;
}

}  // namespace foundation
