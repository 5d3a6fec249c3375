#pragma once

#include "tools/script/ScriptCommand.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace host {
class HeadlessHost;
}

namespace script {

// A screen scripts can run (`screen NAME`): how its executable launches it, where its display
// lines are, and the commands and expectations only this screen has.
struct ScreenDefinition {
    std::string name;
    // Puts the screen into the host as its executable does at launch (view load, appearance,
    // activation), with the executable's command-line arguments. False with a message on failure.
    std::function<bool(host::HeadlessHost& host, const std::vector<std::string>& arguments, std::string& error)> start;
    // The outlet names of the display lines by role ("primary", "secondary", "memory"), for
    // `expect primary`, `tap display primary` and `print`.
    std::map<std::string, std::string> lines;
    ScriptCommands commands;
    ScriptCommands expectations;
};

}  // namespace script
