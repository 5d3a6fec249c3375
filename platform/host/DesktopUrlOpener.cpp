#include "platform/host/DesktopUrlOpener.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/host/LaunchRequest.h"
#include "platform/host/SiblingProgram.h"
#include "platform/host/SingleInstance.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace host {

DesktopUrlOpener::DesktopUrlOpener(std::filesystem::path directory, std::string instanceName,
                                   std::vector<std::string> fallback, std::string appProgram)
    : directory_(std::move(directory)),
      instanceName_(std::move(instanceName)),
      fallback_(std::move(fallback)),
      appProgram_(std::move(appProgram)) {}

void DesktopUrlOpener::open(const std::string& url, std::function<void(bool)> completion) const {
    foundation::DispatchQueue::global().async([opener = *this, url, completion = std::move(completion)] {
        bool opened = opener.openNow(url);
        if (completion) foundation::DispatchQueue::main().async([completion, opened] { completion(opened); });
    });
}

bool DesktopUrlOpener::openNow(const std::string& url) const {
    std::string handOverError;
    if (SingleInstance::deliver(directory_, instanceName_, LaunchRequest{LaunchRequest::Kind::url, url}.encode(),
                                handOverError))
        return true;
    std::string error;
    if (runFallback(url, error)) return true;
    std::string startError;
    if (!appProgram_.empty()) {
        if (SiblingProgram::startBesideOrInstalled(appProgram_, {url}, startError)) return true;
        error += "; " + startError;
    }
    foundation::Log::warning("cannot open " + url + ": " + handOverError + "; " + error);
    return false;
}

bool DesktopUrlOpener::runFallback(const std::string& url, std::string& error) const {
    if (fallback_.empty()) {
        error = "no desktop opener";
        return false;
    }
    std::vector<std::string> arguments = fallback_;
    arguments.push_back(url);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    int spawned = ::posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ);
    if (spawned != 0) {
        error = fallback_.front() + ": " + std::strerror(spawned);
        return false;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            error = fallback_.front() + ": " + std::strerror(errno);
            return false;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    error = fallback_.front() + (WIFEXITED(status) ? " ended with status " + std::to_string(WEXITSTATUS(status))
                                                   : std::string(" was killed"));
    return false;
}

}  // namespace host
