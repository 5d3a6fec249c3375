#pragma once

#include "app/core/ScreenProfile.h"

namespace ostrelo {

// The profiles of the calculator screens.
class ScreenProfiles {
public:
    // The app's main screen.
    static const ScreenProfile& main();
};

}  // namespace ostrelo
