#pragma once

#include "platform/host/KeyComposer.h"
#include "platform/host/KeyboardInput.h"

#include <bitset>
#include <memory>
#include <optional>
#include <string>

typedef struct _XDisplay Display;
union _XEvent;

namespace host {

// X key events as key-downs. The key code is the USB usage code of the key's evdev code (an X key
// code less 8). The keysym is the one the server's layout gives the key with the modifiers and
// group held (any layout: Latin, Cyrillic, Greek, …, AltGr levels), and its text comes from
// libxkbcommon, loaded with the first key. Dead keys and Compose sequences go through the compose
// table (KeyComposer), loaded when the first key that begins one is pressed: the keys of a
// sequence type nothing until it ends, and then its text. A key pressed again while held is a
// repeat (the server's auto-repeat: with detectable auto-repeat it sends presses alone, else each
// with a release just before it, at the same time, which the window layer drops); a repeat is no
// part of a sequence. Without libxkbcommon keys type Latin-1 only and nothing composes.
class X11Keyboard {
public:
    // The USB usage code of an X key code; 0 for a key without one.
    static int usageOf(unsigned keycode);
    // The UTF-8 text of a keysym that stands for a printable character; empty for any other.
    static std::string printable(unsigned long keysym);

    // The key-down of a KeyPress event; none for a key that is part of a dead-key or Compose
    // sequence (a sequence's last key carries the sequence's text).
    std::optional<KeyboardInput::KeyDown> keyDown(_XEvent& press);
    // The text a press of a key with this keysym types after the keys pressed before it (empty
    // for one that types nothing printable); none while a sequence goes on or for a key that
    // broke one off.
    std::optional<std::string> typed(unsigned long keysym);
    void keyUp(unsigned keycode) { held_.reset(keycode & 0xFF); }
    // Keys went up while the window had no focus, unseen; a sequence under way is forgotten.
    void forgetHeldKeys();

private:
    KeyComposer* composer(unsigned long keysym);

    std::bitset<256> held_;
    std::unique_ptr<KeyComposer> composer_;
    bool composerFailed_ = false;
};

}  // namespace host
