#pragma once

#include "screens/KeypadOutlets.h"

namespace ostrelo {

class CalculatorLabel;

// The keypad outlets of the app's screen and of the widget, whose scenes name the keys alike:
// KeypadOutlets' and the memory, separator, angle, function, parenthesis and operator keys, the
// second display line and the conversion label. Each step does KeypadOutlets' too.
struct AppKeypadOutlets : KeypadOutlets {
    CalculatorButton* buttonsMemoryClear = nullptr;
    CalculatorButton* buttonsMemoryAdd = nullptr;
    CalculatorButton* buttonMemoryRecall = nullptr;
    CalculatorButton* buttonDecimalSeparator = nullptr;
    CalculatorButton* buttonDegRad = nullptr;
    CalculatorButton* buttonFunctions = nullptr;
    CalculatorButton* buttonParenthesisOpen = nullptr;
    CalculatorButton* buttonParenthesisClose = nullptr;
    CalculatorButton* buttonsMultiply = nullptr;
    CalculatorButton* buttonsDivide = nullptr;
    CalculatorButton* buttonsSubtract = nullptr;
    CalculatorButton* buttonsAdd = nullptr;
    CalculatorCalcLabel* secondaryCalculatorLine = nullptr;
    CalculatorLabel* labelConvert = nullptr;

    void declareKeypadOutlets(uikit::ViewController& owner);
    bool keypadOutletsBound() const;
    // Also the function, memory-recall, separator, parenthesis and angle keys, the second line
    // and the conversion label.
    void bindKeypadLinks(ScreenLinks& links) const;
};

}  // namespace ostrelo
