#pragma once

#include "screens/LongPressRow.h"
#include "screens/ScreenLinks.h"
#include "screens/ScreenPanel.h"

#include <string>

namespace uikit {
class View;
struct Rect;
}  // namespace uikit

namespace ostrelo {

class CalculatorButton;

// What the shared routines need of a calculator screen: its controls by role (links) and the
// few steps that only the screen itself can take (hooks). A hook a screen does not override
// does the shared thing, or nothing.
class CalculatorScreen {
public:
    // The alpha of the keys under a popover or an overlay that dims them.
    static constexpr double dimmedAlpha = 0.6;

    virtual ~CalculatorScreen() = default;

    virtual const ScreenLinks& links() const = 0;

    // The display refresh after a change of the calculation: the shared refresh.
    virtual void refreshDisplay();
    // The settings read again as at an activation: the shared settings loader.
    virtual void reloadSettings();
    // An unsaved calculation has reached the store on a retry: what the screen publishes of it
    // is written again. Nothing, unless the screen says otherwise.
    virtual void calculationStored() {}
    // The confirmation of a remapped long press: keyPressFeedback.
    virtual void longPressFeedback(CalculatorButton& key);
    // Whether a long-press row's condition holds now: always, unless the screen says otherwise.
    virtual bool allows(LongPressRow::Condition condition);
    // A key the screen handles before the shared rows, or rewrites for them (`text` may be
    // changed). True when the screen has handled it: only the tail follows.
    virtual bool ownKey(CalculatorButton* key, std::string& text);
    // Switches between the standard and the currency keypad.
    virtual void showKeypad(bool currency) { (void)currency; }
    // Opens one of the secondary screens.
    virtual void openPanel(ScreenPanel panel) { (void)panel; }
    // Sends a text out of the screen (the send key): into a conversation, a text field. It
    // may end the screen.
    virtual void deliver(const std::string& text) { (void)text; }

    // The pulse ring round the key, on the root view's layer, and a vibration.
    void keyPressFeedback(CalculatorButton& key);
    // The pulse ring round a view whose frame at rest is `frame` (in its superview's
    // coordinates), and a vibration.
    void pulseFeedback(const uikit::View& view, const uikit::Rect& frame);
    // Every key of the keypad but the `setup` ones at `alpha` (nothing before the keypad is
    // bound).
    void setKeysAlpha(double alpha);
    // The tap on a display line that copies: the primary text to the general pasteboard, with
    // the click when it is on.
    void copyPrimaryText();
    // Asks the backdrop, the keypad and every key, the display lines and the status bar to lay
    // out again (so that a new theme shows everywhere).
    void relayoutViews();
};

}  // namespace ostrelo
