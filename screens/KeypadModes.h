#pragma once

namespace ostrelo {

class CalculatorScreen;

// Chooses a screen's keypad layout from the suite: the currency keypad only when the user
// asked to remember it (SharedSettings::rememberCurrencyKeypad) and it was showing
// (SharedSettings::showCurrency); otherwise the standard keypad, and showCurrency is written
// back as false.
class KeypadModes {
public:
    explicit KeypadModes(CalculatorScreen& screen) : screen_(screen) {}

    void updateKeypadMode();

private:
    CalculatorScreen& screen_;
};

}  // namespace ostrelo
