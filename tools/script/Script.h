#pragma once

#include "tools/script/ScriptLine.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace script {

// Why a script cannot run: the line (0 for the whole file) and what is wrong there.
struct ScriptProblem {
    int line = 0;
    std::string message;
};

// The command lines of one script file, as written.
struct Script {
    std::string name;  // the file as given, for messages
    std::vector<ScriptLine> lines;

    // Reads and splits a script file; none with the problem for an unreadable file or line.
    static std::optional<Script> read(const std::filesystem::path& file, ScriptProblem& problem);
    static std::optional<Script> parse(const std::string& text, const std::string& name, ScriptProblem& problem);
};

}  // namespace script
