#pragma once

#include "platform/uikit/Press.h"

#include <string>

namespace host {

// A key-down of a hardware keyboard as the window system reported it, and what the window host
// makes of it: nothing (a repeat of a held key), a rotation (Ctrl+R) or one key press for the
// toolkit. The key code is the key's USB usage code (HidUsage: Escape 41). Return, keypad Enter
// and Backspace carry U+000D and U+0008; with Ctrl or Alt held a key carries no characters, only
// its code.
class KeyboardInput {
public:
    struct KeyDown {
        int usage = 0;
        // What the key makes without modifiers in the current layout: its printable symbol, "\r"
        // (Return, keypad Enter) or "\b" (Backspace); else nothing.
        std::string unmodified;
        // The printable text the key typed with the modifiers held (none for control characters).
        std::string text;
        bool shift = false;
        bool control = false;
        bool alternate = false;
        // The key was already held: the window system repeats it.
        bool repeat = false;
    };
    enum class Action { ignore, press, rotate };
    struct Result {
        Action action = Action::ignore;
        uikit::Key key;
    };
    static Result translate(const KeyDown& down);
};

}  // namespace host
