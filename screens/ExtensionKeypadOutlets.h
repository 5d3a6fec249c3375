#pragma once

#include "screens/KeypadOutlets.h"

namespace ostrelo {

// The keypad outlets of the extensions' pads, whose scenes name the parenthesis and operator
// keys alike: KeypadOutlets' and those six. Each step does KeypadOutlets' too; the parenthesis
// keys take no role here (a pad that retitles them binds them itself).
struct ExtensionKeypadOutlets : KeypadOutlets {
    CalculatorButton* buttonOpen = nullptr;
    CalculatorButton* buttonClose = nullptr;
    CalculatorButton* buttonMultiply = nullptr;
    CalculatorButton* buttonDevide = nullptr;
    CalculatorButton* buttonSubtract = nullptr;
    CalculatorButton* buttonAdd = nullptr;

    void declareKeypadOutlets(uikit::ViewController& owner);
    bool keypadOutletsBound() const;
};

}  // namespace ostrelo
