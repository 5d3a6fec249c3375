#include "platform/host/SdlKeyboard.h"

namespace host {

namespace {

std::string utf8(SDL_Keycode code) {
    auto c = static_cast<char32_t>(code);
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The control character of a key that makes no text input (Return, keypad Enter, Backspace).
std::string controlCharacters(SDL_Keycode code) {
    if (code == SDLK_RETURN || code == SDLK_KP_ENTER) return "\r";
    if (code == SDLK_BACKSPACE) return "\b";
    return {};
}

// What the key makes without modifiers: its control character or its printable symbol.
std::string unmodifiedCharacters(SDL_Keycode code) {
    if (std::string control = controlCharacters(code); !control.empty()) return control;
    bool printable = code >= 0x20 && code != 0x7F && (code & SDLK_SCANCODE_MASK) == 0;
    return printable ? utf8(code) : std::string();
}

}  // namespace

SdlKeyboard::Result SdlKeyboard::translate(const SDL_KeyboardEvent& event, const std::string& text) {
    Result result;
    if (event.repeat != 0) return result;
    const SDL_Keysym& keysym = event.keysym;
    bool control = (keysym.mod & KMOD_CTRL) != 0;
    bool alternate = (keysym.mod & KMOD_ALT) != 0;
    if (control && !alternate && keysym.sym == SDLK_r) {
        result.action = Action::rotate;
        return result;
    }
    result.action = Action::press;
    uikit::Key& key = result.key;
    key.keyCode = static_cast<int>(keysym.scancode);
    if ((keysym.mod & KMOD_SHIFT) != 0) key.modifierFlags |= uikit::KeyModifierShift;
    if (control) key.modifierFlags |= uikit::KeyModifierControl;
    if (alternate) key.modifierFlags |= uikit::KeyModifierAlternate;
    key.charactersIgnoringModifiers = unmodifiedCharacters(keysym.sym);
    if (!control && !alternate) key.characters = text.empty() ? controlCharacters(keysym.sym) : text;
    return result;
}

}  // namespace host
