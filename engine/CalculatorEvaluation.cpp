// Evaluation of the calculation and the "=" key.

#include "engine/Calculator.h"

#include "engine/ExpressionEvaluation.h"
#include "engine/ExpressionTranslator.h"
#include "engine/LineFormatter.h"
#include "platform/foundation/Characters.h"
#include "platform/foundation/NumberFormatter.h"

#include <algorithm>
#include <cmath>

namespace ostrelo {

EvaluationResult Calculator::evaluateExpression(const std::string& text) const {
    return ExpressionEvaluation::evaluate(text, autoParenthesis_, radiantFlag_);
}

std::string Calculator::expressionFormat(const std::string& text) const {
    return ExpressionTranslator::expressionFormat(text, autoParenthesis_, radiantFlag_);
}

std::string Calculator::removeRedundantParentheses(const std::string& text) const {
    return ExpressionTranslator::removeRedundantParentheses(text, autoParenthesis_);
}

void Calculator::evaluateEquals(bool money, const std::string& unit) {
    const StoreCommit operation(*this);
    if (ostrelo_.items.empty()) return;

    EvaluationResult result = evaluateExpression(ostrelo_.stackText());

    // The equation: the lines as shown, each as if followed by others.
    std::string equation;
    const auto& lines = ostrelo_.items;
    if (lines.size() == 1 && lines.front().type == "R") {
        const CalculatorLine& line = lines.front();
        equation = LineFormatter::formatLine(line.item, line.type, line.digits, line.separator, line.fraction, 1,
                                             line.number, scientificNotation_, false, false);
    } else {
        for (const CalculatorLine& line : lines) {
            equation += LineFormatter::formatLine(line.item, line.type, line.digits, line.separator, line.fraction,
                                                  1, line.number, scientificNotation_, true, false);
        }
    }

    if (result.status == "OK") {
        std::int64_t open = 0;
        for (char c : equation) {
            if (c == '(') open += 1;
            if (c == ')') open -= 1;
            if (open < 0) break;
        }
        if (open > 0 && autoParenthesis_) equation.append(static_cast<std::size_t>(open), ')');
        equation = removeRedundantParentheses(equation);
    }

    ostrelo_.clearStack();
    ostreloLine_.parentheses = 0;

    if (result.status == "ERROR" || result.status == "FAILED") {
        enterToken(0, 0, "R", "", 0.0);
        decimalSeparatorPlusMinus_ = localeDecimalSeparator();
        primaryString_ = "ERROR";
        secondaryString_ = equation + "=" + "ERROR";
    } else {
        double x = result.value == 0.0 ? 0.0 : result.value;  // no negative zero

        // The digits of the result as the display shows them.
        foundation::NumberFormatter counter;
        counter.setNumberStyle(foundation::NumberFormatter::Style::decimal);
        counter.setUsesGroupingSeparator(false);
        counter.setMinimumFractionDigits(0);
        counter.setMaximumFractionDigits(8);
        double magnitude = std::fabs(x);
        std::int64_t intDigits = 0;
        std::int64_t fraction = 0;
        if (magnitude > 999999999.0) {
            counter.setMinimumFractionDigits(0);
            counter.setMaximumFractionDigits(0);
            intDigits = static_cast<std::int64_t>(foundation::Characters::count(counter.stringFromNumber(magnitude)));
        } else {
            double whole = std::trunc(magnitude);
            intDigits = static_cast<std::int64_t>(foundation::Characters::count(counter.stringFromNumber(whole)));
            if (intDigits <= 8) {
                auto fractionText = static_cast<std::int64_t>(
                    foundation::Characters::count(counter.stringFromNumber(magnitude - whole)));
                fraction = fractionText < 3 ? 0 : std::min(fractionText - 2, 9 - intDigits);
            }
        }
        enterToken(intDigits + fraction, fraction, "R", "", x);

        decimalSeparatorPlusMinus_ =
            ostreloLine_.number != 0.0 ? std::optional<std::string>("±") : localeDecimalSeparator();
        primaryString_ = LineFormatter::formatLine(ostreloLine_.item, ostreloLine_.type, ostreloLine_.digits,
                                                  ostreloLine_.separator, ostreloLine_.fraction, 1, ostreloLine_.number,
                                                  scientificNotation_, false, false);
        secondaryString_ = equation + "=" + *primaryString_;

        if (money) {
            double y = ostrelo_.items.front().number;
            // A value whose hundredfold is not finite is shown unrounded, never as an infinite text.
            double hundredfold = y * 100.0;
            double rounded = std::isfinite(hundredfold) ? std::round(hundredfold) / 100.0 : y;
            foundation::NumberFormatter formatter;
            formatter.setNumberStyle(foundation::NumberFormatter::Style::decimal);
            formatter.setUsesGroupingSeparator(true);
            formatter.setMinimumFractionDigits(2);
            formatter.setMaximumFractionDigits(2);
            // The sign is the true minus, as in every other text; an amount that rounds to
            // zero has none.
            const std::string amount = formatter.stringFromNumber(std::fabs(rounded));
            primaryString_ = (rounded < 0 ? "\u2212" + amount : amount) + " " + unit;
        }
    }

    buttonClearAllText_ = "AC";
    updateEqualButtonState();
}

}  // namespace ostrelo
