#pragma once

#include "platform/host/AppDescription.h"
#include "platform/host/DeviceProfile.h"
#include "platform/host/TextFieldHostController.h"

#include <optional>
#include <string>
#include <vector>

namespace host {

class HeadlessHost;

// Runs a keyboard under a text field (TextFieldHostController) in an SDL window as wide as a
// device profile's screen, or in the headless host. The profile's hardware identifier becomes
// the simulated model (SIMULATOR_MODEL_IDENTIFIER) before the keyboard is made.
class TextFieldHost {
public:
    using Factory = TextFieldHostController::Factory;
    struct Arguments {
        DeviceProfile device = DeviceProfile::phone();
        Orientation orientation = Orientation::portrait;
    };

    // What a keyboard's main() calls: `[--device NAME] [--landscape]` (usage and 2 otherwise;
    // "--help": usage on standard output and 0), runs once per user (a later start brings the
    // window forward and ends, whatever its arguments) until the window is closed.
    static int run(int argc, char** argv, Factory makeKeyboard);
    // None for arguments that are not `[--device NAME] [--landscape]` with a known profile.
    static std::optional<Arguments> parseArguments(const std::vector<std::string>& arguments);
    static std::string usage(const std::string& program);
    // Sets the simulated model to the profile's hardware identifier.
    static void simulateModel(const DeviceProfile& device);
    // The start-up both hosts run.
    static AppDescription description(Factory makeKeyboard, const Arguments& arguments);
    // Launches the keyboard in a headless host, simulating the host's device.
    static TextFieldHostController* launch(HeadlessHost& host, Factory makeKeyboard);
    // The text-field window a window shows, if any.
    static TextFieldHostController* controller(uikit::Window& window);
};

}  // namespace host
