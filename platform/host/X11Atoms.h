#pragma once

typedef struct _XDisplay Display;

namespace host {

// The X atoms the window layer speaks with, interned in one round trip.
struct X11Atoms {
    unsigned long wmProtocols = 0, wmDeleteWindow = 0, wmState = 0, netWmPing = 0, netWmName = 0, netWmPid = 0,
                  netWmIcon = 0, netWmState = 0, netWmStateAbove = 0, netWmStateHidden = 0, netWmWindowType = 0,
                  netWmWindowTypeNormal = 0, netActiveWindow = 0, netWmMoveResize = 0, netSupported = 0,
                  netWorkArea = 0, netCurrentDesktop = 0, motifWmHints = 0, utf8String = 0, clipboard = 0,
                  targets = 0, incr = 0, transfer = 0, timestamp = 0, clipboardManager = 0, saveTargets = 0,
                  serverTime = 0, multiple = 0, atomPair = 0;

    // False when the server does not answer.
    bool intern(Display* display);
};

}  // namespace host
