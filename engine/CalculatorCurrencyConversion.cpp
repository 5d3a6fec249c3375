#include "engine/Calculator.h"
#include "engine/CurrencyConversion.h"

#include <cstdint>

namespace ostrelo {

// The convert key: the whole calculation times the stored rate of the pair, evaluated at
// once with money formatting and the target code as the unit.
void Calculator::enterCurrencyConversion(const std::string& from, const std::string& to) {
    const StoreCommit operation(*this);
    // A date entry holds no amount.
    if (dateCalculator) return;
    // Groups still open are closed first, so that the whole amount is converted, not only
    // its last group. Every open group has a "(" line of its own, so a count beyond the
    // number of lines (a damaged store) closes no more groups than there are lines.
    for (std::int64_t lines = ostrelo.lineCount(); ostreloLine.parentheses > 0 && lines > 0; --lines)
        pushCloseParenthesis();
    if (ostrelo.lineCount() >= 2) {
        ostreloLine.parentheses += 1;
        ostrelo.insertFirstLine("(", "(", 0, false, 0, ostreloLine.parentheses, 0.0);
        pushCloseParenthesis();
    }
    pushOperatorLine("×");
    const double rate = CurrencyConversion::storedRate(from, to);
    const CurrencyConversion::RateDigits digits = CurrencyConversion::rateDigits(rate);
    enterToken(digits.digits, digits.fraction, "N", "", rate);
    evaluateEquals(true, to);
}

}  // namespace ostrelo
