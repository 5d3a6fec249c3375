// The settings store's idle connections: kept per store file, reused only on that same file.
#include "platform/foundation/ConnectionPool.h"

#include <sys/stat.h>
#include <unistd.h>

namespace foundation {

ConnectionPool& ConnectionPool::shared() {
    static ConnectionPool pool;
    return pool;
}

std::optional<StoreConnection> ConnectionPool::take(const std::filesystem::path& file) {
    struct stat status {};
    const bool exists = ::stat(file.c_str(), &status) == 0;
    std::lock_guard lock(mutex_);
    auto found = idle_.find(file.string());
    if (found == idle_.end()) return std::nullopt;
    auto& connections = found->second;
    while (!connections.empty()) {
        StoreConnection connection = connections.back();
        connections.pop_back();
        if (connection.owner != ::getpid()) continue;  // inherited across fork: never touched
        if (exists && connection.isOn(status) && !connection.readOnlyOn(file)) return connection;
        connection.close();
    }
    return std::nullopt;
}

void ConnectionPool::give(const std::filesystem::path& file, StoreConnection connection) {
    std::lock_guard lock(mutex_);
    auto& connections = idle_[file.string()];
    if (connections.size() >= maximumIdle) {
        connection.close();
        return;
    }
    connections.push_back(connection);
}

ConnectionPool::~ConnectionPool() {
    for (auto& [file, connections] : idle_)
        for (auto& connection : connections)
            if (connection.owner == ::getpid()) connection.close();
}

}  // namespace foundation
