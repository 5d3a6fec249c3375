#include "tools/script/ProcessStep.h"

#include "engine/Calculator.h"
#include "platform/foundation/Locale.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <sstream>

namespace script {

namespace {

constexpr const char* keysOption = "--process-keys";

std::string readAll(int fd) {
    std::string out;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) out.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR) break;
    }
    return out;
}

}  // namespace

std::optional<DisplayTexts> ProcessStep::run(const std::filesystem::path& executable, const std::string& keys,
                                             const std::string& locale, foundation::Clock::TimePoint clock,
                                             std::string& error) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(clock.time_since_epoch()).count();
    std::vector<std::string> arguments = {executable.string(), keysOption, keys, "--locale", locale,
                                          "--clock", std::to_string(seconds)};
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int output[2];
    if (::pipe(output) != 0) {
        error = "cannot make a pipe for the second process";
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    if (child < 0) {
        ::close(output[0]);
        error = "cannot start the second process";
        return std::nullopt;
    }
    std::string text = readAll(output[0]);
    ::close(output[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = "the second process failed (" +
                (WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                   : "signal " + std::to_string(WTERMSIG(status))) +
                ")";
        return std::nullopt;
    }
    DisplayTexts shown;
    std::istringstream lines(text);
    std::getline(lines, shown.primary);
    std::getline(lines, shown.secondary);
    return shown;
}

bool ProcessStep::requested(const std::vector<std::string>& arguments) {
    return !arguments.empty() && arguments.front() == keysOption;
}

int ProcessStep::pressKeys(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    std::string keys;
    long long seconds = 0;
    for (std::size_t i = 0; i + 1 < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        const std::string& value = arguments[i + 1];
        if (option == keysOption) {
            keys = value;
        } else if (option == "--locale") {
            foundation::Locale::setCurrent(value);
        } else if (option == "--clock" && std::from_chars(value.data(), value.data() + value.size(), seconds).ec == std::errc()) {
            foundation::Clock::pinAt(foundation::Clock::TimePoint(std::chrono::seconds(seconds)));
        } else {
            err << "unknown option " << option << " " << value << "\n";
            return 2;
        }
    }
    ostrelo::Calculator calculator;
    DisplayTexts shown{calculator.primaryString().value_or(""), calculator.secondaryString().value_or("")};
    std::istringstream words(keys);
    for (std::string key; words >> key;) {
        bool known = false;
        shown = pressEngineKey(calculator, key, known);
        if (!known) {
            err << "no calculator key reads \"" << key << "\"\n";
            return 2;
        }
    }
    out << shown.primary << "\n" << shown.secondary << "\n";
    return 0;
}

}  // namespace script
