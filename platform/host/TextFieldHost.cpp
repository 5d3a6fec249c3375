#include "platform/host/TextFieldHost.h"

#include "platform/host/HeadlessHost.h"
#include "platform/host/WindowHost.h"
#include "platform/uikit/Window.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace host {

int TextFieldHost::run(int argc, char** argv, Factory makeKeyboard) {
    std::string program = argc > 0 && argv[0] != nullptr ? std::filesystem::path(argv[0]).filename().string()
                                                         : "ostrelo-keyboard";
    std::vector<std::string> given(argv + std::min(argc, 1), argv + argc);
    if (given == std::vector<std::string>{"--help"}) {
        std::printf("%s\n", usage(program).c_str());
        return 0;
    }
    auto arguments = parseArguments(given);
    if (!arguments) {
        std::fprintf(stderr, "%s\n", usage(program).c_str());
        return 2;
    }
    simulateModel(arguments->device);
    AppDescription app = description(std::move(makeKeyboard), *arguments);
    app.name = program;
    return WindowHost::run(std::min(argc, 1), argv, app);
}

std::optional<TextFieldHost::Arguments> TextFieldHost::parseArguments(const std::vector<std::string>& arguments) {
    Arguments parsed;
    bool deviceGiven = false, landscapeGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--landscape" && !landscapeGiven) {
            landscapeGiven = true;
            parsed.orientation = Orientation::landscape;
        } else if (arguments[i] == "--device" && !deviceGiven && i + 1 < arguments.size()) {
            deviceGiven = true;
            auto device = DeviceProfile::named(arguments[++i]);
            if (!device) return std::nullopt;
            parsed.device = *device;
        } else {
            return std::nullopt;
        }
    }
    return parsed;
}

std::string TextFieldHost::usage(const std::string& program) {
    std::string names;
    for (const auto& device : DeviceProfile::all()) names += (names.empty() ? "\"" : ", \"") + device.name + "\"";
    return "usage: " + program + " [--device NAME] [--landscape] (NAME: " + names + ")";
}

void TextFieldHost::simulateModel(const DeviceProfile& device) {
    ::setenv("SIMULATOR_MODEL_IDENTIFIER", device.hardwareIdentifier.c_str(), 1);
}

AppDescription TextFieldHost::description(Factory makeKeyboard, const Arguments& arguments) {
    AppDescription app;
    app.title = "Ostrelo Keyboard";
    app.size = arguments.device.size(arguments.orientation);
    app.idiom = arguments.device.idiom;
    app.singleInstance = true;
    // The field keeps a line of its own above the keyboard, also lying on the smallest phone.
    app.windowStyle.minimumSize = {320, 360};
    app.makeRootViewController = [makeKeyboard = std::move(makeKeyboard)] {
        return std::make_unique<TextFieldHostController>(makeKeyboard);
    };
    return app;
}

TextFieldHostController* TextFieldHost::launch(HeadlessHost& host, Factory makeKeyboard) {
    simulateModel(host.profile());
    host.launch(description(std::move(makeKeyboard), {host.profile(), host.orientation()}));
    return controller(host.window());
}

TextFieldHostController* TextFieldHost::controller(uikit::Window& window) {
    return dynamic_cast<TextFieldHostController*>(window.rootViewController());
}

}  // namespace host
