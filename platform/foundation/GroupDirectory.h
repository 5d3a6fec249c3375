#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace foundation {

// The group directory as every program checks it at start, before it touches a file there:
// made with mode 0700 when missing; it, and everything in it (the store, the sockets and locks,
// the activity, pasteboard and transcript files), must be this user's and no symbolic link,
// examined without following links. A directory of the user's own that others may use is
// tightened to 0700, and a file in it that others may write loses those bits (one log line
// each): once the directory is closed to others nothing new can be planted in it.
class GroupDirectory {
public:
    // None when the program may go on; else the reason, naming the path, why it must not start.
    static std::optional<std::string> secure(const std::filesystem::path& directory);
};

}  // namespace foundation
