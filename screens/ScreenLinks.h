#pragma once

#include <memory>
#include <vector>

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
// owned; a null control means the screen has no such control, and the routines then skip what
// that control would do. `guard` expires when the screen is gone: whatever calls back into the
// screen later carries it.
struct ScreenLinks {
    Calculator* calculator = nullptr;
    bool* enableClickSound = nullptr;
    PulseLayer* pulse = nullptr;
    uikit::ViewController* controller = nullptr;
    CalculatorView* keypad = nullptr;

    CalculatorButton* equalKey = nullptr;
    // The keypad-mode key ("ƒ(x)" or "⏎"): a screen with one has the two keypad layouts.
    CalculatorButton* functionKey = nullptr;
    CalculatorButton* clearKey = nullptr;
    CalculatorButton* memoryRecallKey = nullptr;
    CalculatorButton* decimalSeparatorKey = nullptr;
    // Titled "%" and "(⋯)" while percent keys are on; a screen that never retitles them
    // leaves them unbound.
    CalculatorButton* parenthesisOpenKey = nullptr;
    CalculatorButton* parenthesisCloseKey = nullptr;
    CalculatorButton* degRadKey = nullptr;
    // The key that sends the result out of the screen ("✅").
    CalculatorButton* sendKey = nullptr;
    // Keys that show the "=" key's state beside it.
    std::vector<CalculatorButton*> equalStateMirrors;

    CalculatorCalcLabel* primaryLine = nullptr;
    // A screen with a second line shows the loan prompts there and refreshes after every key.
    CalculatorCalcLabel* secondaryLine = nullptr;

    // The currency choice: two pickers, or two keys titled with the codes (the from-key has
    // tag 1).
    CalculatorPicker* fromPicker = nullptr;
    CalculatorPicker* toPicker = nullptr;
    CalculatorLabel* convertLabel = nullptr;
    CalculatorButton* fromKey = nullptr;
    CalculatorButton* toKey = nullptr;

    // Required.
    const ScreenProfile* profile = nullptr;
    std::weak_ptr<void> guard;

    // A screen's links as its constructor makes them: its own state, its controller, its profile
    // and its guard. The controls are bound once its view has loaded.
    static ScreenLinks forScreen(Calculator& calculator, bool& enableClickSound, PulseLayer* pulse,
                                 uikit::ViewController& controller, const ScreenProfile& profile,
                                 std::weak_ptr<void> guard);
};

}  // namespace ostrelo
