#pragma once

#include "screens/ScreenProfile.h"

namespace ostrelo {

// The profiles of the calculator screens, side by side.
class ScreenProfiles {
public:
    // The app's main screen.
    static const ScreenProfile& main();
    // The messages extension's full screen.
    static const ScreenProfile& messagesExpanded();
    // The messages extension's compact pad, which sends into the conversation.
    static const ScreenProfile& messagesCollapsed();
    // The widget.
    static const ScreenProfile& widget();
    // The keyboard, which types into the host's text field.
    static const ScreenProfile& keyboard();
};

}  // namespace ostrelo
