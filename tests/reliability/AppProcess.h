#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace reliability {

// A program run as a child process with its own environment entries, its standard output and
// standard error read line by line. Waits are bounded by a generous ceiling only: each returns
// as soon as what it waits for has happened.
class AppProcess {
public:
    static constexpr double ceiling = 60;

    AppProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& environment);
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    pid_t pid() const { return pid_; }
    // The first line from then on that contains `text` (standard error, or output), or none
    // when the program ended (or the ceiling passed) first.
    std::optional<std::string> waitForLine(const std::string& text, bool output = false);
    // The exit status once the program has ended (128 + signal for a signal), or none.
    std::optional<int> waitForExit();
    bool running();
    void kill(int signal);
    // Everything read from standard error so far.
    const std::string& errorText() const { return errors_; }

private:
    bool readSome(double timeout);

    pid_t pid_ = -1;
    int output_ = -1;
    int error_ = -1;
    std::string outputBuffer_;
    std::string errorBuffer_;
    std::string errors_;
    std::vector<std::string> outputLines_;
    std::vector<std::string> errorLines_;
    std::size_t outputSeen_ = 0;
    std::size_t errorSeen_ = 0;
    std::optional<int> status_;
};

}  // namespace reliability
