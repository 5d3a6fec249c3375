#pragma once

#include <string>

namespace ostrelo {

class Calculator;
class CalculatorButton;

// What the Settings and Functions screens ask of the calculator screen that presented them.
class ViewControllerDelegate {
public:
    virtual ~ViewControllerDelegate() = default;

    // The screen's calculator, for the settings that live in it.
    virtual Calculator& screenCalculator() = 0;
    // A key as the screen's own keypad reports it (without a key object, the title in `key`).
    virtual void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) = 0;
    virtual void updateCalculatorLines() = 0;
    virtual void relayoutViews() = 0;
    virtual void setClickSound(bool enabled) = 0;
    // Alpha 1.0 again on the pickers and keys that a popover dimmed.
    virtual void restoreControlsAlpha() = 0;
    // Replaces the calculator by a new one (which honours a pending reset) in line with the
    // settings, and refreshes the display.
    virtual void replaceCalculator() = 0;
};

}  // namespace ostrelo
