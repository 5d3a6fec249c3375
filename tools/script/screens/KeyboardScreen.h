#pragma once

#include "tools/script/ScreenDefinition.h"

namespace script {

// `screen keyboard`: ostrelo-keyboard under the text field of its host window (the device's
// profile picks the nib), with the commands and expectations of the field and the keyboard's
// height.
ScreenDefinition keyboardScreen();

}  // namespace script
