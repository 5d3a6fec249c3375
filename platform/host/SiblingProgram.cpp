#include "platform/host/SiblingProgram.h"

#include "platform/foundation/Bundle.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace host {

bool SiblingProgram::start(const std::string& name, std::string& error) {
    const std::filesystem::path directory = foundation::Bundle::executableDirectory();
    if (directory.empty() || name.empty() || name.find('/') != std::string::npos) {
        error = "no program \"" + name + "\" beside this one";
        return false;
    }
    std::string path = (directory / name).string();
    if (::access(path.c_str(), X_OK) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    char* argv[] = {path.data(), nullptr};
    // Twice forked: the program is adopted by the system and never left as a zombie here. Between
    // fork and exec only calls that are safe there.
    const pid_t child = ::fork();
    if (child < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        return false;
    }
    if (child == 0) {
        ::setsid();
        if (::fork() == 0) ::execv(argv[0], argv);
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

}  // namespace host
