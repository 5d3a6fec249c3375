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
    const bool remember = suite->boolForKey("preference_currency_phone");
    const auto stored = suite->object("show_currency");
    const bool showing = stored.has_value() && suite->boolForKey("show_currency");
    if (remember && showing) {
        screen_.showKeypad(true);
    } else {
        screen_.showKeypad(false);
        if (!stored || stored->boolValue() != false) suite->set("show_currency", false);
        suite->synchronize();
    }
    setParenthesisKeys(links, links.functionKey->normalTitle() == "ƒ(x)" && suite->boolForKey("preference_percent"));
}

}  // namespace ostrelo
