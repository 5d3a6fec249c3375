#pragma once

#include "platform/uikit/Press.h"

#include <SDL2/SDL_events.h>

#include <string>

namespace host {

// Turns an SDL key-down (with the text input SDL made of it) into what the window host does:
// nothing (a repeat of a held key), a rotation (Ctrl+R) or one key press for the toolkit. The
// key code is the scancode, a USB usage code (Escape 41). Return, keypad Enter and Backspace
// carry U+000D and U+0008; with Ctrl or Alt held a key carries no characters, only its code.
class SdlKeyboard {
public:
    enum class Action { ignore, press, rotate };
    struct Result {
        Action action = Action::ignore;
        uikit::Key key;
    };
    static Result translate(const SDL_KeyboardEvent& event, const std::string& text);
};

}  // namespace host
