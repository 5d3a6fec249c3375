// ostrelo-script [--snapshots DIR] FILE...: runs screen scripts on the headless host.
#include "app/AppStartup.h"
#include "engine/ExchangeRateFeed.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/host/HeadlessHost.h"
#include "tools/script/ProcessStep.h"
#include "tools/script/ScriptRunner.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

int usage() {
    std::cerr << "usage: ostrelo-script [--snapshots DIR] FILE...\n";
    return 2;
}

// The app's calculator screen as ostrelo starts it, without the rate download.
script::ScreenDefinition appScreen() {
    script::ScreenDefinition screen;
    screen.name = "app";
    screen.start = [](host::HeadlessHost& host, const std::vector<std::string>&, script::ScreenDefinition::KeepAlive&,
                      std::string&) {
        ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
        host.launch(ostrelo::AppStartup::description());
        foundation::DispatchQueue::global().waitUntilIdle();
        host.runUntilIdle();
        return true;
    };
    screen.lines = {{"primary", "primaryCalculatorLine"}, {"secondary", "secondaryCalculatorLine"}};
    return screen;
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
    runner.addScreen(appScreen());
    return runner.run(files, std::cout) ? 0 : 1;
}
