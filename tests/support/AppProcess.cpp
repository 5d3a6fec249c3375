#include "tests/support/AppProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace testsupport {

AppProcess::AppProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& environment) {
    int pipeEnds[2];
    int inputEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return;
    if (pipe2(inputEnds, O_CLOEXEC) != 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return;
    }
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(inputEnds[0], STDIN_FILENO);
        dup2(pipeEnds[1], STDOUT_FILENO);
        dup2(pipeEnds[1], STDERR_FILENO);
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        execv(args[0], args.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    close(inputEnds[0]);
    output_ = pipeEnds[0];
    input_ = inputEnds[1];
}

bool AppProcess::send(const std::string& line) {
    const std::string text = line + "\n";
    return input_ >= 0 && write(input_, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

AppProcess::~AppProcess() {
    if (running()) {
        ::kill(pid_, SIGKILL);
        waitForExit();
    }
    if (output_ >= 0) close(output_);
    if (input_ >= 0) close(input_);
}

// Reads what arrives within the time; false once the output has ended.
bool AppProcess::readSome(int milliseconds) {
    if (output_ < 0) return false;
    pollfd ready{output_, POLLIN, 0};
    if (poll(&ready, 1, milliseconds) <= 0) return true;
    char chunk[4096];
    const ssize_t n = read(output_, chunk, sizeof chunk);
    if (n <= 0) {
        close(output_);
        output_ = -1;
        return false;
    }
    text_.append(chunk, static_cast<std::size_t>(n));
    return true;
}

std::optional<std::string> AppProcess::waitForLine(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(ceiling);
    for (bool open = true;;) {
        for (std::size_t end; (end = text_.find('\n', seen_)) != std::string::npos;) {
            std::string line = text_.substr(seen_, end - seen_);
            seen_ = end + 1;
            if (line.find(text) != std::string::npos) return line;
        }
        if (!open || std::chrono::steady_clock::now() > deadline) return std::nullopt;
        open = readSome(100);
    }
}

bool AppProcess::reap(int options) {
    int status = 0;
    if (status_ || pid_ <= 0 || waitpid(pid_, &status, options) != pid_) return false;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

std::optional<int> AppProcess::waitForExit() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(ceiling);
    while (!status_ && pid_ > 0 && std::chrono::steady_clock::now() < deadline)
        if (!reap(WNOHANG) && !readSome(20)) usleep(10000);
    return status_;
}

bool AppProcess::running() { return pid_ > 0 && !status_ && !reap(WNOHANG); }

void AppProcess::kill(int signal) {
    if (running()) ::kill(pid_, signal);
}

}  // namespace testsupport
