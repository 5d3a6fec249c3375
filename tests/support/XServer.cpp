#include "tests/support/XServer.h"

#include "tests/support/AppProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

namespace testsupport {

bool XServer::installed() {
    const char* path = std::getenv("PATH");
    std::stringstream directories(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string directory; std::getline(directories, directory, ':');)
        if (!directory.empty() && access((directory + "/Xvfb").c_str(), X_OK) == 0) return true;
    return false;
}

// The server writes its display number to the descriptor given with -displayfd once it listens.
XServer::XServer(const std::string& size) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        failure_ = "no pipe for Xvfb";
        return;
    }
    const std::string screen = size + "x24";
    pid_ = fork();
    if (pid_ == 0) {
        fcntl(ends[1], F_SETFD, 0);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(ends[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-br", "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[1]);
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(AppProcess::ceiling);
    while (number.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{ends[0], POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) continue;
        char chunk[32];
        const ssize_t n = read(ends[0], chunk, sizeof chunk);
        if (n <= 0) break;
        number.append(chunk, static_cast<std::size_t>(n));
    }
    close(ends[0]);
    if (number.find('\n') == std::string::npos) failure_ = "Xvfb did not name its display";
    else display_ = ":" + number.substr(0, number.find('\n'));
}

XServer::~XServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

}  // namespace testsupport
