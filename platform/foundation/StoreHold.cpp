#include "platform/foundation/StoreHold.h"

#include "platform/foundation/FileDescriptor.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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

// A stand-in's folder is named after the process that holds it: "ostrelo-first-start-PID-XXXXXX".
constexpr std::string_view folderPrefix = "ostrelo-first-start-";

// Where stand-ins are made: in memory where the system keeps one; only OSTRELO_STAND_IN_DIR
// when it is set.
std::vector<std::string> standInBases() {
    if (const char* chosen = std::getenv("OSTRELO_STAND_IN_DIR"); chosen != nullptr && *chosen != '\0')
        return {chosen};
    std::vector<std::string> bases = {"/dev/shm"};
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0')
        bases.emplace_back(runtime);
    std::error_code error;
    const auto temporary = std::filesystem::temp_directory_path(error);
    if (!error) bases.push_back(temporary.string());
    return bases;
}

// A new private folder for the stand-in.
std::optional<std::filesystem::path> makeStandInFolder() {
    for (const auto& base : standInBases()) {
        std::string pattern = base + "/" + std::string(folderPrefix) + std::to_string(::getpid()) + "-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) return std::filesystem::path(pattern);
    }
    return std::nullopt;
}

// The process that made a stand-in's folder, from its name; none for any other name.
std::optional<pid_t> holderOf(std::string_view name) {
    if (name.substr(0, folderPrefix.size()) != folderPrefix) return std::nullopt;
    name.remove_prefix(folderPrefix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (error != std::errc() || pid <= 0 || end == name.data() + name.size() || *end != '-') return std::nullopt;
    return pid;
}

bool processGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// Earlier builds named the folder "ostrelo-first-start-XXXXXX", without the process. A first
// start holds its folder for the seconds until its first frame: one of these that has not
// changed for a day was left by a start that ended.
constexpr time_t unnamedFolderAge = 24 * 60 * 60;

bool oldUnnamedFolder(int baseFd, std::string_view name) {
    if (name.substr(0, folderPrefix.size()) != folderPrefix) return false;
    const std::string_view suffix = name.substr(folderPrefix.size());
    if (suffix.size() != 6 || suffix.find('-') != std::string_view::npos) return false;
    struct stat status {};
    if (::fstatat(baseFd, std::string(name).c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return false;
    return status.st_mtime < ::time(nullptr) - unnamedFolderAge;
}

// Whether the folder `name` in `baseFd` is a stand-in's whose first start has ended.
bool leftBehind(int baseFd, const std::string& name) {
    const auto holder = holderOf(name);
    if (!holder) return oldUnnamedFolder(baseFd, name);
    return *holder != ::getpid() && processGone(*holder);
}

// The names in the open directory `fd` that begin with `prefix` ("." and ".." never), read
// whole before any is removed: a listing may skip entries when others go meanwhile.
std::vector<std::string> namesIn(int fd, std::string_view prefix) {
    std::vector<std::string> names;
    const int listing = fd >= 0 ? ::dup(fd) : -1;
    const std::unique_ptr<DIR, int (*)(DIR*)> entries(listing >= 0 ? ::fdopendir(listing) : nullptr, ::closedir);
    if (!entries) {
        if (listing >= 0) ::close(listing);
        return names;
    }
    while (const dirent* entry = ::readdir(entries.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != ".." && name.substr(0, prefix.size()) == prefix) names.emplace_back(name);
    }
    return names;
}

// Removes a folder that a process of this user left: it is opened without following a link and
// must be a directory of this user's; its files go first, then the folder itself. In a folder
// where others may add entries (/tmp), only its owner can remove or rename it.
bool removeLeftFolder(int baseFd, const std::string& name) {
    const FileDescriptor folder(::openat(baseFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!folder || ::fstat(folder.get(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid())
        return false;
    for (const std::string& file : namesIn(folder.get(), "")) ::unlinkat(folder.get(), file.c_str(), 0);
    return ::unlinkat(baseFd, name.c_str(), AT_REMOVEDIR) == 0;
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

void StoreHold::removeLeftOvers() {
    for (const auto& base : standInBases()) {
        const FileDescriptor baseFd(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        for (const std::string& name : namesIn(baseFd.get(), folderPrefix))
            if (leftBehind(baseFd.get(), name) && removeLeftFolder(baseFd.get(), name))
                Log::info("removed " + base + "/" + name +
                          ", the store of a first start that ended before its window showed");
    }
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
