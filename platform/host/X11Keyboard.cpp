#include "platform/host/X11Keyboard.h"

#include "platform/foundation/Characters.h"
#include "platform/foundation/Log.h"
#include "platform/host/XkbCommonLibrary.h"

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

bool printableText(const std::string& text) {
    return !text.empty() && static_cast<unsigned char>(text.front()) >= 0x20 && text.front() != 0x7F;
}

// libxkbcommon, loaded with the first key; null when it cannot be (said once).
const XkbCommonLibrary* xkbCommon() {
    static const XkbCommonLibrary* const loaded = [] {
        std::string error;
        const XkbCommonLibrary* xkb = XkbCommonLibrary::load(error);
        if (xkb == nullptr) foundation::Log::warning("keys type Latin-1 only: " + error);
        return xkb;
    }();
    return loaded;
}

}  // namespace

int X11Keyboard::usageOf(unsigned keycode) {
    if (keycode < evdevOffset || keycode - evdevOffset >= std::size(usages)) return 0;
    return usages[keycode - evdevOffset];
}

std::string X11Keyboard::printable(unsigned long keysym) {
    std::string text;
    if (const XkbCommonLibrary* xkb = xkbCommon()) {
        char bytes[8];
        const int length = xkb->keysym_to_utf8(static_cast<xkb_keysym_t>(keysym), bytes, sizeof bytes);
        // The length counts the terminating zero.
        if (length > 1) text.assign(bytes, static_cast<std::size_t>(length - 1));
    } else if (keysym <= 0xFF) {
        // Latin-1 keysyms are their characters.
        foundation::Characters::appendUtf8(text, static_cast<char32_t>(keysym));
    }
    return printableText(text) ? text : std::string();
}

KeyComposer* X11Keyboard::composer(unsigned long keysym) {
    if (composer_ || composerFailed_ || !KeyComposer::begins(keysym)) return composer_.get();
    std::string error;
    if (const XkbCommonLibrary* xkb = xkbCommon()) composer_ = KeyComposer::open(*xkb, error);
    else error = "libxkbcommon is not loaded";
    if (!composer_) {
        composerFailed_ = true;
        foundation::Log::warning("dead keys and Compose type nothing: " + error);
    }
    return composer_.get();
}

std::optional<std::string> X11Keyboard::typed(unsigned long keysym) {
    if (KeyComposer* sequences = composer(keysym)) {
        std::string text;
        switch (sequences->feed(keysym, text)) {
        case KeyComposer::Step::composing:
        case KeyComposer::Step::cancelled:
            return std::nullopt;
        case KeyComposer::Step::composed:
            return printableText(text) ? text : std::string();
        case KeyComposer::Step::passed:
            break;
        }
    }
    return printable(keysym);
}

void X11Keyboard::forgetHeldKeys() {
    held_.reset();
    if (composer_) composer_->reset();
}

std::optional<KeyboardInput::KeyDown> X11Keyboard::keyDown(XEvent& press) {
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

    // The keysym with the modifiers and group held.
    char bytes[32];
    KeySym keysym = NoSymbol;
    const int count = XLookupString(&event, bytes, sizeof bytes, &keysym, nullptr);
    if (xkbCommon() == nullptr) {
        // XLookupString's text in the C locale is Latin-1.
        const std::string text = foundation::Characters::fromLatin1({bytes, static_cast<std::size_t>(count)});
        if (printableText(text)) down.text = text;
        return down;
    }
    // A held key's repeats are no part of a sequence.
    std::optional<std::string> text = down.repeat ? printable(keysym) : typed(keysym);
    if (!text) return std::nullopt;
    down.text = std::move(*text);
    return down;
}

}  // namespace host
