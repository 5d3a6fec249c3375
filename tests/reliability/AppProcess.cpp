#include "tests/reliability/AppProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace reliability {

namespace {

// Moves the complete lines of `buffer` into `lines`.
void takeLines(std::string& buffer, std::vector<std::string>& lines) {
    std::size_t end;
    while ((end = buffer.find('\n')) != std::string::npos) {
        lines.push_back(buffer.substr(0, end));
        buffer.erase(0, end + 1);
    }
}

}  // namespace

AppProcess::AppProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& environment) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    output_ = out[0];
    error_ = err[0];
}

AppProcess::~AppProcess() {
    if (pid_ > 0 && !status_) {
        ::kill(pid_, SIGKILL);
        waitForExit();
    }
    if (output_ >= 0) close(output_);
    if (error_ >= 0) close(error_);
}

// Reads what is there within `timeout` seconds; false once both streams have ended.
bool AppProcess::readSome(double timeout) {
    if (output_ < 0 && error_ < 0) return false;
    pollfd fds[2] = {{output_, POLLIN, 0}, {error_, POLLIN, 0}};
    if (poll(fds, 2, static_cast<int>(timeout * 1000)) < 0) return false;
    for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
        char chunk[4096];
        const ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
        int& stream = i == 0 ? output_ : error_;
        if (n <= 0) {
            close(stream);
            stream = -1;
            continue;
        }
        std::string& buffer = i == 0 ? outputBuffer_ : errorBuffer_;
        buffer.append(chunk, static_cast<std::size_t>(n));
        if (i == 1) errors_.append(chunk, static_cast<std::size_t>(n));
        takeLines(buffer, i == 0 ? outputLines_ : errorLines_);
    }
    return output_ >= 0 || error_ >= 0;
}

std::optional<std::string> AppProcess::waitForLine(const std::string& text, bool output) {
    auto& lines = output ? outputLines_ : errorLines_;
    auto& seen = output ? outputSeen_ : errorSeen_;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(ceiling);
    for (;;) {
        while (seen < lines.size()) {
            const std::string& line = lines[seen++];
            if (line.find(text) != std::string::npos) return line;
        }
        if (std::chrono::steady_clock::now() > deadline || !readSome(0.1)) break;
    }
    while (seen < lines.size())
        if (lines[seen++].find(text) != std::string::npos) return lines[seen - 1];
    return std::nullopt;
}

std::optional<int> AppProcess::waitForExit() {
    if (status_ || pid_ <= 0) return status_;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(ceiling);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            while (readSome(0)) {
            }
            return status_;
        }
        if (!readSome(0.05)) usleep(10000);
    }
    return std::nullopt;
}

bool AppProcess::running() {
    if (status_ || pid_ <= 0) return false;
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }
    return true;
}

void AppProcess::kill(int signal) {
    if (pid_ > 0 && !status_) ::kill(pid_, signal);
}

}  // namespace reliability
