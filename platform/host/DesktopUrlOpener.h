#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace host {

// Opens a URL for an extension on the desktop: first hands it to the app's running instance
// over its single-instance socket (which brings the app forward); when nothing answers, runs
// the desktop's opener (xdg-open, which hands it to the scheme's handler) on it; when that is
// missing or fails, starts the app itself with the URL, the one beside this program or else the
// installed one. The work runs on a worker thread; a failure is logged, and the completion gets
// the outcome on the main run loop.
class DesktopUrlOpener {
public:
    // `instanceName` is the name under which the app claims its single instance in `directory`;
    // `fallback` is the command that gets the URL as its last argument; `appProgram` the app's
    // program (none: no app is started).
    DesktopUrlOpener(std::filesystem::path directory, std::string instanceName,
                     std::vector<std::string> fallback = {"xdg-open"}, std::string appProgram = {});

    void open(const std::string& url, std::function<void(bool opened)> completion) const;

    // The steps of open, on the calling thread.
    bool openNow(const std::string& url) const;

private:
    bool runFallback(const std::string& url, std::string& error) const;

    std::filesystem::path directory_;
    std::string instanceName_;
    std::vector<std::string> fallback_;
    std::string appProgram_;
};

}  // namespace host
