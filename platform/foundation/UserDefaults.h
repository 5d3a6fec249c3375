// The settings suite the rest of the code sees: typed values in the group's shared store.
#pragma once

#include "platform/foundation/PropertyListValue.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace foundation {

// The app-group settings suite shared by every process of the group: one SQLite
// file "group.sqlite" in the group directory (WAL mode, busy timeout). Every write
// is committed at once and is seen by other processes at their next read.
// Nothing here throws: a failed write is logged and reported as false.
// The objects of one thread for one directory share a connection, so that the store's
// version (dataVersion) tells the writes of other threads and processes from the thread's
// own; threads may each use their own objects (one object may also be shared; its calls
// are serialised). Connections no object uses any more are kept open for the next object
// of the same process.
class UserDefaults {
    class Store;

public:
    // The group directory: $OSTRELO_GROUP_DIR, else $XDG_DATA_HOME/ostrelo,
    // else ~/.local/share/ostrelo.
    static std::filesystem::path groupDirectory();

    // Opens the suite of the group directory. Never fails: when the store cannot
    // be opened the suite still answers reads with defaults and reports writes as failed.
    // A store file that is not a database, or a damaged one, is moved aside
    // (renamed, never deleted), a fresh store is started and a warning is logged.
    explicit UserDefaults(const std::filesystem::path& directory = groupDirectory());
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The stored value, else the value registered for this process, else none.
    std::optional<PropertyListValue> object(const std::string& key) const;

    // The phone's typed reads: absent (or unconvertible) gives false, 0, 0.0, none.
    // Numbers convert between kinds as the phone does (a double is cut toward zero
    // for integerForKey, a nonzero number is true for boolForKey); strings holding
    // a number convert too.
    bool boolForKey(const std::string& key) const;
    std::int64_t integerForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;
    std::optional<std::string> stringForKey(const std::string& key) const;
    std::optional<PropertyListValue::Array> arrayForKey(const std::string& key) const;
    std::optional<PropertyListValue::Dictionary> dictionaryForKey(const std::string& key) const;

    // Writes and removals: committed at once; false (and a log line) on failure.
    bool set(const std::string& key, const PropertyListValue& value);
    bool removeObject(const std::string& key);

    // A number that changes whenever another thread or process has committed to the store
    // since this thread's connection last asked; the thread's own commits leave it as it is.
    // None when the store is unusable.
    std::optional<std::int64_t> dataVersion() const;

    // A number naming the file the store is on; it changes when the store has moved to another
    // file at the group directory's path: the one it was on was removed or replaced, or moved
    // aside as damaged. The path is checked first (one stat), except inside a transaction or
    // batch, whose start has checked it.
    std::uint64_t storeFile() const;

    // Several writes committed together: other processes see all of them or none.
    // The body returns false to roll back; a failed write inside also rolls back.
    // The store's write lock is held while the body runs (other writers wait, up to the
    // busy timeout), so the body must not write through another suite object. An
    // exception thrown by the body rolls the transaction back and passes on.
    class Transaction {
    public:
        virtual ~Transaction() = default;
        virtual bool set(const std::string& key, const PropertyListValue& value) = 0;
        virtual bool removeObject(const std::string& key) = 0;
        virtual std::optional<PropertyListValue> object(const std::string& key) const = 0;
    };
    bool performTransaction(const std::function<bool(Transaction&)>& body);

    // The writes of one user action as one commit. While a batch lives, every suite object
    // made on its thread for its directory shares the batch's connection and transaction:
    // reads on that thread see the writes at once, other processes (and a process killed
    // half-way) see all of them or none once the batch ends. A batch made inside another does
    // nothing. The store's write lock is held from the start of the batch (other writers
    // wait, up to their busy timeout), so a batch must stay short. A write that fails inside
    // the batch makes the whole batch roll back at its end. When the store does not start the
    // batch (locked past the wait, read-only, unusable), every write made on the thread while
    // it lives fails at once; reads still work.
    class Batch {
    public:
        // On a connection of the directory's store, waiting up to the busy timeout; every
        // failure is logged.
        explicit Batch(const std::filesystem::path& directory = groupDirectory());
        // On `suite`'s connection; no read or write of the batch waits more than `wait` for
        // the store in all, and nothing is logged: commit() and failure() tell what happened.
        Batch(const UserDefaults& suite, std::chrono::milliseconds wait);
        // Commits, unless commit() has.
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

        // Ends the batch: its writes are committed when each of them reached the store, else
        // all of them are rolled back. True when they are in the store (also when there were
        // none, and for a batch made inside another).
        bool commit();
        // Why the batch's writes did not reach the store; empty while they did.
        const std::string& failure() const { return failure_; }
        // How long the batch waited for the store, by the waits planned for it (what the wait
        // bounds), whatever the machine's sleeps took.
        std::chrono::milliseconds waited() const { return waited_; }
        // Whether a batch lives on this thread.
        static bool active();

    private:
        friend class UserDefaults;
        struct Current;
        static Current& current();
        void start(std::shared_ptr<Store> store, std::chrono::milliseconds wait, bool quiet);
        std::shared_ptr<Store> store_;
        std::string failure_;
        std::chrono::milliseconds waited_{0};
        bool ended_ = false;
        bool result_ = true;
    };

    // Defaults kept in memory for this process only (shared by every UserDefaults
    // object of the process), merged over earlier registrations; never stored.
    void registerDefaults(const PropertyListValue::Dictionary& defaults);

    // Every write is already durable; this reports whether the store is usable.
    bool synchronize();

    // Every stored key and value (for tests and tools that compare whole stores).
    PropertyListValue::Dictionary dictionaryRepresentation() const;
    // The stored keys from `from` up to (not including) `to`, in the order of their bytes, with
    // their values, read at once (registered defaults are not among them).
    PropertyListValue::Dictionary objectsInRange(const std::string& from, const std::string& to) const;

private:
    // The connection the thread's objects for the directory share.
    static std::shared_ptr<Store> threadStore(const std::filesystem::path& directory);
    std::shared_ptr<Store> store_;
};

}  // namespace foundation
