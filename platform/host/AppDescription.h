#pragma once

#include "platform/uikit/ApplicationDelegate.h"
#include "platform/uikit/Size.h"
#include "platform/uikit/ViewController.h"

#include <functional>
#include <memory>
#include <string>

namespace host {

// What an executable hands to a host: its initial screen, its application delegate and how
// it starts. The same description runs in the window host and, for tests, in the headless one.
struct AppDescription {
    // The executable's name, for usage and error lines.
    std::string name;
    // The window's title and its size in points at start.
    std::string title = "Ostrelo";
    uikit::Size size{375, 667};
    // The initial screen (made once per launch). Without one the window shows an empty screen.
    std::function<std::unique_ptr<uikit::ViewController>()> makeRootViewController;
    // The application delegate; optional.
    std::function<std::unique_ptr<uikit::ApplicationDelegate>()> makeDelegate;
    // Quick-action types are this identifier, a dot and the name given to --shortcut.
    std::string bundleIdentifier;
    // Whether the command line may carry a launch request (a quick action, an activity, a URL);
    // otherwise it takes no arguments.
    bool acceptsLaunchRequests = false;
    // One running instance per user: a later start hands its request to it and ends.
    bool singleInstance = false;
};

}  // namespace host
