#include "tools/script/ScriptRunner.h"

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/lsan_interface.h>)
#include <sanitizer/lsan_interface.h>
#define OSTRELO_SCRIPT_LEAK_CHECK 1
#endif

namespace script {

namespace {

// The child's exit statuses.
constexpr int passedStatus = 0;
constexpr int failedStatus = 1;
constexpr int leakedStatus = 3;

void writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0) done += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EINTR) return;
    }
}

std::string problemText(const std::string& name, const ScriptProblem& problem) {
    return name + (problem.line > 0 ? ":" + std::to_string(problem.line) : "") + ": " + problem.message;
}

std::optional<std::filesystem::path> freshGroupDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ostrelo-script-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return std::nullopt;
    return std::filesystem::path(pattern);
}

std::string endText(int status) {
    if (WIFSIGNALED(status)) {
        const char* name = ::strsignal(WTERMSIG(status));
        return "signal " + std::to_string(WTERMSIG(status)) + (name ? " (" + std::string(name) + ")" : "");
    }
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

}  // namespace

bool ScriptRunner::run(const std::vector<std::filesystem::path>& files, std::ostream& out) const {
    int passed = 0, failed = 0;
    for (const auto& file : files) (runOne(file, out) ? passed : failed) += 1;
    out << passed << " passed, " << failed << " failed" << std::endl;
    return failed == 0;
}

bool ScriptRunner::runOne(const std::filesystem::path& file, std::ostream& out) const {
    ScriptProblem problem;
    auto script = Script::read(file, problem);
    const ScreenDefinition* screen = script ? ScriptSession::check(*script, screens_, problem) : nullptr;
    if (screen == nullptr) {
        out << problemText(file.string(), problem) << std::endl;
        return false;
    }
    auto group = freshGroupDirectory();
    int output[2] = {-1, -1};
    // The line the child is at, readable after it ended abnormally.
    void* shared = ::mmap(nullptr, sizeof(int), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (!group || shared == MAP_FAILED || ::pipe(output) != 0) {
        out << file.string() << ": cannot set up a process for the script" << std::endl;
        if (shared != MAP_FAILED) ::munmap(shared, sizeof(int));
        return false;
    }
    auto* currentLine = static_cast<int*>(shared);
    *currentLine = 0;
    out.flush();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(output[0]);
        runChild(*script, *screen, *group, output[1], currentLine);
    }
    ::close(output[1]);
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(output[0], buffer, sizeof buffer);
        if (n > 0) out.write(buffer, n);
        else if (n == 0 || errno != EINTR) break;
    }
    ::close(output[0]);
    int status = 0;
    bool ended = child > 0;
    while (ended && ::waitpid(child, &status, 0) < 0)
        if (errno != EINTR) ended = false;
    const bool exited = ended && WIFEXITED(status);
    const bool passedAll = exited && WEXITSTATUS(status) == passedStatus;
    if (!ended) out << file.string() << ": the script's process could not run" << std::endl;
    else if (exited && WEXITSTATUS(status) == leakedStatus)
        out << file.string() << ": the screen leaked memory (the sanitizer's report is above)" << std::endl;
    else if (!passedAll && (!exited || WEXITSTATUS(status) != failedStatus))
        out << file.string() << ":" << *currentLine << ": the script's process ended with " << endText(status) << std::endl;
    ::munmap(shared, sizeof(int));
    std::error_code ignored;
    std::filesystem::remove_all(*group, ignored);
    return passedAll;
}

void ScriptRunner::runChild(const Script& script, const ScreenDefinition& screen, const std::filesystem::path& group,
                            int output, int* currentLine) const {
    ::setenv("OSTRELO_GROUP_DIR", group.c_str(), 1);
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    bool passed = false;
    try {
        ScriptSession session(script, screen, settings_, [output](const std::string& line) { writeAll(output, line + "\n"); });
        passed = session.run([currentLine](int line) { *currentLine = line; });
    } catch (const std::exception& error) {
        writeAll(output, script.name + ":" + std::to_string(*currentLine) + ": stopped by an exception: " + error.what() + "\n");
        ::_exit(failedStatus);
    }
    ::close(output);
#ifdef OSTRELO_SCRIPT_LEAK_CHECK
    if (__lsan_do_recoverable_leak_check() != 0) ::_exit(leakedStatus);
#endif
    ::_exit(passed ? passedStatus : failedStatus);
}

}  // namespace script
