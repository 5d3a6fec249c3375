#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace foundation {

// The ways the programs touch their files in the group directory (and the files a user names),
// safe against what another local user may have planted there: nothing is written through a
// symbolic link or into a file that was there before, and nothing is opened by path twice
// between a check and its use.
class PrivateFile {
public:
    // Replaces `file` whole: `content` goes into a new file of its own beside it (created
    // exclusively, mode 0600), which is then renamed over `file`. A link at either name is
    // replaced, never followed. False with the reason.
    static bool replace(const std::filesystem::path& file, std::string_view content, std::string& error);

    // A descriptor to append to `file` (created with mode 0600 when missing), or -1 with the
    // reason: a symbolic link, anything but a regular file, a file of another user or a file
    // with a second name is refused.
    static int openForAppending(const std::filesystem::path& file, std::string& error);

    // The content of a regular file of at most `limit` bytes. The file is opened once without
    // blocking, and that descriptor is checked and read: a FIFO, device or directory is refused
    // at once, as is a symbolic link unless `followLinks`. None with the reason.
    static std::optional<std::string> read(const std::filesystem::path& file, std::uintmax_t limit, bool followLinks,
                                           std::string& error);
};

}  // namespace foundation
