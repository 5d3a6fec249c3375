#pragma once

#include <string>

namespace ostrelo {

class CalculatorButton;

// What a Functions popover asks of the calculator screen that presented it.
class FunctionsPopoverDelegate {
public:
    virtual ~FunctionsPopoverDelegate() = default;

    // A key as the screen's own keypad reports it (without a key object, the title in `key`).
    virtual void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) = 0;
    // Alpha 1.0 again on the controls the popover dimmed.
    virtual void restoreControlsAlpha() = 0;
};

}  // namespace ostrelo
