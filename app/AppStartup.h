#pragma once

#include "platform/host/AppDescription.h"

#include <memory>
#include <string>

namespace ostrelo {

class ViewController;

// The app as every host starts it. The window host runs it from main(); the headless host
// launches the same description (HeadlessHost::launch), so its start-up is the same: the
// delegate counts the launch, the screen of the storyboard Main loads and appears, and the app
// becomes active.
class AppStartup {
public:
    // "ostrelo" in a 375 × 667 window titled "Ostrelo": the calculator screen, the delegate,
    // quick actions named after the bundle identifier, "ostrelo://" URLs, one running instance
    // per user, ostrelo-settings as its page of the system settings. Also makes the app's classes known to scenes and fills the bundle's info.
    static host::AppDescription description();
    // The calculator screen, the initial scene of the storyboard Main; null, with the reason,
    // when the scene cannot be loaded.
    static std::unique_ptr<ViewController> makeMainScreen(std::string& error);
    // The class names that the app's scenes use; safe to repeat.
    static void registerClasses();
};

}  // namespace ostrelo
