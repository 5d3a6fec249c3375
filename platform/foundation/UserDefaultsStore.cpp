// The SQLite store behind the settings suite: reads, writes, batches and transactions on one
// connection, the recovery of a store found damaged, and following a first start's hold.
#include "platform/foundation/UserDefaultsStore.h"

#include "platform/foundation/ConnectionPool.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/StoreHold.h"
#include "platform/foundation/StoreRecovery.h"
#include "platform/foundation/StoredValue.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <system_error>
#include <utility>

namespace foundation {

namespace {

const char* const storeFileName = "group.sqlite";

// Resets a statement and its bindings at the end of a use.
struct Reset {
    sqlite3_stmt* statement;
    ~Reset() {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
};

std::optional<PropertyListValue> decodeColumn(sqlite3_stmt* statement, int column) {
    const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(statement, column));
    const int size = sqlite3_column_bytes(statement, column);
    if (!data || size <= 0) return std::nullopt;
    return StoredValue::decode(data, static_cast<std::size_t>(size));
}

void bindKey(sqlite3_stmt* statement, const std::string& key) {
    sqlite3_bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
}

}  // namespace

UserDefaults::Store::Store(std::filesystem::path directory) : directory_(std::move(directory)) {
    const auto use = StoreHold::use(directory_);
    standIn_ = use.owns_lock();
    file_ = standIn_ ? StoreHold::standInFile(storeFileName) : directory_ / storeFileName;
    keepsConnection_ = !standIn_;
    if (keepsConnection_ && adoptKeptConnection()) return;
    std::error_code ignored;
    std::filesystem::create_directories(directory_, ignored);
    openOrRecover();
}

UserDefaults::Store::~Store() {
    if (!openedHere()) return;  // inherited across fork: never touched
    if (connection_.database && keepsConnection_ && !inTransaction() && !needsRecovery_) {
        // A kept connection must not call back into this object.
        sqlite3_busy_timeout(connection_.database, StoreConnection::busyTimeoutMilliseconds);
        ConnectionPool::shared().give(file_, connection_);
        connection_ = StoreConnection{};
    } else {
        connection_.close();
    }
}

std::optional<std::int64_t> UserDefaults::Store::dataVersion() {
    sqlite3_stmt* statement = prepared(StoreConnection::dataVersionQuery);
    if (!statement) return std::nullopt;
    Reset reset{statement};
    if (sqlite3_step(statement) != SQLITE_ROW) return std::nullopt;
    return sqlite3_column_int64(statement, 0);
}

void UserDefaults::Store::reopenIfReplaced() {
    if (inTransaction()) return;
    if (connection_.database) {
        struct stat status {};
        const bool same = ::stat(file_.c_str(), &status) == 0 && connection_.isOn(status);
        if (same && !connection_.readOnlyOn(file_)) return;
        openOrRecover();
        if (!same) ++fileGeneration_;
    } else if (recoveryHeld_) {
        openOrRecover();
        if (connection_.database) ++fileGeneration_;
    }
}

// ---- Transactions and batches.

bool UserDefaults::Store::beginTransaction(bool nested) {
    return run(nested ? StoreConnection::savepoint : StoreConnection::begin, "begin a transaction");
}

bool UserDefaults::Store::commitTransaction(bool nested) {
    return run(nested ? StoreConnection::release : StoreConnection::commit, "commit a transaction");
}

void UserDefaults::Store::rollBackTransaction(bool nested) {
    if (!inTransaction()) return;
    if (!nested) {
        run(StoreConnection::rollback, "roll back a transaction");
    } else if (run(StoreConnection::rollbackToSavepoint, "roll back a transaction")) {
        run(StoreConnection::release, "end a rolled back transaction");
    }
}

bool UserDefaults::Store::beginBatch(int waitMilliseconds, bool quiet) {
    // Inside a transaction of the same connection the batch is part of that transaction.
    if (inTransaction()) return false;
    batch_.start(waitMilliseconds, quiet);
    if (!run(StoreConnection::begin, "begin a batch of writes")) batch_.refuseWrites();
    return true;
}

UserDefaults::Store::BatchEnd UserDefaults::Store::endBatch() {
    bool stored = !batch_.failed();
    if (inTransaction()) {
        if (stored) stored = run(StoreConnection::commit, "commit a batch of writes");
        if (!stored && inTransaction()) run(StoreConnection::rollback, "roll back a batch of writes");
    }
    auto [failure, waited] = batch_.end();
    return {stored, std::move(failure), waited};
}

// ---- The connection: kept, opened, recovered, following a first start's hold.

// The hold of a first start's store, while this store is its stand-in and it lasts; at the
// first use after it has ended, the connection moves to the directory's store, which the end
// of the hold has made with the stand-in's values.
std::shared_lock<std::shared_mutex> UserDefaults::Store::followHold() {
    if (!standIn_) return {};
    auto use = StoreHold::use(directory_);
    if (use.owns_lock() || inTransaction()) return use;
    standIn_ = false;
    keepsConnection_ = true;
    file_ = directory_ / storeFileName;
    openOrRecover();
    return {};
}

bool UserDefaults::Store::adoptKeptConnection() {
    auto kept = ConnectionPool::shared().take(file_);
    if (!kept) return false;
    connection_ = *kept;
    sqlite3_busy_handler(connection_.database, &StoreBatchState::waitForStore, &batch_);
    return true;
}

UserDefaults::Store::Opened UserDefaults::Store::open() {
    return connection_.open(file_, &StoreBatchState::waitForStore, &batch_);
}

void UserDefaults::Store::openOrRecover() {
    recoveryHeld_ = false;
    if (open() == Opened::damaged) recover();
}

// Moves a damaged store aside (never deleting it) and starts a fresh one. While another process
// holds the recovery's lock the store is unusable, and the recovery is tried again at its next
// use that checks the file (reopenIfReplaced).
void UserDefaults::Store::recover() {
    connection_.close();
    const auto outcome = StoreRecovery::moveAside(file_, directory_ / (std::string(storeFileName) + ".lock"));
    recoveryHeld_ = outcome == StoreRecovery::Outcome::held;
    if (outcome != StoreRecovery::Outcome::done) return;
    ++fileGeneration_;
    if (open() != Opened::ok) {
        Log::error("settings: cannot start a fresh store at " + file_.string());
        connection_.close();
    }
}

// ---- Statements.

// The raw stored value: none when absent, unreadable or the store is unusable.
std::optional<PropertyListValue> UserDefaults::Store::readValue(const std::string& key) {
    sqlite3_stmt* statement = prepared(StoreConnection::selectValue);
    if (!statement) return std::nullopt;
    Reset reset{statement};
    bindKey(statement, key);
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

bool UserDefaults::Store::writeValue(const std::string& key, const PropertyListValue& value) {
    if (batch_.refused()) return refused("write \"" + key + "\"");
    sqlite3_stmt* statement = prepared(StoreConnection::upsertValue);
    if (!statement) return unusable("write \"" + key + "\"");
    const std::string blob = StoredValue::encode(value);
    Reset reset{statement};
    bindKey(statement, key);
    sqlite3_bind_blob(statement, 2, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) return failed(rc, "write \"" + key + "\"");
    return true;
}

bool UserDefaults::Store::removeValue(const std::string& key) {
    if (batch_.refused()) return refused("remove \"" + key + "\"");
    sqlite3_stmt* statement = prepared(StoreConnection::deleteValue);
    if (!statement) return unusable("remove \"" + key + "\"");
    Reset reset{statement};
    bindKey(statement, key);
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) return failed(rc, "remove \"" + key + "\"");
    return true;
}

PropertyListValue::Dictionary UserDefaults::Store::allValues() {
    return rows(prepared(StoreConnection::selectAll), "read every value");
}

PropertyListValue::Dictionary UserDefaults::Store::rangeValues(const std::string& from, const std::string& to) {
    sqlite3_stmt* statement = prepared(StoreConnection::selectRange);
    if (!statement) return {};
    sqlite3_bind_text(statement, 1, from.data(), static_cast<int>(from.size()), SQLITE_STATIC);
    sqlite3_bind_text(statement, 2, to.data(), static_cast<int>(to.size()), SQLITE_STATIC);
    return rows(statement, "read a range of values");
}

// The keys and values a prepared query answers, row by row.
PropertyListValue::Dictionary UserDefaults::Store::rows(sqlite3_stmt* statement, const char* what) {
    PropertyListValue::Dictionary result;
    if (!statement) return result;
    Reset reset{statement};
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* key = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        std::string name(key ? key : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)));
        // Rows come in the keys' order: each goes at the end, without a search.
        if (auto value = decodeColumn(statement, 1))
            result.insert_or_assign(result.end(), std::move(name), std::move(*value));
    }
    if (rc != SQLITE_DONE) failed(rc, what, false);
    return result;
}

bool UserDefaults::Store::runStatement(Statement which, const char* what) {
    if (batch_.refused() && (which == StoreConnection::begin || which == StoreConnection::savepoint))
        return refused(what);
    sqlite3_stmt* statement = prepared(which);
    if (!statement) return unusable(what);
    Reset reset{statement};
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) return failed(rc, what);
    return true;
}

sqlite3_stmt* UserDefaults::Store::prepared(Statement which) {
    if (!connection_.database) return nullptr;
    if (const int rc = connection_.prepare(which); rc != SQLITE_OK) {
        failed(rc, "prepare a statement");
        return nullptr;
    }
    return connection_.statement(which);
}

// ---- Failures: logged (a quiet batch keeps those of its writes to itself) and noted for the
// batch they fail.

bool UserDefaults::Store::unusable(const std::string& what) {
    batch_.noteFailure("the store is not open");
    // A recovery held elsewhere has said so once.
    if (!batch_.quiet() && !recoveryHeld_)
        Log::error("settings: cannot " + what + ": the store " + file_.string() + " is not open");
    return false;
}

bool UserDefaults::Store::refused(const std::string& what) {
    batch_.noteFailure(batch_.refusal());
    if (!batch_.quiet()) Log::error("settings: cannot " + what + " in " + file_.string() + ": " + batch_.refusal());
    return false;
}

// A failed step; a damaged store is moved aside and a fresh one started after the operation.
bool UserDefaults::Store::failed(int rc, const std::string& what, bool write) {
    const std::string message = connection_.database ? sqlite3_errmsg(connection_.database) : sqlite3_errstr(rc);
    if (write) batch_.noteFailure(message);
    if (!batch_.quiet() || !write) Log::error("settings: cannot " + what + " in " + file_.string() + ": " + message);
    if (StoreConnection::isDamage(rc)) needsRecovery_ = true;
    return false;
}

}  // namespace foundation
