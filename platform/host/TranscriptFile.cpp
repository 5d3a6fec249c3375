#include "platform/host/TranscriptFile.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/PrivateFile.h"
#include "platform/foundation/FileDescriptor.h"

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

std::string TranscriptFile::text(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char next = i + 1 < line.size() ? line[i + 1] : '\0';
        if (line[i] == '\\' && (next == 'n' || next == 'r' || next == '\\')) {
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
            ++i;
        } else {
            out += line[i];
        }
    }
    return out;
}

std::vector<std::string> TranscriptFile::lastTexts(std::size_t count) const {
    auto fail = [this](const std::string& what) {
        foundation::Log::warning("transcript: cannot read " + path_.string() + ": " + what);
        return std::vector<std::string>{};
    };
    // Opened once, not followed through a link, never waiting on a pipe: what is read is the
    // regular file that was checked.
    foundation::FileDescriptor file(::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file) return errno == ENOENT ? std::vector<std::string>{} : fail(std::strerror(errno));
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) return fail(std::strerror(errno));
    if (!S_ISREG(status.st_mode)) return fail("not a regular file");
    const auto size = static_cast<std::size_t>(status.st_size);
    const std::size_t start = size > maximumRead ? size - maximumRead : 0;
    std::string data(size - start, '\0');
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pread(file.get(), data.data() + done, data.size() - done, static_cast<off_t>(start + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(std::strerror(errno));
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    data.resize(done);
    // A read that starts inside the file starts inside a line: that line is not whole.
    std::size_t from = 0;
    if (start > 0) from = data.find('\n') == std::string::npos ? data.size() : data.find('\n') + 1;
    std::vector<std::string_view> lines;
    for (std::size_t end = data.find('\n', from); end != std::string::npos; end = data.find('\n', from)) {
        lines.emplace_back(data.data() + from, end - from);
        from = end + 1;
    }
    if (from < data.size()) lines.emplace_back(data.data() + from, data.size() - from);
    std::vector<std::string> texts;
    for (std::size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i)
        texts.push_back(text(lines[i]));
    return texts;
}

bool TranscriptFile::append(const std::string& text) const {
    auto fail = [this](const std::string& what) {
        foundation::Log::warning("transcript: cannot " + what + " " + path_.string() + ": " + std::strerror(errno));
        return false;
    };
    std::string refusal;
    foundation::FileDescriptor file(foundation::PrivateFile::openForAppending(path_, refusal));
    if (!file) {
        foundation::Log::warning("transcript: " + refusal);
        return false;
    }
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
