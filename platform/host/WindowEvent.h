#pragma once

#include "platform/host/KeyboardInput.h"
#include "platform/uikit/Point.h"

namespace host {

// What happened to a desktop window, as the window host takes it from any window system.
struct WindowEvent {
    enum class Kind {
        close,        // the window manager asks the window to close
        resized,      // the window's size changed (NativeWindow::size)
        pointerLeft,  // the pointer left the window
        focusIn,
        focusOut,
        minimized,
        restored,  // back from being minimised
        press,     // the left button went down at `point`
        move,      // the pointer moved to `point`, the left button held
        release,   // the left button went up at `point`
        key,       // a key went down
    };
    Kind kind = Kind::close;
    // In window points.
    uikit::Point point;
    KeyboardInput::KeyDown key;
};

}  // namespace host
