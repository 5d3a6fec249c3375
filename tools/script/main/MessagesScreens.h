#pragma once

#include "tools/script/ScreenDefinition.h"

namespace script {

// The messaging extension in its conversation window, as ostrelo-messages starts it:
// "messages-compact" as it opens (compact), "messages-expanded" after the window's toggle has
// expanded it. Both have the commands `style`, `conversation none` and `refocus` and the
// expectations `transcript` and `dismissed`.
ScreenDefinition messagesCompactScreen();
ScreenDefinition messagesExpandedScreen();

}  // namespace script
