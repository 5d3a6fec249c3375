#pragma once

#include "platform/foundation/UserActivity.h"
#include "platform/uikit/ApplicationShortcutItem.h"

#include <functional>
#include <optional>
#include <string>

namespace uikit {

class Application;
class Window;

// What the application tells its delegate: the end of launching, the lifecycle (each call
// comes before the matching notification is posted), quick actions while running and
// activities to continue. Every operation has a default that does nothing.
class ApplicationDelegate {
public:
    // Why the application was started.
    struct LaunchOptions {
        std::optional<ApplicationShortcutItem> shortcutItem;
        std::optional<std::string> url;
    };

    virtual ~ApplicationDelegate() = default;

    // The application's window with the initial screen as its root; set by the host before
    // launching ends and cleared before the window goes. Not owned.
    Window* window = nullptr;

    // False when the launch's quick action was taken care of (the host then does not also
    // deliver it through performActionForShortcutItem).
    virtual bool didFinishLaunchingWithOptions(Application& application, const LaunchOptions& options);
    virtual void applicationDidBecomeActive(Application& application);
    virtual void applicationWillResignActive(Application& application);
    virtual void applicationDidEnterBackground(Application& application);
    virtual void applicationWillEnterForeground(Application& application);
    virtual void applicationWillTerminate(Application& application);
    // A quick action chosen while the application runs; the completion gets whether it was
    // handled. Default: not handled.
    virtual void performActionForShortcutItem(Application& application, const ApplicationShortcutItem& item,
                                              const std::function<void(bool succeeded)>& completionHandler);
    // An activity handed over from elsewhere; true when the delegate took it. Default: false.
    virtual bool continueUserActivity(Application& application, const foundation::UserActivity& activity);
};

}  // namespace uikit
