#include "platform/host/SiblingProgram.h"

#include "platform/foundation/Bundle.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace host {

namespace {

bool isProgramName(const std::string& name) { return !name.empty() && name.find('/') == std::string::npos; }

// The program's path beside this executable; "" (with the reason) when there is none.
std::string besideThis(const std::string& name, std::string& error) {
    const std::filesystem::path directory = foundation::Bundle::executableDirectory();
    if (directory.empty() || !isProgramName(name)) {
        error = "no program \"" + name + "\" beside this one";
        return {};
    }
    std::string path = (directory / name).string();
    if (::access(path.c_str(), X_OK) != 0) {
        error = path + ": " + std::strerror(errno);
        return {};
    }
    return path;
}

// The program's path in the first directory of the PATH that has it; "" when none has.
std::string onPath(const std::string& name) {
    const char* variable = std::getenv("PATH");
    if (!isProgramName(name) || variable == nullptr) return {};
    const std::string_view path = variable;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find(':', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view directory = path.substr(start, end - start);
        // An empty entry, or a relative one, names no installed program.
        if (!directory.empty() && directory.front() == '/') {
            std::string candidate = (std::filesystem::path(directory) / name).string();
            if (::access(candidate.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(candidate)) return candidate;
        }
        start = end + 1;
    }
    return {};
}

}  // namespace

bool SiblingProgram::start(const std::string& name, std::string& error) {
    std::string path = besideThis(name, error);
    return !path.empty() && launch(std::move(path), {}, error);
}

bool SiblingProgram::startBesideOrInstalled(const std::string& name, const std::vector<std::string>& arguments,
                                            std::string& error) {
    std::string path = besideThis(name, error);
    if (path.empty()) path = onPath(name);
    if (path.empty()) {
        error += "; no " + name + " on the PATH";
        return false;
    }
    return launch(std::move(path), arguments, error);
}

bool SiblingProgram::launch(std::string path, const std::vector<std::string>& arguments, std::string& error) {
    std::vector<std::string> words{std::move(path)};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    // Twice forked: the program is adopted by the system and never left as a zombie here. Between
    // fork and exec only calls that are safe there.
    const pid_t child = ::fork();
    if (child < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        return false;
    }
    if (child == 0) {
        ::setsid();
        if (::fork() == 0) ::execv(argv[0], argv.data());
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

}  // namespace host
