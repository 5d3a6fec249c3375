#include "platform/foundation/TransferProcess.h"

#include "platform/foundation/Bundle.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace foundation {

namespace {

constexpr const char* helperName = "ostrelo-fetch";
// What the helper's answer may hold beyond the body: its status, URL and description lines.
constexpr std::size_t answerOverhead = 64 * 1024;
// How long past its own time-out a helper may take before it is given up.
constexpr std::chrono::seconds grace{10};

// The helper's exit, as a text for an error message.
std::string endOf(int status) {
    if (WIFEXITED(status)) return "ended with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return std::string("was killed by ") + ::strsignal(WTERMSIG(status));
    return "ended";
}

pid_t reap(pid_t pid, int& status) {
    pid_t ended;
    while ((ended = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    return ended;
}

// A spawn with the helper's standard output on `output`, its input on /dev/null, no other
// descriptor of this process, and the signals as a fresh program has them.
int spawn(pid_t& pid, const std::vector<std::string>& words, int output) {
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    ::posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setsigdefault(&attributes, &defaults);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int result = ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
    return result;
}

}  // namespace

std::string TransferProcess::helperPath() {
    const std::filesystem::path directory = Bundle::executableDirectory();
    if (directory.empty()) return {};
    const std::filesystem::path installed = directory / OSTRELO_FETCH_INSTALLED_DIRECTORY / helperName;
    if (::access(installed.c_str(), X_OK) == 0) return installed.lexically_normal().string();
    // The build tree's helper serves only the build tree's programs: an installed program runs
    // nothing from a build folder that may be gone, or be someone else's by now.
    std::error_code ignored;
    const std::filesystem::path buildTree = std::filesystem::weakly_canonical(OSTRELO_BUILD_DIRECTORY, ignored);
    const auto [ours, rest] = std::mismatch(buildTree.begin(), buildTree.end(), directory.begin(), directory.end());
    return ours == buildTree.end() ? std::string(OSTRELO_FETCH_BUILD_PATH) : std::string();
}

TransferProcess::~TransferProcess() { cancel(); }

bool TransferProcess::start(const std::string& url, const UrlSession::Configuration& limits, std::string& error) {
    const std::string helper = helperPath();
    if (helper.empty() || ::access(helper.c_str(), X_OK) != 0) {
        error = std::string("the download helper ") + helperName + " is missing" +
                (helper.empty() ? std::string() : " (" + helper + ": " + std::strerror(errno) + ")");
        return false;
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        error = std::string("no pipe for the download helper: ") + std::strerror(errno);
        return false;
    }
    FileDescriptor reading(ends[0]), writing(ends[1]);
    const std::vector<std::string> words{helper, url, std::to_string(limits.connectTimeout.count()),
                                         std::to_string(limits.timeout.count()),
                                         std::to_string(limits.maximumBodySize), std::to_string(::getpid())};
    if (const int failed = spawn(pid_, words, writing.get()); failed != 0) {
        pid_ = -1;
        error = helper + ": " + std::strerror(failed);
        return false;
    }
    ::fcntl(reading.get(), F_SETFL, O_NONBLOCK);
    output_ = std::move(reading);
    url_ = url;
    maximumAnswer_ = limits.maximumBodySize + answerOverhead;
    deadline_ = std::chrono::steady_clock::now() + limits.timeout + grace;
    return true;
}

bool TransferProcess::readAvailable() {
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(output_.get(), buffer, sizeof buffer);
        if (got > 0) {
            answer_.append(buffer, static_cast<std::size_t>(got));
            if (answer_.size() > maximumAnswer_) return true;
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        return got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    }
}

TransferReply TransferProcess::finish() {
    output_.reset();
    int status = 0;
    const bool reaped = pid_ > 0 && reap(pid_, status) == pid_;
    pid_ = -1;
    if (auto reply = TransferReply::decoded(answer_)) return std::move(*reply);
    TransferReply failed;
    failed.response.url = url_;
    failed.error = UrlError{UrlError::Code::other, std::string("the download helper ") +
                                                       (reaped ? endOf(status) : std::string("was lost")) +
                                                       " without an answer"};
    return failed;
}

void TransferProcess::cancel() {
    output_.reset();
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    reap(pid_, status);
    pid_ = -1;
}

}  // namespace foundation
