// One SQLite connection to a settings store file: opening it (a new store is set up in WAL mode),
// its prepared statements, and the file it was opened on.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <array>
#include <filesystem>

struct sqlite3;
struct sqlite3_stmt;

namespace foundation {

// A plain handle: copying it copies the handle, and close() is called by whoever holds the
// last copy in use (a store, or the pool of idle connections).
struct StoreConnection {
    // Every statement a store runs, prepared once per connection.
    enum Statement {
        selectValue,
        upsertValue,
        deleteValue,
        selectAll,
        selectRange,
        begin,
        commit,
        rollback,
        savepoint,
        release,
        rollbackToSavepoint,
        dataVersionQuery,
        statementCount
    };
    enum class Opened { ok, damaged, failed };
    // SQLite's busy handler: asked, with the number of earlier attempts, whether to try again.
    using BusyHandler = int (*)(void* context, int attempt);

    // How long a statement may wait for a store another connection has locked.
    static constexpr int busyTimeoutMilliseconds = 5000;

    // Whether an SQLite result code says the file is not a database, or a damaged one.
    static bool isDamage(int resultCode);

    // Opens `file` (closing what was open), creating the store's table on first use; every
    // failure is logged. The journal mode (WAL) is kept in the file itself, so an existing store
    // needs no set-up on opening. `busy` is asked whenever the store is locked. Something other
    // than a regular file at the path (a FIFO, a device, a directory, a link) is never opened: it
    // counts as damaged.
    Opened open(const std::filesystem::path& file, BusyHandler busy, void* context);
    void close();

    // Prepares `which` unless it is; SQLite's result.
    int prepare(Statement which);
    sqlite3_stmt* statement(Statement which) const { return statements[which]; }

    // Whether the file `status` describes is the one this connection was opened on.
    bool isOn(const struct stat& status) const { return device == status.st_dev && inode == status.st_ino; }
    // Whether the connection is read-only although `file` may be written now: SQLite opens a file
    // the process may not write read-only, and the connection stays so.
    bool readOnlyOn(const std::filesystem::path& file) const;
    // Whether this process opened the connection (one inherited across fork is never touched).
    bool openedHere() const;
    // Whether the connection is inside a transaction.
    bool inTransaction() const;

    sqlite3* database = nullptr;
    std::array<sqlite3_stmt*, statementCount> statements{};
    dev_t device = 0;
    ino_t inode = 0;
    pid_t owner = 0;

private:
    bool openFile(const std::filesystem::path& file);
    void configure(BusyHandler busy, void* context);
    Opened setUp(const std::filesystem::path& file);
    int switchToWal(const std::filesystem::path& file);
    Opened fail(const std::filesystem::path& file, const char* what);
};

}  // namespace foundation
