#pragma once

#include <string>

namespace ostrelo {

class CalculatorButton;
class CalculatorScreen;
struct ScreenLinks;

// Copies what the calculator has prepared onto a screen's controls: the display lines (a loan
// prompt in place of the live result on the second line while a loan step waits), the clear,
// separator, parenthesis and degree/radian titles, the key states (the "=" key's also on its
// mirrors), and the date title of the "=" key. What a screen lacks is skipped.
class DisplayRefresh {
public:
    explicit DisplayRefresh(CalculatorScreen& screen);

    void updateCalculatorLines();
    // The extensions' name for the same refresh.
    void updateExtensionCalculatorLines();
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
    void showEqualState(CalculatorButton* key);

    CalculatorScreen& screen_;
    const ScreenLinks& links_;
};

}  // namespace ostrelo
