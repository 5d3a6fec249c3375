#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/StoreHold.h"
#include "platform/foundation/StoredValue.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <map>
#include <mutex>
#include <shared_mutex>
#include <system_error>

namespace foundation {

namespace {

constexpr int busyTimeoutMilliseconds = 5000;
const char* const storeFileName = "group.sqlite";

// ---- Registered defaults: one table per process, shared by every suite object.

std::shared_mutex& registeredMutex() {
    static std::shared_mutex mutex;
    return mutex;
}

PropertyListValue::Dictionary& registeredDefaults() {
    static PropertyListValue::Dictionary defaults;
    return defaults;
}

std::optional<PropertyListValue> registeredValue(const std::string& key) {
    std::shared_lock lock(registeredMutex());
    const auto& defaults = registeredDefaults();
    auto found = defaults.find(key);
    if (found == defaults.end()) return std::nullopt;
    return found->second;
}

bool isDamage(int resultCode) {
    const int primary = resultCode & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

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
    explicit FileLock(const std::filesystem::path& path) {
        descriptor_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (descriptor_ < 0) return;
        while (::flock(descriptor_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FileLock() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int descriptor_ = -1;
};

std::optional<std::int64_t> parseInteger(const std::string& text) {
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t' || *begin == '\n') ++begin;
    if (*begin == '+') ++begin;
    const char* end = text.c_str() + text.size();
    std::int64_t value = 0;
    auto [rest, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || rest == begin) return std::nullopt;
    return value;
}

std::optional<double> parseDouble(const std::string& text) {
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t' || *begin == '\n') ++begin;
    if (*begin == '+') ++begin;
    const char* end = text.c_str() + text.size();
    double value = 0.0;
    auto [rest, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || rest == begin) return std::nullopt;
    return value;
}

std::int64_t doubleToInteger(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9223372036854775807.0) return std::numeric_limits<std::int64_t>::max();
    if (value <= -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);  // cut toward zero
}

enum Statement {
    selectValue,
    upsertValue,
    deleteValue,
    selectAll,
    begin,
    commit,
    rollback,
    savepoint,
    release,
    rollbackToSavepoint,
    dataVersionQuery,
    statementCount
};

// One open connection with its prepared statements, and the file it was opened on.
struct Connection {
    sqlite3* database = nullptr;
    std::array<sqlite3_stmt*, statementCount> statements{};
    dev_t device = 0;
    ino_t inode = 0;
    pid_t owner = 0;
};

void closeConnection(Connection& connection) {
    for (auto& statement : connection.statements) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    if (connection.database) sqlite3_close_v2(connection.database);
    connection.database = nullptr;
}

// Connections no suite object uses at the moment, kept open for the next object of the
// same store: opening the suite afresh then costs a file check instead of setting up a
// connection, and the store's shared WAL index stays live. A kept connection is used
// again only by the process that opened it and only while the path still names the
// file it was opened on (a store moved aside by another process is never reused).
class ConnectionPool {
public:
    static ConnectionPool& shared() {
        static ConnectionPool pool;
        return pool;
    }

    std::optional<Connection> take(const std::filesystem::path& file) {
        struct stat status {};
        const bool exists = ::stat(file.c_str(), &status) == 0;
        std::lock_guard lock(mutex_);
        auto found = idle_.find(file.string());
        if (found == idle_.end()) return std::nullopt;
        auto& connections = found->second;
        while (!connections.empty()) {
            Connection connection = connections.back();
            connections.pop_back();
            if (connection.owner != ::getpid()) continue;  // inherited across fork: never touched
            if (exists && connection.device == status.st_dev && connection.inode == status.st_ino)
                return connection;
            closeConnection(connection);
        }
        return std::nullopt;
    }

    void give(const std::filesystem::path& file, Connection connection) {
        std::lock_guard lock(mutex_);
        auto& connections = idle_[file.string()];
        if (connections.size() >= maximumIdle) {
            closeConnection(connection);
            return;
        }
        connections.push_back(connection);
    }

    ~ConnectionPool() {
        for (auto& [file, connections] : idle_)
            for (auto& connection : connections)
                if (connection.owner == ::getpid()) closeConnection(connection);
    }

private:
    static constexpr std::size_t maximumIdle = 8;
    std::mutex mutex_;
    std::map<std::string, std::vector<Connection>> idle_;
};

}  // namespace

// ---- The connection of one suite object and its prepared statements.

class UserDefaults::Store {
public:
    explicit Store(std::filesystem::path directory) : directory_(std::move(directory)) {
        const auto use = StoreHold::use(directory_);
        standIn_ = use.owns_lock();
        file_ = standIn_ ? StoreHold::standInFile(storeFileName) : directory_ / storeFileName;
        keepsConnection_ = !standIn_;
        if (auto kept = keepsConnection_ ? ConnectionPool::shared().take(file_) : std::nullopt) {
            connection_ = *kept;
            sqlite3_busy_handler(database_, &Store::waitForStore, this);
            return;
        }
        std::error_code ignored;
        std::filesystem::create_directories(directory_, ignored);
        if (openConnection() == Opened::damaged) recover();
    }

    ~Store() {
        if (!openedHere()) return;  // inherited across fork: never touched
        if (database_ && keepsConnection_ && !inTransaction() && !needsRecovery_) {
            // A kept connection must not call back into this object.
            sqlite3_busy_timeout(database_, busyTimeoutMilliseconds);
            ConnectionPool::shared().give(file_, connection_);
            connection_ = Connection{};
        } else {
            closeConnection();
        }
    }
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    bool usable() const { return database_ != nullptr; }

    // Every use of a store, from any suite object: its mutex, and while the store is a first
    // start's stand-in, the hold (which cannot end in the middle of a use). A stand-in whose hold
    // has ended gives way to the directory's own store at its next use.
    class Access {
    public:
        explicit Access(Store& store) : lock_(store.mutex), hold_(store.followHold()) {}

    private:
        std::lock_guard<std::recursive_mutex> lock_;
        std::shared_lock<std::shared_mutex> hold_;
    };

    // Each public operation below is followed by the recovery of a store found damaged
    // during it (not inside a transaction: the transaction's end handles that).
    std::optional<PropertyListValue> read(const std::string& key) { return settled(readValue(key)); }
    bool write(const std::string& key, const PropertyListValue& value) { return settled(writeValue(key, value)); }
    bool remove(const std::string& key) { return settled(removeValue(key)); }
    PropertyListValue::Dictionary all() { return settled(allValues()); }
    bool run(Statement which, const char* what) { return settled(runStatement(which, what)); }

    bool inTransaction() const { return database_ && sqlite3_get_autocommit(database_) == 0; }

    const std::filesystem::path& directory() const { return directory_; }
    bool openedHere() const { return !database_ || connection_.owner == ::getpid(); }

    std::optional<std::int64_t> dataVersion() {
        sqlite3_stmt* statement = prepared(dataVersionQuery);
        if (!statement) return std::nullopt;
        Reset reset{statement};
        if (sqlite3_step(statement) != SQLITE_ROW) return std::nullopt;
        return sqlite3_column_int64(statement, 0);
    }

    // A long-lived connection follows the store when another process has put a fresh one at
    // the path (the damaged one moved aside): it would write into the old file otherwise.
    void reopenIfReplaced() {
        if (!database_ || inTransaction()) return;
        struct stat status {};
        if (::stat(file_.c_str(), &status) == 0 && status.st_dev == connection_.device &&
            status.st_ino == connection_.inode)
            return;
        if (openConnection() == Opened::damaged) recover();
    }

    // The hold of a first start's store, while this store is its stand-in and it lasts; at the
    // first use after it has ended, the connection moves to the directory's store, which the end
    // of the hold has made with the stand-in's values.
    std::shared_lock<std::shared_mutex> followHold() {
        if (!standIn_) return {};
        auto use = StoreHold::use(directory_);
        if (use.owns_lock() || inTransaction()) return use;
        standIn_ = false;
        keepsConnection_ = true;
        file_ = directory_ / storeFileName;
        if (openConnection() == Opened::damaged) recover();
        return {};
    }

    // ---- Batches: the store's waits and failures while one lives.
    void startBatch(int waitMilliseconds, bool quiet) {
        batchWait_ = waitMilliseconds;
        waited_ = 0;
        quiet_ = quiet;
        batch_ = {};
        batch_.on = true;
    }
    // After a batch that could not begin: its writes fail at once, for the reason it did not.
    void refuseWrites() {
        batch_.refused = true;
        batch_.refusal = batch_.failure.empty() ? "the store did not start the batch" : batch_.failure;
        batch_.failure.clear();
        batch_.failed = false;
    }
    bool batchFailed() const { return batch_.failed; }
    // Ends the batch's state: the first failure and the planned wait in milliseconds.
    std::pair<std::string, int> endBatch() {
        std::pair<std::string, int> outcome{batch_.failure, waited_};
        batch_ = {};
        batchWait_.reset();
        waited_ = 0;
        quiet_ = false;
        return outcome;
    }

    std::recursive_mutex mutex;

private:
    template <typename T>
    T settled(T result) {
        if (needsRecovery_ && !inTransaction()) {
            needsRecovery_ = false;
            recover();
        }
        return result;
    }

    // The raw stored value: none when absent, unreadable or the store is unusable.
    std::optional<PropertyListValue> readValue(const std::string& key) {
        sqlite3_stmt* statement = prepared(selectValue);
        if (!statement) return std::nullopt;
        Reset reset{statement};
        sqlite3_bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(statement);
        if (rc == SQLITE_DONE) return std::nullopt;
        if (rc != SQLITE_ROW) {
            failed(rc, "read \"" + key + "\"", false);
            return std::nullopt;
        }
        auto value = decodeColumn(statement, 0);
        if (!value) Log::warning("settings: the stored value of \"" + key + "\" is unreadable; treated as absent");
        return value;
    }

    bool writeValue(const std::string& key, const PropertyListValue& value) {
        if (batch_.refused) return refused("write \"" + key + "\"");
        sqlite3_stmt* statement = prepared(upsertValue);
        if (!statement) return unusable("write \"" + key + "\"");
        const std::string blob = StoredValue::encode(value);
        Reset reset{statement};
        sqlite3_bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
        sqlite3_bind_blob(statement, 2, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(statement);
        if (rc != SQLITE_DONE) return failed(rc, "write \"" + key + "\"");
        return true;
    }

    bool removeValue(const std::string& key) {
        if (batch_.refused) return refused("remove \"" + key + "\"");
        sqlite3_stmt* statement = prepared(deleteValue);
        if (!statement) return unusable("remove \"" + key + "\"");
        Reset reset{statement};
        sqlite3_bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(statement);
        if (rc != SQLITE_DONE) return failed(rc, "remove \"" + key + "\"");
        return true;
    }

    PropertyListValue::Dictionary allValues() {
        PropertyListValue::Dictionary result;
        sqlite3_stmt* statement = prepared(selectAll);
        if (!statement) return result;
        Reset reset{statement};
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            const auto* key = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            std::string name(key ? key : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)));
            if (auto value = decodeColumn(statement, 1)) result.insert_or_assign(std::move(name), std::move(*value));
        }
        if (rc != SQLITE_DONE) failed(rc, "read every value", false);
        return result;
    }

    bool runStatement(Statement which, const char* what) {
        if (batch_.refused && (which == begin || which == savepoint)) return refused(what);
        sqlite3_stmt* statement = prepared(which);
        if (!statement) return unusable(what);
        Reset reset{statement};
        const int rc = sqlite3_step(statement);
        if (rc != SQLITE_DONE) return failed(rc, what);
        return true;
    }

    enum class Opened { ok, damaged, failed };

    struct Reset {
        sqlite3_stmt* statement;
        ~Reset() {
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
        }
    };

    static const char* sql(Statement which) {
        switch (which) {
            case selectValue: return "SELECT value FROM suite WHERE key = ?1";
            case upsertValue: return "INSERT OR REPLACE INTO suite(key, value) VALUES(?1, ?2)";
            case deleteValue: return "DELETE FROM suite WHERE key = ?1";
            case selectAll: return "SELECT key, value FROM suite ORDER BY key";
            case begin: return "BEGIN IMMEDIATE";
            case commit: return "COMMIT";
            case rollback: return "ROLLBACK";
            case savepoint: return "SAVEPOINT suite_transaction";
            case release: return "RELEASE suite_transaction";
            case rollbackToSavepoint: return "ROLLBACK TO suite_transaction";
            case dataVersionQuery: return "PRAGMA data_version";
            default: return "";
        }
    }

    sqlite3_stmt* prepared(Statement which) {
        if (!database_) return nullptr;
        if (!statements_[which]) {
            const int rc = sqlite3_prepare_v3(database_, sql(which), -1, SQLITE_PREPARE_PERSISTENT,
                                              &statements_[which], nullptr);
            if (rc != SQLITE_OK) {
                failed(rc, "prepare a statement");
                return nullptr;
            }
        }
        return statements_[which];
    }

    static std::optional<PropertyListValue> decodeColumn(sqlite3_stmt* statement, int column) {
        const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(statement, column));
        const int size = sqlite3_column_bytes(statement, column);
        if (!data || size <= 0) return std::nullopt;
        return StoredValue::decode(data, static_cast<std::size_t>(size));
    }

    bool unusable(const std::string& what) {
        noteFailure("the store is not open");
        if (!quiet_) Log::error("settings: cannot " + what + ": the store " + file_.string() + " is not open");
        return false;
    }

    bool refused(const std::string& what) {
        noteFailure(batch_.refusal);
        if (!quiet_) Log::error("settings: cannot " + what + " in " + file_.string() + ": " + batch_.refusal);
        return false;
    }

    // Logs a failed step (a quiet batch keeps its failures to itself); a write's failure fails the
    // batch it is part of. A damaged store is moved aside and a fresh one started.
    bool failed(int rc, const std::string& what, bool write = true) {
        const std::string message = database_ ? sqlite3_errmsg(database_) : sqlite3_errstr(rc);
        if (write) noteFailure(message);
        if (!quiet_ || !write) Log::error("settings: cannot " + what + " in " + file_.string() + ": " + message);
        if (isDamage(rc)) needsRecovery_ = true;
        return false;
    }

    void noteFailure(const std::string& reason) {
        if (!batch_.on) return;
        if (!batch_.failed) batch_.failure = reason;
        batch_.failed = true;
    }

    // The busy handler of every connection in use: SQLite's own schedule of short sleeps, added
    // up as planned. Outside a batch each statement may wait the busy timeout; a batch's wait
    // bounds all of its statements together.
    static int waitForStore(void* store, int attempt) { return static_cast<Store*>(store)->waitOnce(attempt); }
    int waitOnce(int attempt) {
        static constexpr std::array<int, 12> delays{1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
        if (!batchWait_ && attempt == 0) waited_ = 0;
        const int budget = batchWait_.value_or(busyTimeoutMilliseconds);
        const auto step = static_cast<std::size_t>(std::min(attempt, static_cast<int>(delays.size()) - 1));
        const int delay = std::min(delays[step], budget - waited_);
        if (delay <= 0) return 0;
        sqlite3_sleep(delay);
        waited_ += delay;
        return 1;
    }

    void closeConnection() { foundation::closeConnection(connection_); }

    // Opens the store file, creating the table on first use. The journal mode (WAL)
    // is kept in the file itself, so an existing store needs no set-up on opening.
    Opened openConnection() {
        closeConnection();
        sqlite3* database = nullptr;
        int rc = sqlite3_open_v2(file_.c_str(), &database,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            Log::error("settings: cannot open " + file_.string() + ": " +
                       (database ? sqlite3_errmsg(database) : sqlite3_errstr(rc)));
            sqlite3_close_v2(database);
            return Opened::failed;
        }
        database_ = database;
        connection_.owner = ::getpid();
        struct stat status {};
        if (::stat(file_.c_str(), &status) == 0) {
            connection_.device = status.st_dev;
            connection_.inode = status.st_ino;
        }
        sqlite3_extended_result_codes(database_, 1);
        sqlite3_busy_handler(database_, &Store::waitForStore, this);
        // In WAL mode NORMAL keeps every commit atomic and survives a killed process.
        sqlite3_exec(database_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);

        rc = sqlite3_prepare_v3(database_, sql(selectValue), -1, SQLITE_PREPARE_PERSISTENT, &statements_[selectValue],
                                nullptr);
        if (rc == SQLITE_OK) return Opened::ok;
        if (isDamage(rc)) return Opened::damaged;
        if ((rc & 0xff) != SQLITE_ERROR) {
            Log::error("settings: cannot read " + file_.string() + ": " + sqlite3_errmsg(database_));
            closeConnection();
            return Opened::failed;
        }
        // No table yet: a new store.
        rc = switchToWal();
        if (isDamage(rc)) return Opened::damaged;
        rc = sqlite3_exec(database_,
                          "CREATE TABLE IF NOT EXISTS suite(key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) "
                          "WITHOUT ROWID",
                          nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_prepare_v3(database_, sql(selectValue), -1, SQLITE_PREPARE_PERSISTENT,
                                    &statements_[selectValue], nullptr);
        if (rc == SQLITE_OK) return Opened::ok;
        if (isDamage(rc)) return Opened::damaged;
        Log::error("settings: cannot set up " + file_.string() + ": " + sqlite3_errmsg(database_));
        closeConnection();
        return Opened::failed;
    }

    // Puts a new store in WAL mode. The switch needs the file to itself, so processes
    // opening the new store at the same moment make each other's switch fail busy, without
    // SQLite's busy handler being asked: the switch is retried until the busy timeout ends.
    // A switch that fails in the end is logged with SQLite's reason.
    int switchToWal() {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(busyTimeoutMilliseconds);
        int rc = SQLITE_OK;
        for (int attempt = 0;; ++attempt) {
            journalMode_.clear();
            rc = sqlite3_exec(
                database_, "PRAGMA journal_mode=WAL",
                [](void* target, int, char** values, char**) {
                    if (values[0]) *static_cast<std::string*>(target) = values[0];
                    return 0;
                },
                &journalMode_, nullptr);
            const int primary = rc & 0xff;
            const bool busy = primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
            if ((rc == SQLITE_OK && journalMode_ == "wal") || !busy || std::chrono::steady_clock::now() >= deadline)
                break;
            sqlite3_sleep(std::min(1 + attempt, 20));
        }
        if (journalMode_ != "wal") {
            const std::string reason = rc != SQLITE_OK ? std::string(sqlite3_errmsg(database_))
                                                       : "the store stays in mode \"" + journalMode_ + "\"";
            Log::warning("settings: " + file_.string() + " could not be switched to WAL mode: " + reason);
        }
        return rc;
    }

    // True when the store file at the path now reads as a whole database.
    bool damagedOnDisk() {
        sqlite3* probe = nullptr;
        int rc = sqlite3_open_v2(file_.c_str(), &probe, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        bool damaged = false;
        if (rc == SQLITE_OK) {
            sqlite3_extended_result_codes(probe, 1);
            sqlite3_busy_timeout(probe, busyTimeoutMilliseconds);
            std::string result;
            rc = sqlite3_exec(
                probe, "PRAGMA quick_check(1)",
                [](void* target, int, char** values, char**) {
                    if (values[0]) *static_cast<std::string*>(target) = values[0];
                    return 0;
                },
                &result, nullptr);
            damaged = isDamage(rc) || (rc == SQLITE_OK && result != "ok");
        }
        sqlite3_close_v2(probe);
        return damaged;
    }

    // Moves a damaged store aside (never deleting it) and starts a fresh one. Several
    // processes may find the damage at once: the lock file lets only the first move the
    // file, and the others, seeing a sound store at the path, simply reopen it.
    void recover() {
        closeConnection();
        {
            FileLock lock(directory_ / (std::string(storeFileName) + ".lock"));
            std::error_code error;
            if (std::filesystem::exists(file_, error) && damagedOnDisk()) {
                std::filesystem::path aside = file_;
                aside += ".damaged-" + timestampSuffix();
                for (int n = 1; std::filesystem::exists(aside, error); ++n) {
                    aside = file_;
                    aside += ".damaged-" + timestampSuffix() + "-" + std::to_string(n);
                }
                std::filesystem::rename(file_, aside, error);
                if (error) {
                    Log::error("settings: cannot move the damaged store " + file_.string() + " aside: " +
                               error.message());
                    return;
                }
                for (const char* companion : {"-wal", "-shm"}) {
                    std::filesystem::path from = file_, to = aside;
                    from += companion;
                    to += companion;
                    std::error_code ignored;
                    if (std::filesystem::exists(from, ignored)) std::filesystem::rename(from, to, ignored);
                }
                Log::warning("settings: the store " + file_.string() +
                             " is not a readable database; moved aside to " + aside.string() +
                             " and starting a fresh store");
            }
        }
        if (openConnection() != Opened::ok) {
            Log::error("settings: cannot start a fresh store at " + file_.string());
            closeConnection();
        }
    }

    bool standIn_ = false;  // a first start's stand-in, while its store is held
    bool keepsConnection_ = true;
    std::filesystem::path directory_;
    std::filesystem::path file_;
    Connection connection_;
    sqlite3*& database_ = connection_.database;
    std::array<sqlite3_stmt*, statementCount>& statements_ = connection_.statements;
    std::string journalMode_;
    bool needsRecovery_ = false;

    struct BatchState {
        bool on = false;
        bool failed = false;
        bool refused = false;
        std::string failure;
        std::string refusal;
    };
    BatchState batch_;
    std::optional<int> batchWait_;
    int waited_ = 0;
    bool quiet_ = false;
};

// ---- The suite.

std::filesystem::path UserDefaults::groupDirectory() {
    if (const char* group = std::getenv("OSTRELO_GROUP_DIR"); group && *group) return group;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return std::filesystem::path(data) / "ostrelo";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".local" / "share" / "ostrelo";
    std::error_code ignored;
    return std::filesystem::temp_directory_path(ignored) / "ostrelo";
}

// ---- Batches: the store a thread's batch shares with the suite objects made meanwhile.

struct UserDefaults::Batch::Current {
    std::shared_ptr<Store> store;
    std::filesystem::path directory;
};

UserDefaults::Batch::Current& UserDefaults::Batch::current() {
    thread_local Current batch;
    return batch;
}

bool UserDefaults::Batch::active() { return current().store != nullptr; }

UserDefaults::Batch::Batch(const std::filesystem::path& directory) {
    if (active()) return;
    start(threadStore(directory), std::chrono::milliseconds(busyTimeoutMilliseconds), false);
}

UserDefaults::Batch::Batch(const UserDefaults& suite, std::chrono::milliseconds wait) {
    if (active()) return;
    {
        Store::Access access(*suite.store_);
        suite.store_->reopenIfReplaced();
    }
    start(suite.store_, wait, true);
}

void UserDefaults::Batch::start(std::shared_ptr<Store> store, std::chrono::milliseconds wait, bool quiet) {
    Store::Access access(*store);
    // Inside a transaction of the same connection the batch is part of that transaction.
    if (store->inTransaction()) return;
    store->startBatch(static_cast<int>(wait.count()), quiet);
    if (!store->run(begin, "begin a batch of writes")) store->refuseWrites();
    current() = {store, store->directory()};
    store_ = std::move(store);
}

UserDefaults::Batch::~Batch() { commit(); }

bool UserDefaults::Batch::commit() {
    if (ended_) return result_;
    ended_ = true;
    if (!store_) return result_;
    current() = {};
    Store::Access access(*store_);
    bool stored = !store_->batchFailed();
    if (store_->inTransaction()) {
        if (stored) stored = store_->run(Statement::commit, "commit a batch of writes");
        if (!stored && store_->inTransaction()) store_->run(rollback, "roll back a batch of writes");
    }
    auto [failure, waited] = store_->endBatch();
    if (!stored) failure_ = failure.empty() ? "the batch was not committed" : failure;
    waited_ = std::chrono::milliseconds(waited);
    store_.reset();
    return result_ = stored;
}

std::shared_ptr<UserDefaults::Store> UserDefaults::threadStore(const std::filesystem::path& directory) {
    const Batch::Current& batch = Batch::current();
    if (batch.store && batch.directory == directory) return batch.store;
    thread_local std::filesystem::path homeDirectory;
    thread_local std::weak_ptr<Store> home;
    if (auto store = home.lock(); store && homeDirectory == directory && store->openedHere()) {
        Store::Access access(*store);
        store->reopenIfReplaced();
        return store;
    }
    auto store = std::make_shared<Store>(directory);
    // The store that ends a hold reads its stand-in through a connection of its own.
    if (StoreHold::ending()) return store;
    homeDirectory = directory;
    home = store;
    return store;
}

UserDefaults::UserDefaults(const std::filesystem::path& directory) : store_(threadStore(directory)) {}

std::optional<std::int64_t> UserDefaults::dataVersion() const {
    Store::Access access(*store_);
    return store_->dataVersion();
}

UserDefaults::~UserDefaults() = default;

std::optional<PropertyListValue> UserDefaults::object(const std::string& key) const {
    {
        Store::Access access(*store_);
        if (auto stored = store_->read(key)) return stored;
    }
    return registeredValue(key);
}

bool UserDefaults::boolForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return false;
    if (auto b = value->boolValue()) return *b;
    if (auto i = value->integerValue()) return *i != 0;
    if (auto d = value->realValue()) return *d != 0.0;
    if (auto s = value->stringValue()) {
        std::size_t start = s->find_first_not_of(" \t\n");
        if (start == std::string::npos) return false;
        const char first = (*s)[start];
        if (first == 'Y' || first == 'y' || first == 'T' || first == 't') return true;
        auto number = parseDouble(*s);
        return number && *number != 0.0;
    }
    return false;
}

std::int64_t UserDefaults::integerForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return 0;
    if (auto i = value->integerValue()) return *i;
    if (auto d = value->realValue()) return doubleToInteger(*d);
    if (auto b = value->boolValue()) return *b ? 1 : 0;
    if (auto s = value->stringValue()) {
        if (auto i = parseInteger(*s)) return *i;
        if (auto d = parseDouble(*s)) return doubleToInteger(*d);
    }
    return 0;
}

double UserDefaults::doubleForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return 0.0;
    if (auto d = value->numberAsDouble()) return *d;
    if (auto b = value->boolValue()) return *b ? 1.0 : 0.0;
    if (auto s = value->stringValue()) return parseDouble(*s).value_or(0.0);
    return 0.0;
}

std::optional<std::string> UserDefaults::stringForKey(const std::string& key) const {
    auto value = object(key);
    if (!value) return std::nullopt;
    if (auto s = value->stringValue()) return s;
    if (auto i = value->integerValue()) return std::to_string(*i);
    if (auto b = value->boolValue()) return std::string(*b ? "1" : "0");
    if (auto d = value->realValue()) {
        std::array<char, 64> text{};
        auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), *d);
        if (error == std::errc()) return std::string(text.data(), end);
    }
    return std::nullopt;
}

std::optional<PropertyListValue::Array> UserDefaults::arrayForKey(const std::string& key) const {
    auto value = object(key);
    if (value && value->arrayValue()) return *value->arrayValue();
    return std::nullopt;
}

std::optional<PropertyListValue::Dictionary> UserDefaults::dictionaryForKey(const std::string& key) const {
    auto value = object(key);
    if (value && value->dictionaryValue()) return *value->dictionaryValue();
    return std::nullopt;
}

bool UserDefaults::set(const std::string& key, const PropertyListValue& value) {
    Store::Access access(*store_);
    return store_->write(key, value);
}

bool UserDefaults::removeObject(const std::string& key) {
    Store::Access access(*store_);
    return store_->remove(key);
}

namespace {

class StoreTransaction : public UserDefaults::Transaction {
public:
    using Write = std::function<bool(const std::string&, const PropertyListValue*)>;
    using Read = std::function<std::optional<PropertyListValue>(const std::string&)>;
    StoreTransaction(Write write, Read read) : write_(std::move(write)), read_(std::move(read)) {}

    bool set(const std::string& key, const PropertyListValue& value) override { return record(write_(key, &value)); }
    bool removeObject(const std::string& key) override { return record(write_(key, nullptr)); }
    std::optional<PropertyListValue> object(const std::string& key) const override { return read_(key); }
    bool failed() const { return failed_; }

private:
    bool record(bool ok) {
        if (!ok) failed_ = true;
        return ok;
    }
    Write write_;
    Read read_;
    bool failed_ = false;
};

}  // namespace

void UserDefaults::undo(Store& store, bool nested) {
    if (!store.inTransaction()) return;
    if (!nested) {
        store.run(rollback, "roll back a transaction");
    } else if (store.run(rollbackToSavepoint, "roll back a transaction")) {
        store.run(release, "end a rolled back transaction");
    }
}

bool UserDefaults::performTransaction(const std::function<bool(Transaction&)>& body) {
    Store::Access access(*store_);
    Store& store = *store_;
    // Inside a batch the transaction is a savepoint of the batch's.
    const bool nested = store.inTransaction();
    if (!store.run(nested ? savepoint : begin, "begin a transaction")) return false;
    StoreTransaction transaction(
        [&store](const std::string& key, const PropertyListValue* value) {
            return value ? store.write(key, *value) : store.remove(key);
        },
        [&store](const std::string& key) {
            if (auto stored = store.read(key)) return stored;
            return registeredValue(key);
        });
    bool keep = false;
    try {
        keep = body(transaction) && !transaction.failed();
    } catch (...) {
        undo(store, nested);
        throw;
    }
    if (keep && store.run(nested ? release : commit, "commit a transaction")) return true;
    undo(store, nested);
    return false;
}

void UserDefaults::registerDefaults(const PropertyListValue::Dictionary& defaults) {
    std::unique_lock lock(registeredMutex());
    for (const auto& [key, value] : defaults) registeredDefaults().insert_or_assign(key, value);
}

bool UserDefaults::synchronize() {
    Store::Access access(*store_);
    return store_->usable();
}

PropertyListValue::Dictionary UserDefaults::dictionaryRepresentation() const {
    Store::Access access(*store_);
    return store_->all();
}

}  // namespace foundation
