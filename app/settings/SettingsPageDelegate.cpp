#include "app/settings/SettingsPageDelegate.h"

#include "platform/uikit/Window.h"

namespace ostrelo {

void SettingsPageDelegate::applicationWillResignActive(uikit::Application&) { endEditing(); }

void SettingsPageDelegate::applicationWillTerminate(uikit::Application&) { endEditing(); }

void SettingsPageDelegate::endEditing() {
    if (window != nullptr) window->endEditing();
}

}  // namespace ostrelo
