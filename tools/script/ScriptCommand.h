#pragma once

#include "tools/script/ScriptLine.h"

#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace script {

class ScriptSession;

// When a command may appear: before `start` (set-up), after it, or either.
enum class Phase { setUp, running, any };

// One command (or one kind of `expect`) of the script format: its word, when it may appear, how
// many argument words it takes and what it does.
struct ScriptCommand {
    static constexpr std::size_t manyWords = std::numeric_limits<std::size_t>::max();

    std::string name;
    Phase phase = Phase::running;
    std::size_t minimumWords = 0;
    std::size_t maximumWords = 0;
    std::string usage;  // shown when the words do not fit: "hold CAPTION [SECONDS]"
    // Runs the line (for an expectation, its words after the kind). Returns false when the
    // script cannot go on; the command has then reported why.
    std::function<bool(ScriptSession&, const ScriptLine&)> run;

    bool takes(std::size_t words) const { return words >= minimumWords && words <= maximumWords; }
};

using ScriptCommands = std::vector<ScriptCommand>;

inline const ScriptCommand* findCommand(const ScriptCommands& commands, const std::string& name) {
    for (const auto& command : commands)
        if (command.name == name) return &command;
    return nullptr;
}

}  // namespace script
