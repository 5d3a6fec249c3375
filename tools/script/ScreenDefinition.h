#pragma once

#include "tools/script/ScriptCommand.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
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
    // What a started screen needs kept while it runs (an application delegate, say); released
    // after the host.
    using KeepAlive = std::shared_ptr<void>;
    // Puts the screen into the host as its executable does at launch (view load, appearance,
    // activation), with the executable's command-line arguments. False with a message on failure.
    std::function<bool(host::HeadlessHost& host, const std::vector<std::string>& arguments, KeepAlive& keep,
                       std::string& error)>
        start;
    // The outlet names of the display lines by role ("primary", "secondary", "memory"), for
    // `expect primary`, `tap display primary` and `print`.
    std::map<std::string, std::string> lines;
    // The activity the screen publishes, for `continue` and `expect activity`: its type, its
    // title and the user-info entry that holds its text. None: the screen publishes none.
    struct Activity {
        std::string type;
        std::string title;
        std::string key;
    };
    std::optional<Activity> activity;
    ScriptCommands commands;
    ScriptCommands expectations;
};

}  // namespace script
