#include "platform/foundation/PrivateFile.h"

#include "platform/foundation/FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace foundation {

namespace {

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

bool PrivateFile::replace(const std::filesystem::path& file, std::string_view content, std::string& error) {
    std::string temporary = (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
    FileDescriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0) {
        error = systemError("cannot create a file beside " + file.string());
        return false;
    }
    bool written = writeAll(out.get(), content);
    if (!written) error = systemError("cannot write " + temporary);
    if (::close(out.release()) != 0 && written) {
        written = false;
        error = systemError("cannot write " + temporary);
    }
    if (written && ::rename(temporary.c_str(), file.c_str()) != 0) {
        written = false;
        error = systemError("cannot store " + file.string());
    }
    if (!written) ::unlink(temporary.c_str());
    return written;
}

int PrivateFile::openForAppending(const std::filesystem::path& file, std::string& error) {
    FileDescriptor fd(
        ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
    if (fd.get() < 0) {
        error = errno == ELOOP ? file.string() + " is a symbolic link" : systemError("cannot open " + file.string());
        return -1;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        error = systemError("cannot examine " + file.string());
        return -1;
    }
    if (!S_ISREG(status.st_mode)) error = file.string() + " is " + kindOf(status.st_mode);
    else if (status.st_uid != ::geteuid()) error = file.string() + " belongs to another user";
    else if (status.st_nlink != 1) error = file.string() + " has another name as well";
    else return fd.release();
    return -1;
}

std::optional<std::string> PrivateFile::read(const std::filesystem::path& file, std::uintmax_t limit, bool followLinks,
                                             std::string& error) {
    const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW);
    FileDescriptor in(::open(file.c_str(), flags));
    if (in.get() < 0) {
        error = errno == ELOOP && !followLinks ? file.string() + " is a symbolic link"
                                               : systemError("cannot open " + file.string());
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(in.get(), &status) != 0) {
        error = systemError("cannot examine " + file.string());
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        error = file.string() + " is " + kindOf(status.st_mode);
        return std::nullopt;
    }
    const auto tooLarge = [&](std::uintmax_t size) {
        error = file.string() + " holds " + std::to_string(size) + " bytes, more than " + std::to_string(limit);
        return std::nullopt;
    };
    if (static_cast<std::uintmax_t>(status.st_size) > limit) return tooLarge(static_cast<std::uintmax_t>(status.st_size));
    // Never more than the limit, should the file grow while it is read.
    std::string content;
    content.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[64 * 1024];
    for (;;) {
        ssize_t n = ::read(in.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = systemError("cannot read " + file.string());
            return std::nullopt;
        }
        if (n == 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > limit) return tooLarge(content.size());
    }
    return content;
}

}  // namespace foundation
