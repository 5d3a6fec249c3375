// One SQLite connection to a settings store file: opening and setting up the file, WAL mode,
// and the statements the store runs.
#include "platform/foundation/StoreConnection.h"

#include "platform/foundation/Log.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace foundation {

namespace {

const char* sql(StoreConnection::Statement which) {
    switch (which) {
        case StoreConnection::selectValue: return "SELECT value FROM suite WHERE key = ?1";
        case StoreConnection::upsertValue: return "INSERT OR REPLACE INTO suite(key, value) VALUES(?1, ?2)";
        case StoreConnection::deleteValue: return "DELETE FROM suite WHERE key = ?1";
        case StoreConnection::selectAll: return "SELECT key, value FROM suite ORDER BY key";
        case StoreConnection::selectRange: return "SELECT key, value FROM suite WHERE key >= ?1 AND key < ?2 ORDER BY key";
        case StoreConnection::begin: return "BEGIN IMMEDIATE";
        case StoreConnection::commit: return "COMMIT";
        case StoreConnection::rollback: return "ROLLBACK";
        case StoreConnection::savepoint: return "SAVEPOINT suite_transaction";
        case StoreConnection::release: return "RELEASE suite_transaction";
        case StoreConnection::rollbackToSavepoint: return "ROLLBACK TO suite_transaction";
        case StoreConnection::dataVersionQuery: return "PRAGMA data_version";
        default: return "";
    }
}

// Keeps the first column of the row a pragma answers.
int keepFirstColumn(void* target, int, char** values, char**) {
    if (values[0]) *static_cast<std::string*>(target) = values[0];
    return 0;
}

}  // namespace

bool StoreConnection::isDamage(int resultCode) {
    const int primary = resultCode & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

StoreConnection::Opened StoreConnection::open(const std::filesystem::path& file, BusyHandler busy, void* context) {
    close();
    struct stat status {};
    if (::lstat(file.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) return Opened::damaged;
    if (!openFile(file)) return Opened::failed;
    configure(busy, context);
    const int rc = prepare(selectValue);
    if (rc == SQLITE_OK) return Opened::ok;
    if (isDamage(rc)) return Opened::damaged;
    if ((rc & 0xff) != SQLITE_ERROR) return fail(file, "read");
    // No table yet: a new store.
    return setUp(file);
}

void StoreConnection::close() {
    for (auto& statement : statements) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    if (database) sqlite3_close_v2(database);
    database = nullptr;
}

int StoreConnection::prepare(Statement which) {
    if (statements[which]) return SQLITE_OK;
    return sqlite3_prepare_v3(database, sql(which), -1, SQLITE_PREPARE_PERSISTENT, &statements[which], nullptr);
}

bool StoreConnection::readOnlyOn(const std::filesystem::path& file) const {
    return database && sqlite3_db_readonly(database, "main") == 1 &&
           ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0;
}

bool StoreConnection::openedHere() const { return !database || owner == ::getpid(); }

bool StoreConnection::inTransaction() const { return database && sqlite3_get_autocommit(database) == 0; }

bool StoreConnection::openFile(const std::filesystem::path& file) {
    sqlite3* opened = nullptr;
    const int rc =
        sqlite3_open_v2(file.c_str(), &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        Log::error("settings: cannot open " + file.string() + ": " +
                   (opened ? sqlite3_errmsg(opened) : sqlite3_errstr(rc)));
        sqlite3_close_v2(opened);
        return false;
    }
    database = opened;
    owner = ::getpid();
    struct stat status {};
    if (::stat(file.c_str(), &status) == 0) {
        device = status.st_dev;
        inode = status.st_ino;
    }
    return true;
}

void StoreConnection::configure(BusyHandler busy, void* context) {
    sqlite3_extended_result_codes(database, 1);
    sqlite3_busy_handler(database, busy, context);
    // In WAL mode NORMAL keeps every commit atomic and survives a killed process.
    sqlite3_exec(database, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
}

// A new store: WAL mode, then the table.
StoreConnection::Opened StoreConnection::setUp(const std::filesystem::path& file) {
    int rc = switchToWal(file);
    if (isDamage(rc)) return Opened::damaged;
    rc = sqlite3_exec(database,
                      "CREATE TABLE IF NOT EXISTS suite(key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) "
                      "WITHOUT ROWID",
                      nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = prepare(selectValue);
    if (rc == SQLITE_OK) return Opened::ok;
    if (isDamage(rc)) return Opened::damaged;
    return fail(file, "set up");
}

// The switch needs the file to itself, so processes opening the new store at the same moment
// make each other's switch fail busy, without SQLite's busy handler being asked: the switch is
// retried until the busy timeout ends. A switch that fails in the end is logged with SQLite's
// reason.
int StoreConnection::switchToWal(const std::filesystem::path& file) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(busyTimeoutMilliseconds);
    std::string journalMode;
    int rc = SQLITE_OK;
    for (int attempt = 0;; ++attempt) {
        journalMode.clear();
        rc = sqlite3_exec(database, "PRAGMA journal_mode=WAL", keepFirstColumn, &journalMode, nullptr);
        const int primary = rc & 0xff;
        const bool busy = primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
        if ((rc == SQLITE_OK && journalMode == "wal") || !busy || std::chrono::steady_clock::now() >= deadline) break;
        sqlite3_sleep(std::min(1 + attempt, 20));
    }
    if (journalMode != "wal") {
        const std::string reason = rc != SQLITE_OK ? std::string(sqlite3_errmsg(database))
                                                   : "the store stays in mode \"" + journalMode + "\"";
        Log::warning("settings: " + file.string() + " could not be switched to WAL mode: " + reason);
    }
    return rc;
}

StoreConnection::Opened StoreConnection::fail(const std::filesystem::path& file, const char* what) {
    Log::error(std::string("settings: cannot ") + what + " " + file.string() + ": " + sqlite3_errmsg(database));
    close();
    return Opened::failed;
}

}  // namespace foundation
