#pragma once

#include "platform/uikit/ApplicationDelegate.h"
#include "platform/uikit/Point.h"
#include "platform/uikit/Size.h"
#include "platform/uikit/TraitCollection.h"
#include "platform/uikit/ViewController.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace uikit {
class Window;
}

namespace host {

// What an executable hands to a host: its initial screen, its application delegate and how
// it starts. The same description runs in the window host and, for tests, in the headless one.
struct AppDescription {
    // The executable's name, for usage and error lines.
    std::string name;
    // The window's title and its size in points at start.
    std::string title = "Ostrelo";
    uikit::Size size{375, 667};
    // The device idiom the screens see.
    uikit::UserInterfaceIdiom idiom = uikit::UserInterfaceIdiom::phone;
    // How the desktop window looks and where it opens.
    struct WindowStyle {
        enum class Placement { centered, topRight };
        bool decorated = true;
        bool resizable = true;
        bool alwaysOnTop = false;
        Placement placement = Placement::centered;
        // The smallest size, in points, a resizable window can be given: a keypad still fits
        // with keys large enough to hit, upright or lying.
        uikit::Size minimumSize{320, 320};
    };
    WindowStyle windowStyle;
    // Whether pressing at a point (in window points) drags the window: the title bar of an
    // undecorated window. None: nothing drags it.
    std::function<bool(uikit::Window& window, uikit::Point point)> dragsWindow;
    // The initial screen (made once per launch). Without one the window shows an empty screen.
    std::function<std::unique_ptr<uikit::ViewController>()> makeRootViewController;
    // What the program checks of its own files before it starts (after its arguments and the
    // group directory): false, with the reason, when it cannot run. Optional.
    std::function<bool(std::string& error)> checkBeforeStart;
    // The application delegate; optional.
    std::function<std::unique_ptr<uikit::ApplicationDelegate>()> makeDelegate;
    // Quick-action types are this identifier, a dot and the name given to --shortcut.
    std::string bundleIdentifier;
    // The quick actions the program declares (none: it takes any name); a window host gets the
    // desktop clipboard's text ready before it hands over one that reads the pasteboard.
    struct QuickAction {
        std::string name;
        bool readsPasteboard = false;
    };
    std::vector<QuickAction> quickActions;
    // The URL scheme the program opens (none: any URL that can be opened).
    std::string urlScheme;
    // Whether the command line may carry a launch request (a quick action, an activity, a URL);
    // otherwise it takes no arguments.
    bool acceptsLaunchRequests = false;
    // One running instance per user: a later start hands its request to it and ends.
    bool singleInstance = false;
    // The program beside this one that shows the app's page of the system settings, started by
    // the window host when the app opens uikit::Application::openSettingsURLString. Empty: the
    // URL is only recorded.
    std::string settingsProgram;
};

}  // namespace host
