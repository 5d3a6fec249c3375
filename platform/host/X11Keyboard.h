#pragma once

#include "platform/host/KeyboardInput.h"

#include <bitset>
#include <cstdint>
#include <string>

typedef struct _XDisplay Display;
union _XEvent;

namespace host {

// X key events as key-downs: the key code is the USB usage code of the key's evdev code (an X
// key code less 8), the characters come from XLookupString (no input method, no compose table),
// and a key pressed again while held is a repeat (the server's auto-repeat: with detectable
// auto-repeat it sends presses alone, else each with a release just before it, at the same time,
// which the window layer drops).
class X11Keyboard {
public:
    // The USB usage code of an X key code; 0 for a key without one.
    static int usageOf(unsigned keycode);
    // The UTF-8 text of a keysym that stands for a printable character (a Latin-1 or Unicode
    // keysym, or the euro sign); empty for any other.
    static std::string printable(unsigned long keysym);

    // The key-down of a KeyPress event.
    KeyboardInput::KeyDown keyDown(_XEvent& press);
    void keyUp(unsigned keycode) { held_.reset(keycode & 0xFF); }
    // Keys went up while the window had no focus, unseen.
    void forgetHeldKeys() { held_.reset(); }

private:
    std::bitset<256> held_;
};

}  // namespace host
