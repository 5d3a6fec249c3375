#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace host {

// Opens a URL for an extension on the desktop: first hands it to the app's running instance
// over its single-instance socket (which brings the app forward); when nothing answers, runs
// the desktop's opener (xdg-open, which hands it to the scheme's handler) on it. It never starts
// a program of its own. The work runs on a worker thread; a failure is logged, and the
// completion gets the outcome on the main run loop.
class DesktopUrlOpener {
public:
    // `instanceName` is the name under which the app claims its single instance in `directory`;
    // `fallback` is the command that gets the URL as its last argument.
    DesktopUrlOpener(std::filesystem::path directory, std::string instanceName,
                     std::vector<std::string> fallback = {"xdg-open"});

    void open(const std::string& url, std::function<void(bool opened)> completion) const;

    // The steps of open, on the calling thread.
    bool openNow(const std::string& url) const;

private:
    bool runFallback(const std::string& url, std::string& error) const;

    std::filesystem::path directory_;
    std::string instanceName_;
    std::vector<std::string> fallback_;
};

}  // namespace host
