#pragma once

#include <memory>

namespace uikit {
class ViewController;
}

namespace ostrelo {

class Calculator;
class CalculatorButton;
class CalculatorCalcLabel;
class CalculatorLabel;
class CalculatorPicker;
class CalculatorView;
class PulseLayer;
struct ScreenProfile;

// A calculator screen's controls and state by role, for the shared routines. Nothing here is
// owned; a null control means the screen has no such control. `guard` expires when the screen
// is gone: whatever calls back into the screen later carries it.
struct ScreenLinks {
    Calculator* calculator = nullptr;
    bool* enableClickSound = nullptr;
    PulseLayer* pulse = nullptr;
    uikit::ViewController* controller = nullptr;
    CalculatorView* keypad = nullptr;

    CalculatorButton* equalKey = nullptr;
    CalculatorButton* functionKey = nullptr;
    CalculatorButton* clearKey = nullptr;
    CalculatorButton* memoryRecallKey = nullptr;
    CalculatorButton* decimalSeparatorKey = nullptr;
    CalculatorButton* parenthesisOpenKey = nullptr;
    CalculatorButton* parenthesisCloseKey = nullptr;
    CalculatorButton* degRadKey = nullptr;

    CalculatorCalcLabel* primaryLine = nullptr;
    CalculatorCalcLabel* secondaryLine = nullptr;

    CalculatorPicker* fromPicker = nullptr;
    CalculatorPicker* toPicker = nullptr;
    CalculatorLabel* convertLabel = nullptr;

    // Required.
    const ScreenProfile* profile = nullptr;
    std::weak_ptr<void> guard;
};

}  // namespace ostrelo
