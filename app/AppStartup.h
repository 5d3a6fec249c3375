#pragma once

#include "app/AppDelegate.h"

#include <memory>
#include <string>

namespace uikit {
class Window;
}

namespace ostrelo {

// The app's start, the same on every host: the main scene's screen is made, the delegate
// counts the launch, the screen becomes the window's root (its view loads and appears), and
// the app becomes active once. Afterwards the host delivers touches, keys, lifecycle
// notifications and time; the returned delegate must outlive the window's screen.
class AppStartup {
public:
    // Null, with the reason in `error`, when the main scene cannot be loaded.
    static std::unique_ptr<AppDelegate> launch(uikit::Window& window, const AppDelegate::LaunchOptions& options,
                                               std::string& error);
    // The class names that scenes of the app use; done by launch, safe to repeat.
    static void registerClasses();
    // The quick-action type of a name ("copyResult" becomes the bundle identifier, ".", the name).
    static std::string shortcutType(const std::string& name);
};

}  // namespace ostrelo
