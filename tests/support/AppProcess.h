#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// A program run as a child process with its own environment entries; what it writes to its
// standard output and error is read line by line. Each wait returns as soon as what it waits
// for has happened, within a generous ceiling.
class AppProcess {
public:
    static constexpr double ceiling = 60;

    AppProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& environment);
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    // The next line that contains `text`; none when the program's output ended first.
    std::optional<std::string> waitForLine(const std::string& text);
    // The exit status once the program has ended (128 + signal for a signal), or none.
    std::optional<int> waitForExit();
    bool running();
    void kill(int signal);
    // Writes a line to the program's standard input.
    bool send(const std::string& line);
    // Everything read so far.
    const std::string& text() const { return text_; }
    pid_t pid() const { return pid_; }

private:
    bool readSome(int milliseconds);
    bool reap(int options);

    pid_t pid_ = -1;
    int output_ = -1;
    int input_ = -1;
    std::string text_;
    std::size_t seen_ = 0;
    std::optional<int> status_;
};

}  // namespace testsupport
