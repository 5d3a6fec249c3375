#pragma once

#include <string>

namespace ostrelo {

class CalculatorScreen;
struct ScreenLinks;

// Copies what the calculator has prepared onto a screen's controls: both display lines (a
// loan prompt in place of the live result while a loan step waits), the clear, separator,
// parenthesis and degree/radian titles, the key states, and the date title of the "=" key.
class DisplayRefresh {
public:
    explicit DisplayRefresh(CalculatorScreen& screen);

    void updateCalculatorLines();
    // The "=" key's mode titles follow the calculator: "𝑑" while date mode lasts; a "𝑑" once
    // date mode has ended (here or in another process), and an "𝑖" or "𝑚" once no loan step
    // waits (a new calculator), give way to the keypad layout's title. For activation, restore
    // and reset alike.
    void updateDateTitle();
    // "⇨" on the currency keypad of a compact-width, regular-height window, else "=".
    std::string layoutEqualTitle() const;

    // The secondary line's prompt while the "=" key shows "𝑖" or "𝑚", in the locale's
    // language; none for any other title.
    static const char* loanPrompt(const std::string& equalTitle, const std::string& languageCode);

private:
    void updateParenthesisTitles();

    CalculatorScreen& screen_;
    const ScreenLinks& links_;
};

}  // namespace ostrelo
