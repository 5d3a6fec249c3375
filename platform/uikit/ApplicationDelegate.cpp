#include "platform/uikit/ApplicationDelegate.h"

namespace uikit {

bool ApplicationDelegate::didFinishLaunchingWithOptions(Application&, const LaunchOptions&) { return true; }
void ApplicationDelegate::applicationDidBecomeActive(Application&) {}
void ApplicationDelegate::applicationWillResignActive(Application&) {}
void ApplicationDelegate::applicationDidEnterBackground(Application&) {}
void ApplicationDelegate::applicationWillEnterForeground(Application&) {}
void ApplicationDelegate::applicationWillTerminate(Application&) {}

void ApplicationDelegate::performActionForShortcutItem(Application&, const ApplicationShortcutItem&,
                                                       const std::function<void(bool)>& completionHandler) {
    if (completionHandler) completionHandler(false);
}

bool ApplicationDelegate::continueUserActivity(Application&, const foundation::UserActivity&) { return false; }

}  // namespace uikit
