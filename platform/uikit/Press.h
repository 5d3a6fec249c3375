#pragma once

#include <optional>
#include <string>
#include <vector>

namespace uikit {

// Bits of Key::modifierFlags: the modifier keys held with the key.
enum KeyModifierFlags : unsigned {
    KeyModifierShift = 1u << 17,
    KeyModifierControl = 1u << 18,
    KeyModifierAlternate = 1u << 19,
};

// A key of a hardware keyboard: the characters it produces and its usage code (41 is Escape).
struct Key {
    std::string characters;
    std::string charactersIgnoringModifiers;
    int keyCode = 0;
    unsigned modifierFlags = 0;
};

// One press of a physical button or key.
struct Press {
    std::optional<Key> key;
};

using PressSet = std::vector<const Press*>;

}  // namespace uikit
