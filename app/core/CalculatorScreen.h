#pragma once

#include "app/core/LongPressRow.h"
#include "app/core/ScreenLinks.h"
#include "app/core/ScreenPanel.h"

namespace ostrelo {

class CalculatorButton;

// What the shared routines need of a calculator screen: its controls by role (links) and the
// few steps that only the screen itself can take (hooks). A hook a screen does not override
// does the shared thing, or nothing.
class CalculatorScreen {
public:
    virtual ~CalculatorScreen() = default;

    virtual const ScreenLinks& links() const = 0;

    // The display refresh after a change of the calculation: the shared refresh.
    virtual void refreshDisplay();
    // The confirmation of a remapped long press: keyPressFeedback.
    virtual void longPressFeedback(CalculatorButton& key);
    // Whether a long-press row's condition holds now: always, unless the screen says otherwise.
    virtual bool allows(LongPressRow::Condition condition);
    // Switches between the standard and the currency keypad.
    virtual void showKeypad(bool currency) { (void)currency; }
    // Opens one of the secondary screens.
    virtual void openPanel(ScreenPanel panel) { (void)panel; }

    // The pulse ring round the key, on the root view's layer, and a vibration.
    void keyPressFeedback(CalculatorButton& key);
    // Asks the backdrop, every key, both display lines and the status bar to lay out again (so
    // that a new theme shows everywhere).
    void relayoutViews();
};

}  // namespace ostrelo
