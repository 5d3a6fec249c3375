#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/uikit/ApplicationDelegate.h"

#include <optional>

namespace ostrelo {

class ViewController;

// The application's delegate: counts launches in the suite and, from the eleventh launch on,
// asks for a review once, 30 to 49 seconds after start (counted, never shown); keeps the quick
// action the app was started with until the first activation; at every activation reloads the
// calculation from the suite (the extensions write it too) and refreshes the main screen.
class AppDelegate : public uikit::ApplicationDelegate {
public:
    std::optional<uikit::ApplicationShortcutItem> shortcutItem;

    // Launch counting and the review timer; false when a quick action waits for the first
    // activation.
    bool didFinishLaunchingWithOptions(uikit::Application& application, const LaunchOptions& options) override;
    void applicationDidBecomeActive(uikit::Application& application) override;
    // A quick action while the app runs; the completion hears true unless the screen did not
    // carry it out (a paste of a number too large to calculate with).
    void performActionForShortcutItem(uikit::Application& application, const uikit::ApplicationShortcutItem& item,
                                      const std::function<void(bool succeeded)>& completionHandler) override;
    // Hands the activity to the main screen; false (logged) for one the screen cannot take
    // (HandoffCalculation::acceptedText), which then changes nothing; true otherwise, also
    // without a window.
    bool continueUserActivity(uikit::Application& application, const foundation::UserActivity& activity) override;
    void requestReview();

private:
    void countLaunch();
    ViewController* mainScreen() const;

    // Declared last: the review timer stops once the delegate is gone.
    foundation::Lifetime lifetime_;
};

}  // namespace ostrelo
