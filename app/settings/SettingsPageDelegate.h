#pragma once

#include "platform/uikit/ApplicationDelegate.h"

namespace ostrelo {

// The settings page's application: editing ends, and what was typed is written, when its window
// loses the focus or closes, so that the app finds it when it next becomes active.
class SettingsPageDelegate : public uikit::ApplicationDelegate {
public:
    void applicationWillResignActive(uikit::Application& application) override;
    void applicationWillTerminate(uikit::Application& application) override;

private:
    void endEditing();
};

}  // namespace ostrelo
