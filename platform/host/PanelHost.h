#pragma once

#include "platform/host/AppDescription.h"
#include "platform/host/PanelHostController.h"

#include <string>

namespace host {

class HeadlessHost;

// Runs a widget in a panel (PanelHostController): an undecorated SDL window that stays on top
// at the top right of the screen and is dragged by its header, or the headless host.
class PanelHost {
public:
    using Factory = PanelHostController::Factory;

    // What a widget's main() calls: takes no arguments (usage and 2 otherwise), runs once per
    // user (a later start brings the panel forward and ends) until the panel is closed. URLs go to the app that claims its single instance as `appInstanceName`
    // in the group directory, else to the desktop's opener.
    static int run(int argc, char** argv, Factory makeWidget, const std::string& appInstanceName);
    // The start-up both hosts run.
    static AppDescription description(Factory makeWidget, PanelHostController::Options options = {});
    // Launches the widget in a headless host (without safe-area insets); the panel is the root.
    static PanelHostController* launch(HeadlessHost& host, Factory makeWidget, PanelHostController::Options options = {});
    // The panel a window shows, if any.
    static PanelHostController* controller(uikit::Window& window);
};

}  // namespace host
