#pragma once

#include "tools/script/ScreenDefinition.h"
#include "tools/script/ScriptSession.h"

#include <filesystem>
#include <ostream>
#include <vector>

namespace script {

// Runs script files, each in a child process of its own on a fresh group directory (so no store,
// theme, registered default, pasteboard or record of one script reaches the next, and a script
// that crashes its screen fails alone). Prints each failure as "FILE:LINE: …" and closes with
// "N passed, M failed".
class ScriptRunner {
public:
    explicit ScriptRunner(ScriptSession::Settings settings) : settings_(std::move(settings)) {}

    // Makes a screen available to `screen NAME`.
    void addScreen(ScreenDefinition screen) { screens_.push_back(std::move(screen)); }
    const std::vector<ScreenDefinition>& screens() const { return screens_; }

    // True when every script passed. Call it before any worker thread of this process exists:
    // the children are forked.
    bool run(const std::vector<std::filesystem::path>& files, std::ostream& out) const;

private:
    bool runOne(const std::filesystem::path& file, std::ostream& out) const;
    // The child's part: runs the script and ends the process (0 passed, 1 failed).
    [[noreturn]] void runChild(const Script& script, const ScreenDefinition& screen,
                               const std::filesystem::path& group, int output, int* currentLine) const;

    ScriptSession::Settings settings_;
    std::vector<ScreenDefinition> screens_;
};

}  // namespace script
