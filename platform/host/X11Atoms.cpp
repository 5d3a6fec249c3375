#include "platform/host/X11Atoms.h"

#include <X11/Xlib.h>

#include <array>
#include <utility>

namespace host {

bool X11Atoms::intern(Display* display) {
    const std::array<std::pair<unsigned long*, const char*>, 29> names{{
        {&wmProtocols, "WM_PROTOCOLS"},
        {&wmDeleteWindow, "WM_DELETE_WINDOW"},
        {&wmState, "WM_STATE"},
        {&netWmPing, "_NET_WM_PING"},
        {&netWmName, "_NET_WM_NAME"},
        {&netWmPid, "_NET_WM_PID"},
        {&netWmIcon, "_NET_WM_ICON"},
        {&netWmState, "_NET_WM_STATE"},
        {&netWmStateAbove, "_NET_WM_STATE_ABOVE"},
        {&netWmStateHidden, "_NET_WM_STATE_HIDDEN"},
        {&netWmWindowType, "_NET_WM_WINDOW_TYPE"},
        {&netWmWindowTypeNormal, "_NET_WM_WINDOW_TYPE_NORMAL"},
        {&netActiveWindow, "_NET_ACTIVE_WINDOW"},
        {&netWmMoveResize, "_NET_WM_MOVERESIZE"},
        {&netSupported, "_NET_SUPPORTED"},
        {&netWorkArea, "_NET_WORKAREA"},
        {&netCurrentDesktop, "_NET_CURRENT_DESKTOP"},
        {&motifWmHints, "_MOTIF_WM_HINTS"},
        {&utf8String, "UTF8_STRING"},
        {&clipboard, "CLIPBOARD"},
        {&targets, "TARGETS"},
        {&incr, "INCR"},
        // The property of our window that another client's selection is delivered into.
        {&transfer, "OSTRELO_SELECTION"},
        {&timestamp, "TIMESTAMP"},
        {&clipboardManager, "CLIPBOARD_MANAGER"},
        {&saveTargets, "SAVE_TARGETS"},
        // The property of our window appended to (with nothing) for the server's time.
        {&serverTime, "OSTRELO_TIME"},
        {&multiple, "MULTIPLE"},
        {&atomPair, "ATOM_PAIR"},
    }};
    std::array<char*, names.size()> strings{};
    for (std::size_t i = 0; i < names.size(); ++i) strings[i] = const_cast<char*>(names[i].second);
    std::array<Atom, names.size()> atoms{};
    if (XInternAtoms(display, strings.data(), static_cast<int>(strings.size()), False, atoms.data()) == 0) return false;
    for (std::size_t i = 0; i < names.size(); ++i) *names[i].first = atoms[i];
    return true;
}

}  // namespace host
