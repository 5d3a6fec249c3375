#pragma once

namespace ostrelo {

class CalculatorScreen;

// Chooses a screen's keypad layout from the suite: the currency keypad only when the user
// asked to remember it ("preference_currency_phone") and it was showing ("show_currency");
// otherwise the standard keypad, and "show_currency" is written back as false.
class KeypadModes {
public:
    explicit KeypadModes(CalculatorScreen& screen) : screen_(screen) {}

    void updateKeypadMode();

private:
    CalculatorScreen& screen_;
};

}  // namespace ostrelo
