#pragma once

#include "platform/host/AppDescription.h"

namespace ostrelo {

// ostrelo-settings as a host runs it: one small window with the settings page, one instance per
// user (a later start brings it forward).
struct SettingsPage {
    static host::AppDescription description();
};

}  // namespace ostrelo
