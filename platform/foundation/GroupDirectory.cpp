#include "platform/foundation/GroupDirectory.h"

#include "platform/foundation/FileDescriptor.h"
#include "platform/foundation/Log.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace foundation {

namespace {

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string octal(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

std::optional<std::string> foreign(const std::filesystem::path& path, const struct stat& status) {
    if (S_ISLNK(status.st_mode)) return path.string() + " is a symbolic link";
    if (status.st_uid != ::geteuid())
        return path.string() + " belongs to another user (uid " + std::to_string(status.st_uid) + ")";
    return std::nullopt;
}

// Opens the directory itself, never a link in its place; makes it (0700) when it is missing.
int openDirectory(const std::filesystem::path& directory, std::string& error) {
    std::error_code ignored;
    if (directory.has_parent_path()) std::filesystem::create_directories(directory.parent_path(), ignored);
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
        error = systemError("cannot make " + directory.string());
        return -1;
    }
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) return fd;
    struct stat status {};
    if (::lstat(directory.c_str(), &status) == 0 && S_ISLNK(status.st_mode))
        error = directory.string() + " is a symbolic link";
    else if (errno == ENOTDIR)
        error = directory.string() + " is not a directory";
    else
        error = systemError("cannot open " + directory.string());
    return -1;
}

// Every entry: this user's and no link; one that others may write loses those bits.
std::optional<std::string> checkEntries(int directoryFd, const std::filesystem::path& directory) {
    int listing = ::dup(directoryFd);
    std::unique_ptr<DIR, int (*)(DIR*)> entries(listing >= 0 ? ::fdopendir(listing) : nullptr, ::closedir);
    if (!entries) {
        if (listing >= 0) ::close(listing);
        return systemError("cannot list " + directory.string());
    }
    while (const dirent* entry = ::readdir(entries.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat status {};
        if (::fstatat(directoryFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone meanwhile
        if (auto reason = foreign(directory / name, status)) return reason;
        if ((status.st_mode & (S_IWGRP | S_IWOTH)) == 0) continue;
        const mode_t tightened = status.st_mode & 07755;
        if (::fchmodat(directoryFd, name.c_str(), tightened, 0) != 0)
            return systemError("cannot close " + (directory / name).string() + " to other users");
        Log::warning((directory / name).string() + " was writable by other users (mode " + octal(status.st_mode) +
                     "): now " + octal(tightened));
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> GroupDirectory::secure(const std::filesystem::path& directory) {
    std::string error;
    const FileDescriptor opened(openDirectory(directory, error));
    if (!opened) return error;
    const int fd = opened.get();
    struct stat status {};
    if (::fstat(fd, &status) != 0) return systemError("cannot examine " + directory.string());
    if (auto reason = foreign(directory, status)) return reason;
    // Closed first: from then on nobody else can add or rename an entry.
    if ((status.st_mode & 077) != 0) {
        if (::fchmod(fd, 0700) != 0) return systemError("cannot close " + directory.string() + " to other users");
        Log::warning(directory.string() + " was open to other users (mode " + octal(status.st_mode) + "): now 0700");
    }
    return checkEntries(fd, directory);
}

}  // namespace foundation
