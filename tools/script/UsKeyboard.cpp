#include "tools/script/UsKeyboard.h"

#include <array>

namespace script {

namespace {

// Where a character sits: its key, the character the key makes without Shift, and whether
// Shift makes this one.
struct Place {
    SDL_Scancode scancode;
    char base;
    bool shift;
};

struct Punctuation {
    char base, shifted;
    SDL_Scancode scancode;
};

constexpr std::array<Punctuation, 12> punctuation{{
    {'-', '_', SDL_SCANCODE_MINUS},     {'=', '+', SDL_SCANCODE_EQUALS},    {'[', '{', SDL_SCANCODE_LEFTBRACKET},
    {']', '}', SDL_SCANCODE_RIGHTBRACKET}, {'\\', '|', SDL_SCANCODE_BACKSLASH}, {';', ':', SDL_SCANCODE_SEMICOLON},
    {'\'', '"', SDL_SCANCODE_APOSTROPHE}, {'`', '~', SDL_SCANCODE_GRAVE},     {',', '<', SDL_SCANCODE_COMMA},
    {'.', '>', SDL_SCANCODE_PERIOD},    {'/', '?', SDL_SCANCODE_SLASH},     {' ', ' ', SDL_SCANCODE_SPACE},
}};

// The digit row with Shift: ")" on 0, "!" on 1, … "(" on 9.
constexpr std::string_view shiftedDigits = ")!@#$%^&*(";

SDL_Scancode digitKey(char digit) {
    return digit == '0' ? SDL_SCANCODE_0 : static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (digit - '1'));
}

std::optional<Place> placeOf(char c) {
    if (c >= 'a' && c <= 'z') return Place{static_cast<SDL_Scancode>(SDL_SCANCODE_A + (c - 'a')), c, false};
    if (c >= 'A' && c <= 'Z')
        return Place{static_cast<SDL_Scancode>(SDL_SCANCODE_A + (c - 'A')), static_cast<char>(c - 'A' + 'a'), true};
    if (c >= '0' && c <= '9') return Place{digitKey(c), c, false};
    if (const auto at = shiftedDigits.find(c); at != std::string_view::npos) {
        const char digit = static_cast<char>('0' + at);
        return Place{digitKey(digit), digit, true};
    }
    for (const Punctuation& key : punctuation) {
        if (c == key.base) return Place{key.scancode, key.base, false};
        if (c == key.shifted) return Place{key.scancode, key.base, true};
    }
    return std::nullopt;
}

// What a key of the main block makes with Shift held.
char shiftedOf(char base) {
    if (base >= 'a' && base <= 'z') return static_cast<char>(base - 'a' + 'A');
    if (base >= '0' && base <= '9') return shiftedDigits[static_cast<std::size_t>(base - '0')];
    for (const Punctuation& key : punctuation)
        if (key.base == base) return key.shifted;
    return base;
}

struct NamedKey {
    std::string_view name;
    SDL_Scancode scancode;
    SDL_Keycode sym;
};

constexpr std::array<NamedKey, 5> namedKeys{{
    {"Return", SDL_SCANCODE_RETURN, SDLK_RETURN},
    {"Enter", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER},
    {"Backspace", SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE},
    {"Escape", SDL_SCANCODE_ESCAPE, SDLK_ESCAPE},
    {"Tab", SDL_SCANCODE_TAB, SDLK_TAB},
}};

UsKeyboard::Stroke stroke(SDL_Scancode scancode, SDL_Keycode sym, Uint16 modifiers, std::string text) {
    UsKeyboard::Stroke s;
    s.event.type = SDL_KEYDOWN;
    s.event.state = SDL_PRESSED;
    s.event.keysym.scancode = scancode;
    s.event.keysym.sym = sym;
    s.event.keysym.mod = modifiers;
    // Keys pressed with Ctrl or Alt make no text input.
    if ((modifiers & (KMOD_CTRL | KMOD_ALT)) == 0) s.text = std::move(text);
    return s;
}

}  // namespace

std::optional<UsKeyboard::Stroke> UsKeyboard::named(std::string_view name) {
    Uint16 modifiers = KMOD_NONE;
    for (bool prefixed = true; prefixed;) {
        prefixed = false;
        for (const auto& [prefix, modifier] : {std::pair<std::string_view, Uint16>{"Ctrl+", KMOD_LCTRL},
                                               {"Alt+", KMOD_LALT}, {"Shift+", KMOD_LSHIFT}}) {
            if (name.size() > prefix.size() && name.starts_with(prefix)) {
                modifiers |= modifier;
                name.remove_prefix(prefix.size());
                prefixed = true;
            }
        }
    }
    for (const NamedKey& key : namedKeys)
        if (name == key.name) return stroke(key.scancode, key.sym, modifiers, "");
    if (name == "Space") name = " ";
    if (name.size() != 1) return std::nullopt;
    const std::optional<Place> place = placeOf(name.front());
    if (!place) return std::nullopt;
    if (place->shift) modifiers |= KMOD_LSHIFT;
    const char typed = (modifiers & KMOD_SHIFT) != 0 ? shiftedOf(place->base) : place->base;
    return stroke(place->scancode, static_cast<SDL_Keycode>(place->base), modifiers, std::string(1, typed));
}

std::optional<UsKeyboard::Stroke> UsKeyboard::typing(char c) {
    if (c == '\n') return named("Return");
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) return std::nullopt;
    return named(std::string_view(&c, 1));
}

}  // namespace script
