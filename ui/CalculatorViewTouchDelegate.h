#pragma once

#include <string>

namespace ostrelo {

class CalculatorButton;

// What a keypad reports to its screen: the pressed key (or none, with the key title in `key`)
// and whether it was held for the long-press time.
class CalculatorViewTouchDelegate {
public:
    virtual ~CalculatorViewTouchDelegate() = default;
    virtual void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) = 0;
};

}  // namespace ostrelo
