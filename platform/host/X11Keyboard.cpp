#include "platform/host/X11Keyboard.h"

#include "platform/foundation/Characters.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdint>
#include <iterator>

namespace host {

namespace {

// USB usage codes by evdev key code (linux/input-event-codes.h), as far as keyboards have keys
// of the keyboard page.
constexpr std::uint8_t usages[] = {
    0,   41,  30,  31,  32,  33,  34,  35,  36,  37,  38,  39,  45,  46,  42,  43,   // 0: Esc, 1…0, - =, BS, Tab
    20,  26,  8,   21,  23,  28,  24,  12,  18,  19,  47,  48,  40,  224, 4,   22,   // 16: Q…P, [ ], Return, LCtrl, A S
    7,   9,   10,  11,  13,  14,  15,  51,  52,  53,  225, 49,  29,  27,  6,   25,   // 32: D…L, ; ' `, LShift, \, Z X C V
    5,   17,  16,  54,  55,  56,  229, 85,  226, 44,  57,  58,  59,  60,  61,  62,   // 48: B N M , . /, RShift, KP*, LAlt, Space, Caps, F1…F5
    63,  64,  65,  66,  67,  83,  71,  95,  96,  97,  86,  92,  93,  94,  87,  89,   // 64: F6…F10, NumLock, ScrollLock, KP7 8 9 -, KP4 5 6 +, KP1
    90,  91,  98,  99,  0,   148, 100, 68,  69,  135, 146, 147, 138, 136, 139, 140,  // 80: KP2 3 0 ., -, Zenkaku, 102nd, F11 F12, Ro, Katakana…
    88,  228, 84,  70,  230, 0,   74,  82,  75,  80,  79,  77,  81,  78,  73,  76,   // 96: KPEnter, RCtrl, KP/, SysRq, RAlt, -, Home Up PgUp Left Right End Down PgDn Ins Del
    0,   127, 129, 128, 102, 103, 215, 72,  0,   133, 144, 145, 137, 227, 231, 101,  // 112: -, Mute, Vol- Vol+, Power, KP=, KP±, Pause, -, KP, Hangeul Hanja, Yen, LMeta RMeta, Compose
    120, 121, 118, 122, 119, 124, 116, 125, 126, 123, 117, 118, 0,   0,   0,   0,    // 128: Stop Again Props Undo Front Copy Open Paste Find Cut Help Menu
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,    // 144
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,    // 160
    0,   0,   0,   182, 183, 0,   0,   104, 105, 106, 107, 108, 109, 110, 111, 112,  // 176: KP( KP), F13…F21
    113, 114, 115,                                                                   // 192: F22…F24
};

// X key codes are evdev codes plus 8.
constexpr unsigned evdevOffset = 8;

// XLookupString's text in the C locale is Latin-1.
std::string latin1ToUtf8(const char* bytes, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) foundation::Characters::appendUtf8(out, static_cast<unsigned char>(bytes[i]));
    return out;
}

bool printableText(const std::string& text) {
    return !text.empty() && static_cast<unsigned char>(text.front()) >= 0x20 && text.front() != 0x7F;
}

}  // namespace

int X11Keyboard::usageOf(unsigned keycode) {
    if (keycode < evdevOffset || keycode - evdevOffset >= std::size(usages)) return 0;
    return usages[keycode - evdevOffset];
}

std::string X11Keyboard::printable(unsigned long keysym) {
    using foundation::Characters;
    std::string out;
    constexpr unsigned long unicodeKeysyms = 0x01000000;
    if ((keysym >= 0x20 && keysym < 0x7F) || (keysym >= 0xA0 && keysym <= 0xFF))
        Characters::appendUtf8(out, static_cast<char32_t>(keysym));
    else if (keysym >= unicodeKeysyms + 0xA0 && keysym <= unicodeKeysyms + 0x10FFFF)
        Characters::appendUtf8(out, static_cast<char32_t>(keysym - unicodeKeysyms));
    else if (keysym == XK_EuroSign)
        Characters::appendUtf8(out, U'€');
    return out;
}

KeyboardInput::KeyDown X11Keyboard::keyDown(XEvent& press) {
    XKeyEvent& event = press.xkey;
    KeyboardInput::KeyDown down;
    down.usage = usageOf(event.keycode);
    down.shift = (event.state & ShiftMask) != 0;
    down.control = (event.state & ControlMask) != 0;
    down.alternate = (event.state & Mod1Mask) != 0;
    down.repeat = held_.test(event.keycode & 0xFF);
    held_.set(event.keycode & 0xFF);

    // The symbol of the key's first level in the active group: what it makes without modifiers.
    const KeySym base = XkbKeycodeToKeysym(event.display, static_cast<KeyCode>(event.keycode),
                                           static_cast<int>((event.state >> 13) & 0x3), 0);
    if (base == XK_Return || base == XK_KP_Enter) down.unmodified = "\r";
    else if (base == XK_BackSpace) down.unmodified = "\b";
    else down.unmodified = printable(base);

    char bytes[32];
    KeySym typed = NoSymbol;
    const int count = XLookupString(&event, bytes, sizeof bytes, &typed, nullptr);
    // Keysyms beyond Latin-1 have no text in the C locale: their own character then.
    std::string text = count > 0 ? latin1ToUtf8(bytes, count) : printable(typed);
    if (printableText(text)) down.text = std::move(text);
    return down;
}

}  // namespace host
