// The date-mode branches of number entry, operator entry, the clear keys and the reload.
//
// The date calculator itself (reading a date from the first line, the date texts, the
// result date, starting and finishing a date calculation) is built on these seams:
// rebuildDateTexts and reloadDateTexts are where it derives its texts from the lines.
// Until then date mode keeps its lines and stored keys, accepts what it accepts here,
// and shows its texts as they are, with the "=" key in its error state.

#include "engine/Calculator.h"

#include "engine/SharedSettings.h"

namespace ostrelo {

void Calculator::enterDigitInDateMode(const std::string& key) {
    std::int64_t lines = ostrelo.lineCount();
    if (lines == 0 || lines > 3) return;
    applyDigitByLineType(key);
    rebuildDateTexts();
    updatePrimaryString();
}

void Calculator::inputOperatorInDateMode(const std::string& op) {
    dateError = true;
    std::int64_t lines = ostrelo.lineCount();
    if (lines != 1 && lines != 2) return;  // exactly one "+" or "−" follows the date
    applyOperatorTokenRule(op);
    rebuildDateTexts();
    updatePrimaryString();
}

void Calculator::clearEntryDateStep() {
    std::int64_t lines = ostrelo.lineCount();
    if (lines == 1 && (ostrelo.items.front().digits <= dateDigits || ostreloLine.type == "R")) {
        endDateMode(true);
        return;
    }
    if (lines >= 1 && lines <= 3) rebuildDateTexts();
}

void Calculator::reloadDateTexts() {
    std::int64_t lines = ostrelo.lineCount();
    if (lines >= 1 && lines <= 3) rebuildDateTexts();
}

void Calculator::rebuildDateTexts() {
    dateError = true;
    dateResultString.clear();
}

void Calculator::endDateMode(bool keepDateString) {
    dateError = false;
    dateResultString.clear();
    dateCompleteString.clear();
    if (!keepDateString) dateString.clear();
    dateCalculator = false;
    dateDigits = 0;
    auto suite = SharedSettings::open();
    suite->set("dateCalculator", false);
    suite->set("dateDigits", std::int64_t{0});
}

}  // namespace ostrelo
