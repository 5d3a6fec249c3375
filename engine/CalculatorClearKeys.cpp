// The clear keys "C" and "AC".

#include "engine/Calculator.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace ostrelo {

namespace {

constexpr double phiValue = 1.618033988749895;
constexpr double piValue = 3.141592653589793;
constexpr double eValue = 2.718281828459045;

// From this magnitude on every double is a whole number; such values (and non-finite
// ones) are cut in floating point only.
constexpr double wholeNumbersFrom = 9007199254740992.0;  // 2^53

// The number as typed, with `fraction` fraction digits, cut toward zero to `places`
// fraction digits. Works on the decimal text of the typed number, so 69.820 cut to two
// places is 69.82 even when the accumulated double lies just below it.
double cutTypedNumber(double number, std::int64_t fraction, std::int64_t places) {
    if (!std::isfinite(number) || std::fabs(number) >= wholeNumbersFrom) return std::trunc(number);
    if (fraction < 0) fraction = 0;
    if (fraction > 17) fraction = 17;
    if (places < 0) places = 0;
    if (places > fraction) places = fraction;
    char buffer[64];
    int length = std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(fraction), number);
    if (length <= 0 || length >= static_cast<int>(sizeof buffer)) return std::trunc(number);
    std::string text(buffer, static_cast<std::size_t>(length));
    auto point = text.find('.');
    if (point != std::string::npos) {
        text.erase(places == 0 ? point : point + 1 + static_cast<std::size_t>(places));
    }
    return std::strtod(text.c_str(), nullptr);
}

// The number divided by 10, cut toward zero to a whole number.
double dropLastWholeDigit(double number) {
    if (!std::isfinite(number)) return number;
    if (std::fabs(number) >= wholeNumbersFrom) return std::trunc(number / 10.0);
    auto whole = static_cast<std::int64_t>(std::trunc(number));
    return static_cast<double>(whole / 10);
}

}  // namespace

void Calculator::clearEntry() {
    const StoreCommit operation(*this);
    if (buttonClearAllText_ != "C") {
        resetCalculation();
    } else {
        clearCounter_ += 2;
        ostrelo_.popLine();
        const std::string type = ostreloLine_.type;
        if (type == "O" || type == "F" || type == "√" || type == "²" || type == "!" || type == "%" || type == "^") {
            popLastLine();
        } else if (type == "R") {
            resetCalculation();
        } else if (type == "N") {
            double number = ostreloLine_.number;
            bool constant = number == phiValue || number == piValue || number == eValue;
            if (!constant && ostreloLine_.digits >= 5) {
                removeLastDigit();
                ostreloLine_.item = "";
                pushCurrentLine();
            }
            popLastLine();
        } else if (type == "(") {
            ostreloLine_.parentheses -= 1;
            popLastLine();
            if (ostreloLine_.type == "F") {
                ostrelo_.popLine();
                popLastLine();
            }
        } else if (type == ")") {
            ostreloLine_.parentheses += 1;
            popLastLine();
        } else {
            // A line of a type no key makes (only a foreign store holds one) goes whole,
            // so the calculation never ends up without a line.
            popLastLine();
        }
    }
    if (dateCalculator_) clearEntryDateStep();
    updatePrimaryString();
}

void Calculator::removeLastDigit() {
    CalculatorLine& line = ostreloLine_;
    if (scientificNotation_) {
        if (line.fraction >= 1) {
            line.digits -= 1;
            line.number = cutTypedNumber(line.number, line.fraction, line.fraction - 1);
            line.fraction -= 1;
            if (line.fraction == 0) line.separator = false;
        } else {
            line.digits -= 1;
            line.number = dropLastWholeDigit(line.number);
            line.separator = false;
        }
        return;
    }
    if (line.separator && line.fraction >= 1) {
        line.digits -= 1;
        line.number = cutTypedNumber(line.number, line.fraction, line.fraction - 1);
        line.fraction -= 1;
    } else if (line.separator) {
        line.separator = false;  // only the separator goes
    } else {
        line.number = dropLastWholeDigit(line.number);
        line.digits -= 1;
    }
}

void Calculator::popLastLine() {
    if (ostrelo_.items.empty()) {
        ostreloLine_.parentheses = 0;
        enterResetLine();
        return;
    }
    auto last = ostrelo_.popLine();
    if (!last) return;
    ostreloLine_.item = last->item;
    ostreloLine_.type = last->type;
    ostreloLine_.number = last->number;
    ostreloLine_.digits = last->digits;
    ostreloLine_.separator = last->separator;
    ostreloLine_.fraction = last->fraction;
    pushCurrentLine();
}

void Calculator::clearAll() {
    const StoreCommit operation(*this);
    if (dateCalculator_) endDateMode(true);
    clearCounter_ = 0;
    ostrelo_.clearStack();
    ostreloLine_.parentheses = 0;
    enterResetLine();
    updatePrimaryString();
}

}  // namespace ostrelo
