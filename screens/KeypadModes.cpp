#include "screens/KeypadModes.h"

#include "engine/SharedSettings.h"
#include "screens/CalculatorScreen.h"
#include "screens/KeyTitle.h"
#include "ui/CalculatorButton.h"

namespace ostrelo {

namespace {

void setParenthesisKeys(const ScreenLinks& links, bool percent) {
    KeyTitle::set(links.parenthesisOpenKey, percent ? "%" : "(");
    KeyTitle::set(links.parenthesisCloseKey, percent ? "(⋯)" : ")");
}

}  // namespace

void KeypadModes::updateKeypadMode() {
    const ScreenLinks& links = screen_.links();
    if (links.functionKey == nullptr || links.functionKey->superview() == nullptr) {
        for (CalculatorButton* key : {links.parenthesisOpenKey, links.parenthesisCloseKey})
            if (key != nullptr) key->setHidden(false);
        setParenthesisKeys(links, false);
        return;
    }
    auto suite = SharedSettings::open();
    const bool remember = suite->boolForKey(SharedSettings::rememberCurrencyKeypad);
    const auto stored = suite->object(SharedSettings::showCurrency);
    const bool showing = stored.has_value() && suite->boolForKey(SharedSettings::showCurrency);
    if (remember && showing) {
        screen_.showKeypad(true);
    } else {
        screen_.showKeypad(false);
        if (!stored || stored->boolValue() != false) suite->set(SharedSettings::showCurrency, false);
        suite->synchronize();
    }
    const bool standardKeypad = links.functionKey->normalTitle() == "ƒ(x)";
    setParenthesisKeys(links, standardKeypad && suite->boolForKey(SharedSettings::percentKeys));
}

}  // namespace ostrelo
