#pragma once

#include "tools/script/ScreenDefinition.h"

namespace script {

// The keyboard as `ostrelo-keyboard` starts it (`screen keyboard`): under the text field of its
// host window, the device's profile simulated so that it picks the nib, its nibs found beside
// the runner; with the commands and expectations of the field, the input modes and the
// keyboard's height.
struct KeyboardScreen {
    static ScreenDefinition definition();
};

}  // namespace script
