// The calculation as text for the pasteboard, and one pasted or handed-over number taken
// back into the calculation.

#include "engine/Calculator.h"
#include "engine/PastedNumber.h"

#include "platform/foundation/Characters.h"
#include "platform/foundation/NumberFormatter.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace ostrelo {

std::string Calculator::resultText() const {
    if (ostrelo_.items.size() != 1) return "";
    return calculationText();
}

std::string Calculator::expressionText() const { return calculationText(); }

bool Calculator::importCalculationText(const std::string& text, bool plainFormat) {
    const StoreCommit operation(*this);
    foundation::NumberFormatter formatter;
    // Only what the leading number needs of the text is read.
    const std::optional<double> read = PastedNumber(formatter, plainFormat).read(text);
    if (read && std::isinf(*read)) return false;
    // A number pasted into a date entry would end it half-way: the entry is left alone.
    if (dateCalculator_) return true;
    const double x = read.value_or(0.0);

    // The digits of the line, counted as the display writes the number.
    formatter.setUsesGroupingSeparator(false);
    const double magnitude = std::fabs(x);
    std::int64_t k = 0;
    std::int64_t f = 0;
    if (x != 0 && magnitude > 999999999.0) {
        formatter.setMinimumFractionDigits(0);
        formatter.setMaximumFractionDigits(0);
        k = static_cast<std::int64_t>(foundation::Characters::count(formatter.stringFromNumber(magnitude)));
    } else {
        const double integerPart = std::trunc(magnitude);
        formatter.setMinimumFractionDigits(0);
        formatter.setMaximumFractionDigits(8);
        k = static_cast<std::int64_t>(foundation::Characters::count(formatter.stringFromNumber(integerPart)));
        if (k < 9) {
            const auto length = static_cast<std::int64_t>(
                foundation::Characters::count(formatter.stringFromNumber(magnitude - integerPart)));
            if (length >= 3) f = std::min(length - 2, 9 - k);
        }
    }
    const std::int64_t digits = k + f;

    // The lines change here; the display texts follow at the next refresh.
    const std::string& type = ostreloLine_.type;
    if (type == "R" || type == "N") {
        ostrelo_.popLine();
        enterToken(digits, f, "R", "", x);
    } else if (type == "O" || type == "√" || type == "(" || type == "^") {
        enterToken(digits, f, "N", "", x);
    }
    // Nothing is entered after a function name, ")", "²", "!" or "%".
    return true;
}

}  // namespace ostrelo
