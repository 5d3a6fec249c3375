#pragma once

#include "platform/host/KeyboardInput.h"

#include <optional>
#include <string>
#include <string_view>

namespace script {

// Keys of a US keyboard as the window layer reports their key-downs: the key's usage code, what
// it makes without modifiers and the text it types (none while Ctrl or Alt is held), so that a
// script's key goes through the window host's own translation.
class UsKeyboard {
public:
    using Stroke = host::KeyboardInput::KeyDown;

    // A key by name: a printable ASCII character ("1", "*", "A": Shift is held where the layout
    // needs it), or "Return", "Enter" (the keypad's), "Backspace", "Escape", "Tab", "Space";
    // after any of the prefixes "Ctrl+", "Alt+" and "Shift+". None for another name.
    static std::optional<Stroke> named(std::string_view name);
    // The stroke that types one character (a printable ASCII character, or a line break as Return).
    static std::optional<Stroke> typing(char c);
};

}  // namespace script
