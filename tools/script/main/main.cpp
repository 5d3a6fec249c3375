// ostrelo-script [--snapshots DIR] FILE...: runs screen scripts on the headless host.
#include "tools/script/ProcessStep.h"
#include "tools/script/ScriptRunner.h"
#include "tools/script/main/AppScreen.h"
#include "tools/script/main/KeyboardScreen.h"
#include "tools/script/main/MessagesScreens.h"
#include "tools/script/main/WidgetScreens.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

int usage() {
    std::cerr << "usage: ostrelo-script [--snapshots DIR] FILE...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (script::ProcessStep::requested(arguments)) return script::ProcessStep::pressKeys(arguments, std::cout, std::cerr);

    script::ScriptSession::Settings settings;
    std::error_code error;
    settings.processExecutable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) settings.processExecutable = argv[0];
    std::vector<std::filesystem::path> files;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--snapshots") {
            if (++i == arguments.size()) return usage();
            settings.snapshots = arguments[i];
        } else if (arguments[i].starts_with("--")) {
            return usage();
        } else {
            files.emplace_back(arguments[i]);
        }
    }
    if (files.empty()) return usage();

    script::ScriptRunner runner(settings);
    runner.addScreen(script::AppScreen::definition());
    runner.addScreen(script::messagesCompactScreen());
    runner.addScreen(script::messagesExpandedScreen());
    runner.addScreen(script::KeyboardScreen::definition());
    for (auto& screen : script::WidgetScreens::definitions()) runner.addScreen(std::move(screen));
    return runner.run(files, std::cout) ? 0 : 1;
}
