#include "platform/foundation/StoreHold.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace foundation {

namespace {

struct Held {
    std::filesystem::path directory;
    std::filesystem::path standIn;  // the stand-in store's folder
};

struct State {
    std::shared_mutex mutex;
    std::optional<Held> held;
};

State& state() {
    static State s;
    return s;
}

// Set on the thread that releases: its suites open what they name, without the lock it holds.
thread_local bool releasing = false;

// A new private folder for the stand-in, in memory where the system keeps one.
std::optional<std::filesystem::path> makeStandInFolder() {
    std::vector<std::string> bases = {"/dev/shm"};
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0')
        bases.emplace_back(runtime);
    std::error_code error;
    bases.push_back(std::filesystem::temp_directory_path(error).string());
    for (const auto& base : bases) {
        std::string pattern = base + "/ostrelo-first-start-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) return std::filesystem::path(pattern);
    }
    return std::nullopt;
}

}  // namespace

bool StoreHold::hold(const std::filesystem::path& directory) {
    std::error_code error;
    if (std::filesystem::exists(directory / "group.sqlite", error) || error) return false;
    State& s = state();
    std::unique_lock lock(s.mutex);
    if (s.held) return false;
    auto folder = makeStandInFolder();
    if (!folder) return false;
    s.held = Held{directory, *folder};
    return true;
}

void StoreHold::release() {
    State& s = state();
    std::unique_lock lock(s.mutex);
    if (!s.held) return;
    const Held held = *s.held;
    s.held.reset();
    releasing = true;
    const auto values = UserDefaults(held.standIn).dictionaryRepresentation();
    UserDefaults store(held.directory);
    const auto kept = store.dictionaryRepresentation();
    const bool stored = store.performTransaction([&](UserDefaults::Transaction& transaction) {
        for (const auto& [key, value] : values)
            if (kept.count(key) == 0 && !transaction.set(key, value)) return false;
        return true;
    });
    releasing = false;
    if (!stored) Log::error("settings: what the first start stored could not be moved to " + held.directory.string());
    std::error_code ignored;
    std::filesystem::remove_all(held.standIn, ignored);
}

std::shared_lock<std::shared_mutex> StoreHold::use(const std::filesystem::path& directory) {
    if (releasing) return {};
    State& s = state();
    std::shared_lock lock(s.mutex);
    if (!s.held || s.held->directory != directory) return {};
    return lock;
}

std::filesystem::path StoreHold::standInFile(const std::filesystem::path& name) {
    const State& s = state();
    return s.held ? s.held->standIn / name : name;
}

bool StoreHold::ending() { return releasing; }

}  // namespace foundation
