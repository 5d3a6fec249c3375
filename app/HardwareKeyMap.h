#pragma once

#include <optional>
#include <string>

namespace uikit {
struct Key;
}

namespace ostrelo {

class CalculatorScreen;

// The main screen's hardware keyboard. A key of the map runs its on-screen twin through the key
// handler (the same action, display refresh and tail, so that a key which leaves no room for a
// waiting loan step ends the loan prompt) after a click of its own when clicks are on:
//
//   "0" … "9"        the digit          1104      "n"          "±"    1104
//   "*"  "/"         "×"  "÷"           1104      "r"  "c"     "MR"  "MC"   1104
//   "+"  "-"         "+"  "−"           1104      "s"  "a"     "M−"  "M+"   1104
//   "("  ")"         "("  ")"           1104      Backspace    "C"    1103
//   "."  ","         the separator key  1104      Escape       "AC"   1103
//   "=", Return      "=" ("𝑑" in date mode)  1103   "e"          "⇨"    none
//
// The characters are compared as they come, so upper-case letters do nothing; "×", "÷" and "−",
// as layouts type them (AltGr, Compose), are the keys they name. Escape is known by its key code
// (uikit::hid::escape) whatever the modifiers. Every other key is ignored without a sound.
class HardwareKeyMap {
public:
    explicit HardwareKeyMap(CalculatorScreen& screen);

    // Acts on one press; false when the key is not one of the map's.
    bool press(const uikit::Key& key);

private:
    struct Twin {
        std::string text;
        std::optional<unsigned> sound;
    };
    std::optional<Twin> twinOf(const uikit::Key& key) const;

    CalculatorScreen& screen_;
};

}  // namespace ostrelo
