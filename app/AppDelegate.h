#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include <string>

#include <functional>
#include <optional>

namespace foundation {
class UserActivity;
}
namespace uikit {
class Window;
}

namespace ostrelo {

class ViewController;

// The application's delegate: counts launches in the suite and, from the eleventh launch on,
// asks for a review once, 30 to 49 seconds after start (recorded, never shown); keeps the quick
// action the app was started with until the first activation; at every activation reloads the
// calculation from the suite (the extensions write it too) and refreshes the main screen.
class AppDelegate {
public:
    // A home-screen quick action: its type names the action.
    struct ShortcutItem {
        std::string type;
    };
    // Why the app was started: a quick action, when the user started it from one.
    struct LaunchOptions {
        std::optional<ShortcutItem> shortcutItem;
    };

    static constexpr const char* launchCountKey = "launchCount";
    // How many reviews were requested: there is no review dialog, so the request is counted.
    static constexpr const char* reviewRequestsKey = "reviewRequests";

    // Not owned; its root view controller is the main screen.
    uikit::Window* window = nullptr;
    std::optional<ShortcutItem> shortcutItem;

    // Launch counting and the review timer; false when a quick action waits for the first
    // activation.
    bool didFinishLaunchingWithOptions(const LaunchOptions& options);
    void applicationDidBecomeActive();
    void applicationWillResignActive() {}
    void applicationDidEnterBackground() {}
    void applicationWillEnterForeground() {}
    // A quick action while the app runs; the completion always hears true.
    void performActionForShortcutItem(const ShortcutItem& item,
                                      const std::function<void(bool)>& completionHandler);
    // Hands the activity to the main screen; true in every case.
    bool continueUserActivity(foundation::UserActivity& activity);
    void requestReview();

    // Hears the application's activation, ahead of every observer that starts observing later.
    void observeApplication();

private:
    void countLaunch();
    ViewController* mainScreen() const;

    foundation::NotificationCenter::Token activation_;
    // Declared last: the review timer stops once the delegate is gone.
    foundation::Lifetime lifetime_;
};

}  // namespace ostrelo
