#include "screens/DisplayRefresh.h"

#include "engine/Calculator.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Locale.h"
#include "screens/CalculatorScreen.h"
#include "screens/KeyTitle.h"
#include "screens/ScreenProfile.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"

namespace ostrelo {

DisplayRefresh::DisplayRefresh(CalculatorScreen& screen) : screen_(screen), links_(screen.links()) {}

const char* DisplayRefresh::loanPrompt(const std::string& equalTitle, const std::string& languageCode) {
    const bool german = languageCode == "de";
    if (equalTitle == "𝑖") return german ? "Zinssatz eingeben" : "enter the intrest rate";
    if (equalTitle == "𝑚") return german ? "Anzahl der Monate eingeben" : "enter the number of months";
    return nullptr;
}

void DisplayRefresh::updateCalculatorLines() {
    Calculator& c = *links_.calculator;
    if (links_.primaryLine != nullptr) links_.primaryLine->setText(c.primaryString().value_or(""));
    if (links_.secondaryLine != nullptr) {
        const char* prompt = loanPrompt(KeyTitle::shown(links_.equalKey), foundation::Locale::languageCode());
        links_.secondaryLine->setText(prompt != nullptr ? prompt : c.secondaryString().value_or(""));
    }
    KeyTitle::set(links_.clearKey, c.buttonClearAllText().value_or(""));
    if (links_.memoryRecallKey != nullptr) {
        links_.memoryRecallKey->myButtonState = c.buttonMemoryRecallColor();
        links_.memoryRecallKey->applyButtonColors();
    }
    showEqualState(links_.equalKey);
    for (CalculatorButton* key : links_.equalStateMirrors) showEqualState(key);
    KeyTitle::set(links_.decimalSeparatorKey, c.decimalSeparator().value_or(""));
    updateParenthesisTitles();
    const std::string angle = c.radiantText().value_or("");
    KeyTitle::set(links_.degRadKey, links_.profile->blankGearTitle && angle == "⚙" ? "" : angle);
    updateDateTitle();
}

void DisplayRefresh::updateExtensionCalculatorLines() { updateCalculatorLines(); }

void DisplayRefresh::showEqualState(CalculatorButton* key) {
    if (key == nullptr) return;
    key->myButtonState = links_.calculator->buttonEqualColor();
    key->applyButtonColors();
}

// Percent keys show on the standard keypad only: where the screen has a function key, while it
// is shown and reads "ƒ(x)".
void DisplayRefresh::updateParenthesisTitles() {
    if (links_.parenthesisOpenKey == nullptr || links_.parenthesisCloseKey == nullptr) return;
    const CalculatorButton* functionKey = links_.functionKey;
    const bool standardKeypad =
        functionKey == nullptr || (!functionKey->hidden() && functionKey->normalTitle() == "ƒ(x)");
    const bool percent = standardKeypad && SharedSettings::open()->boolForKey(SharedSettings::percentKeys);
    KeyTitle::set(links_.parenthesisOpenKey, percent ? "%" : "(");
    KeyTitle::set(links_.parenthesisCloseKey, percent ? "(⋯)" : ")");
}

void DisplayRefresh::updateDateTitle() {
    if (links_.equalKey == nullptr) return;
    const Calculator& c = *links_.calculator;
    if (c.dateCalculator()) {
        KeyTitle::set(links_.equalKey, "𝑑");
        return;
    }
    const std::string shown = links_.equalKey->normalTitle();
    const bool loanTitle = shown == "𝑖" || shown == "𝑚";
    if (shown == "𝑑" || (loanTitle && c.creditNextStep() == 0)) KeyTitle::set(links_.equalKey, layoutEqualTitle());
}

std::string DisplayRefresh::layoutEqualTitle() const {
    const bool currencyKeypad = links_.functionKey != nullptr && links_.functionKey->normalTitle() == "⏎";
    return currencyKeypad && screen_.allows(LongPressRow::Condition::compactWidthRegularHeight) ? "⇨" : "=";
}

}  // namespace ostrelo
