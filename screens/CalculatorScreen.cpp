#include "screens/CalculatorScreen.h"

#include "engine/Calculator.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Pasteboard.h"
#include "platform/uikit/ViewController.h"
#include "screens/DisplayRefresh.h"
#include "screens/SettingsLoader.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorView.h"
#include "ui/PulseLayer.h"

namespace ostrelo {

namespace {
}

void CalculatorScreen::refreshDisplay() { DisplayRefresh{*this}.updateCalculatorLines(); }

void CalculatorScreen::reloadSettings() { SettingsLoader{*this}.loadSettings(); }

void CalculatorScreen::longPressFeedback(CalculatorButton& key) { keyPressFeedback(key); }

bool CalculatorScreen::allows(LongPressRow::Condition condition) {
    (void)condition;
    return true;
}

bool CalculatorScreen::ownKey(CalculatorButton* key, std::string& text) {
    (void)key;
    (void)text;
    return false;
}

void CalculatorScreen::keyPressFeedback(CalculatorButton& key) { pulseFeedback(key, key.untransformedFrame()); }

void CalculatorScreen::pulseFeedback(const uikit::View& view, const uikit::Rect& frame) {
    const ScreenLinks& l = links();
    uikit::View* root = l.controller != nullptr ? l.controller->view() : nullptr;
    if (l.pulse != nullptr && root != nullptr) {
        // The ring goes round the view where it sits, in the root view's coordinates.
        root->layer().addSublayer(l.pulse->shared_from_this());
        l.pulse->startPulse(view.superview() != nullptr ? view.superview()->convertRect(frame, root) : frame);
    }
    uikit::AudioServices::playAlertSound(uikit::AudioServices::vibrate);
}

void CalculatorScreen::setKeysAlpha(double alpha) {
    const ScreenLinks& l = links();
    if (l.keypad == nullptr) return;
    for (const auto& view : l.keypad->subviews()) {
        auto* key = dynamic_cast<CalculatorButton*>(view.get());
        if (key != nullptr && key->myButtonType != CalculatorButton::MyButtonType::setup) key->setAlpha(alpha);
    }
}

void CalculatorScreen::copyPrimaryText() {
    const ScreenLinks& l = links();
    uikit::Pasteboard::general().setString(l.calculator->primaryString().value_or(""));
    if (*l.enableClickSound) uikit::AudioServices::playSystemSound(uikit::AudioServices::keyClick);
}

void CalculatorScreen::relayoutViews() {
    const ScreenLinks& l = links();
    // The themed backdrop behind the status bar and the home indicator.
    if (l.controller != nullptr && l.controller->isViewLoaded()) l.controller->view()->setNeedsLayout();
    if (l.keypad != nullptr) {
        // The keypad's own background is the theme's too.
        l.keypad->setNeedsLayout();
        for (const auto& key : l.keypad->subviews()) key->setNeedsLayout();
    }
    if (l.secondaryLine != nullptr) l.secondaryLine->setNeedsLayout();
    if (l.primaryLine != nullptr) l.primaryLine->setNeedsLayout();
    if (l.controller != nullptr) l.controller->setNeedsStatusBarAppearanceUpdate();
}

}  // namespace ostrelo
