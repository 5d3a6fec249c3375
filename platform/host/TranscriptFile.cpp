#include "platform/host/TranscriptFile.h"

#include "platform/foundation/Log.h"
#include "platform/host/FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace host {

std::string TranscriptFile::line(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 1);
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    out += '\n';
    return out;
}

bool TranscriptFile::append(const std::string& text) const {
    auto fail = [this](const std::string& what) {
        foundation::Log::warning("transcript: cannot " + what + " " + path_.string() + ": " + std::strerror(errno));
        return false;
    };
    FileDescriptor file(::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (!file) return fail("open");
    struct stat before {};
    if (::fstat(file.get(), &before) != 0) return fail("read the size of");
    std::string data = line(text);
    std::size_t written = 0;
    while (written < data.size()) {
        ssize_t n = ::write(file.get(), data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int writeError = n < 0 ? errno : ENOSPC;
            if (written > 0) (void)!::ftruncate(file.get(), before.st_size);
            errno = writeError;
            return fail("write to");
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace host
