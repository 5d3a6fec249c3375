// The SQLite store behind the settings suite: the connection a suite object uses, its reads and
// writes, batches and transactions, the recovery of a damaged file and a first start's stand-in.
#pragma once

#include "platform/foundation/PropertyListValue.h"
#include "platform/foundation/StoreBatchState.h"
#include "platform/foundation/StoreConnection.h"
#include "platform/foundation/UserDefaults.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>

namespace foundation {

// The store file "group.sqlite" of a group directory, through one connection. Connections no
// store uses any more go to the pool of idle connections. While the directory's store is held
// for a first start (StoreHold), the store is the hold's stand-in, and it moves to the
// directory's store at its first use after the hold has ended.
class UserDefaults::Store {
public:
    explicit Store(std::filesystem::path directory);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Every use of a store, from any suite object: its mutex, and while the store is a first
    // start's stand-in, the hold (which cannot end in the middle of a use). A stand-in whose hold
    // has ended gives way to the directory's own store at its next use.
    class Access {
    public:
        explicit Access(Store& store) : lock_(store.mutex_), hold_(store.followHold()) {}

    private:
        std::lock_guard<std::recursive_mutex> lock_;
        std::shared_lock<std::shared_mutex> hold_;
    };

    // Each operation below is followed by the recovery of a store found damaged during it (not
    // inside a transaction: the transaction's end handles that). Reads of an unusable store give
    // none; writes to it fail.
    std::optional<PropertyListValue> read(const std::string& key) { return settled(readValue(key)); }
    bool write(const std::string& key, const PropertyListValue& value) { return settled(writeValue(key, value)); }
    bool remove(const std::string& key) { return settled(removeValue(key)); }
    PropertyListValue::Dictionary all() { return settled(allValues()); }
    PropertyListValue::Dictionary range(const std::string& from, const std::string& to) {
        return settled(rangeValues(from, to));
    }

    bool usable() const { return connection_.database != nullptr; }
    bool inTransaction() const { return connection_.inTransaction(); }
    const std::filesystem::path& directory() const { return directory_; }
    bool openedHere() const { return connection_.openedHere(); }

    // The store's version: it changes whenever another connection has committed since this one
    // last asked. None when the store is unusable.
    std::optional<std::int64_t> dataVersion();

    // A long-lived connection follows the file at the path: when the file it is on was removed
    // or replaced (another process moved a damaged one aside, a user deleted it), it would write
    // into the old file otherwise; a read-only connection reopens once the file may be written,
    // and a store whose recovery another process held tries it again. One stat() when the
    // connection is in order.
    void reopenIfReplaced();
    // A number that changes whenever the connection has moved to another file than the one it
    // was on (followed at the path, or a fresh store after a recovery).
    std::uint64_t file() const { return fileGeneration_; }

    // A transaction of the connection's own, or (`nested`, inside a batch) a savepoint of the
    // batch's transaction. A transaction that fails to commit is rolled back by its caller.
    bool beginTransaction(bool nested);
    bool commitTransaction(bool nested);
    void rollBackTransaction(bool nested);

    // A batch on this connection, waiting for the store at most `waitMilliseconds` in all; false
    // when the connection is in a transaction already (the batch is then part of it). When the
    // store does not start the batch, its writes fail at once until it ends.
    bool beginBatch(int waitMilliseconds, bool quiet);
    struct BatchEnd {
        bool stored = false;
        std::string failure;  // the batch's first failure
        int waited = 0;       // the planned waits, in milliseconds
    };
    // Commits the batch's writes when each reached the store, else rolls them all back.
    BatchEnd endBatch();

private:
    using Statement = StoreConnection::Statement;
    using Opened = StoreConnection::Opened;

    template <typename T>
    T settled(T result) {
        if (needsRecovery_ && !inTransaction()) {
            needsRecovery_ = false;
            recover();
        }
        return result;
    }

    std::shared_lock<std::shared_mutex> followHold();
    bool adoptKeptConnection();
    Opened open();
    void openOrRecover();
    void recover();

    std::optional<PropertyListValue> readValue(const std::string& key);
    bool writeValue(const std::string& key, const PropertyListValue& value);
    bool removeValue(const std::string& key);
    PropertyListValue::Dictionary allValues();
    PropertyListValue::Dictionary rangeValues(const std::string& from, const std::string& to);
    PropertyListValue::Dictionary rows(sqlite3_stmt* statement, const char* what);
    bool run(Statement which, const char* what) { return settled(runStatement(which, what)); }
    bool runStatement(Statement which, const char* what);
    sqlite3_stmt* prepared(Statement which);

    bool unusable(const std::string& what);
    bool refused(const std::string& what);
    bool failed(int rc, const std::string& what, bool write = true);

    std::recursive_mutex mutex_;
    bool standIn_ = false;  // a first start's stand-in, while its store is held
    bool keepsConnection_ = true;
    std::filesystem::path directory_;
    std::filesystem::path file_;
    StoreConnection connection_;
    bool needsRecovery_ = false;
    bool recoveryHeld_ = false;  // the recovery's lock was held by another process
    std::uint64_t fileGeneration_ = 0;
    StoreBatchState batch_;
};

}  // namespace foundation
