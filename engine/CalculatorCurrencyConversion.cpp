#include "engine/Calculator.h"
#include "engine/CurrencyConversion.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ostrelo {

namespace {

// The user's own currency follows the 31 listed codes; its rates are set by hand.
bool isOwnCurrency(const std::vector<std::string>& list, const std::string& code) {
    const auto row = static_cast<std::size_t>(Calculator::ownCurrencyRow);
    return list.size() > row && list[row] == code;
}

}  // namespace

// The convert key: the whole calculation times the stored rate of the pair, evaluated at
// once with money formatting and the target code as the unit.
bool Calculator::enterCurrencyConversion(const std::string& from, const std::string& to) {
    const StoreCommit operation(*this);
    // A date entry holds no amount.
    if (dateCalculator_) return false;
    // Without a rate there is no amount in the other currency: the calculation stays as it is
    // and the "=" key shows that nothing could be worked out. A pair of one currency needs no
    // rate; the own currency's pairs count as 1 until the user sets their rates.
    std::optional<double> rate = CurrencyConversion::pairRate(from, to);
    if (!rate && from != to && !isOwnCurrency(currency_, from) && !isOwnCurrency(currency_, to)) {
        buttonEqualColor_ = ButtonState::error;
        return false;
    }
    // Groups still open are closed first, so that the whole amount is converted, not only
    // its last group. Every open group has a "(" line of its own, so a count beyond the
    // number of lines (a damaged store) closes no more groups than there are lines.
    for (std::int64_t lines = ostrelo_.lineCount(); ostreloLine_.parentheses > 0 && lines > 0; --lines)
        pushCloseParenthesis();
    if (ostrelo_.lineCount() >= 2) {
        ostreloLine_.parentheses += 1;
        ostrelo_.insertFirstLine("(", "(", 0, false, 0, ostreloLine_.parentheses, 0.0);
        pushCloseParenthesis();
    }
    pushOperatorLine("×");
    const CurrencyConversion::RateDigits digits = CurrencyConversion::rateDigits(rate.value_or(1.0));
    enterToken(digits.digits, digits.fraction, "N", "", rate.value_or(1.0));
    evaluateEquals(true, to);
    return true;
}

}  // namespace ostrelo
