#include "tools/script/UsKeyboard.h"

#include "platform/uikit/HidUsage.h"

#include <array>

namespace script {

namespace hid = uikit::hid;

namespace {

// Where a character sits: its key, the character the key makes without Shift, and whether
// Shift makes this one.
struct Place {
    int usage;
    char base;
    bool shift;
};

struct Punctuation {
    char base, shifted;
    int usage;
};

constexpr std::array<Punctuation, 12> punctuation{{
    {'-', '_', hid::minus},       {'=', '+', hid::equals},      {'[', '{', hid::leftBracket},
    {']', '}', hid::rightBracket}, {'\\', '|', hid::backslash}, {';', ':', hid::semicolon},
    {'\'', '"', hid::apostrophe}, {'`', '~', hid::grave},       {',', '<', hid::comma},
    {'.', '>', hid::period},      {'/', '?', hid::slash},       {' ', ' ', hid::space},
}};

// The digit row with Shift: ")" on 0, "!" on 1, … "(" on 9.
constexpr std::string_view shiftedDigits = ")!@#$%^&*(";

int digitKey(char digit) { return digit == '0' ? hid::digit0 : hid::digit1 + (digit - '1'); }

std::optional<Place> placeOf(char c) {
    if (c >= 'a' && c <= 'z') return Place{hid::a + (c - 'a'), c, false};
    if (c >= 'A' && c <= 'Z') return Place{hid::a + (c - 'A'), static_cast<char>(c - 'A' + 'a'), true};
    if (c >= '0' && c <= '9') return Place{digitKey(c), c, false};
    if (const auto at = shiftedDigits.find(c); at != std::string_view::npos) {
        const char digit = static_cast<char>('0' + at);
        return Place{digitKey(digit), digit, true};
    }
    for (const Punctuation& key : punctuation) {
        if (c == key.base) return Place{key.usage, key.base, false};
        if (c == key.shifted) return Place{key.usage, key.base, true};
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
    int usage;
    // What the key makes without modifiers.
    std::string_view unmodified;
};

constexpr std::array<NamedKey, 5> namedKeys{{
    {"Return", hid::returnKey, "\r"},
    {"Enter", hid::keypadEnter, "\r"},
    {"Backspace", hid::backspace, "\b"},
    {"Escape", hid::escape, ""},
    {"Tab", hid::tab, ""},
}};

struct Modifiers {
    bool shift = false, control = false, alternate = false;
};

UsKeyboard::Stroke stroke(int usage, std::string unmodified, const Modifiers& held, std::string text) {
    UsKeyboard::Stroke s;
    s.usage = usage;
    s.unmodified = std::move(unmodified);
    s.shift = held.shift;
    s.control = held.control;
    s.alternate = held.alternate;
    // Keys pressed with Ctrl or Alt type no text.
    if (!held.control && !held.alternate) s.text = std::move(text);
    return s;
}

}  // namespace

std::optional<UsKeyboard::Stroke> UsKeyboard::named(std::string_view name) {
    Modifiers held;
    for (bool prefixed = true; prefixed;) {
        prefixed = false;
        for (const auto& [prefix, modifier] : {std::pair<std::string_view, bool Modifiers::*>{"Ctrl+", &Modifiers::control},
                                               {"Alt+", &Modifiers::alternate}, {"Shift+", &Modifiers::shift}}) {
            if (name.size() > prefix.size() && name.starts_with(prefix)) {
                held.*modifier = true;
                name.remove_prefix(prefix.size());
                prefixed = true;
            }
        }
    }
    for (const NamedKey& key : namedKeys)
        if (name == key.name) return stroke(key.usage, std::string(key.unmodified), held, "");
    if (name == "Space") name = " ";
    if (name.size() != 1) return std::nullopt;
    const std::optional<Place> place = placeOf(name.front());
    if (!place) return std::nullopt;
    if (place->shift) held.shift = true;
    const char typed = held.shift ? shiftedOf(place->base) : place->base;
    return stroke(place->usage, std::string(1, place->base), held, std::string(1, typed));
}

std::optional<UsKeyboard::Stroke> UsKeyboard::typing(char c) {
    if (c == '\n') return named("Return");
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) return std::nullopt;
    return named(std::string_view(&c, 1));
}

}  // namespace script
