#pragma once

#include "screens/ExtensionKeypadOutlets.h"

namespace ostrelo {

// The keypad outlets of the extensions' wide pads (the expanded messages screen, the keyboard):
// ExtensionKeypadOutlets' and the memory keys and the scientific row. Each step does
// ExtensionKeypadOutlets' too.
struct ScientificKeypadOutlets : ExtensionKeypadOutlets {
    CalculatorButton* buttonMemoryClear = nullptr;
    CalculatorButton* buttonMemoryAdd = nullptr;
    CalculatorButton* buttonMemorySubtract = nullptr;
    CalculatorButton* buttonMemoryRecall = nullptr;
    // Their presses arrive by title.
    CalculatorButton* buttonSine = nullptr;
    CalculatorButton* buttonArcsine = nullptr;
    CalculatorButton* buttonCosine = nullptr;
    CalculatorButton* buttonArccosine = nullptr;
    CalculatorButton* buttonTangent = nullptr;
    CalculatorButton* buttonArctangent = nullptr;
    CalculatorButton* buttonLn = nullptr;
    CalculatorButton* buttonEuler = nullptr;
    CalculatorButton* buttonSquare = nullptr;
    CalculatorButton* buttonSquareroot = nullptr;
    CalculatorButton* buttonInverse = nullptr;
    CalculatorButton* buttonPi = nullptr;
    CalculatorButton* buttonFactorial = nullptr;
    CalculatorButton* buttonPercentage = nullptr;

    void declareKeypadOutlets(uikit::ViewController& owner);
    bool keypadOutletsBound() const;
    // Also the memory-recall key.
    void bindKeypadLinks(ScreenLinks& links) const;
};

}  // namespace ostrelo
