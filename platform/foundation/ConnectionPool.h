// The settings store's connections no suite object uses at the moment, kept open per process.
#pragma once

#include "platform/foundation/StoreConnection.h"

#include <cstddef>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace foundation {

// Connections kept open for the next suite object of the same store: opening the suite afresh
// then costs a file check instead of setting up a connection, and the store's shared WAL index
// stays live. A kept connection is used again only by the process that opened it and only while
// the path still names the file it was opened on (a store moved aside by another process is
// never reused), and never read-only once the file may be written.
class ConnectionPool {
public:
    static ConnectionPool& shared();

    // A kept connection to `file`, if one is still on it; the others kept for it are closed.
    std::optional<StoreConnection> take(const std::filesystem::path& file);
    // Keeps `connection` to `file`, or closes it when enough are kept.
    void give(const std::filesystem::path& file, StoreConnection connection);

    ~ConnectionPool();

private:
    static constexpr std::size_t maximumIdle = 8;
    std::mutex mutex_;
    std::map<std::string, std::vector<StoreConnection>> idle_;
};

}  // namespace foundation
