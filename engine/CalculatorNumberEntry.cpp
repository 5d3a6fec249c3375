// Number entry: the digit keys, the decimal separator and the sign key.

#include "engine/Calculator.h"

#include <cmath>

namespace ostrelo {

namespace {

bool isDigitKey(const std::string& key) { return key.size() == 1 && key[0] >= '0' && key[0] <= '9'; }

}  // namespace

void Calculator::enterDigit(const std::string& key) {
    const StoreCommit operation(*this);
    if (dateCalculator_) {
        enterDigitInDateMode(key);
        return;
    }
    applyDigitByLineType(key);
    updatePrimaryString();
}

void Calculator::applyDigitByLineType(const std::string& key) {
    // A key that is neither a digit nor the separator changes nothing (not even a result line).
    auto separator = localeDecimalSeparator();
    if (!isDigitKey(key) && !(separator && key == *separator)) return;

    const std::string& type = ostreloLine_.type;
    if (type == "R") {
        ostrelo_.popLine();
        enterToken(1, 0, "N", "", 0.0);
        appendDigit(key);
    } else if (type == ")" || type == "!" || type == "%") {
        appendSymbolLine("×", "O");
        enterToken(1, 0, "N", "", 0.0);
        appendDigit(key);
    } else if (type == "O" || type == "√" || type == "(" || type == "^") {
        enterToken(1, 0, "N", "", 0.0);
        appendDigit(key);
    } else if (type == "N") {
        appendDigit(key);
    }
    // Any other type (a function name waiting for its parenthesis): the key is ignored.
}

void Calculator::appendDigit(const std::string& key) {
    auto separator = localeDecimalSeparator();
    if (separator && key == *separator) {
        if (ostreloLine_.digits > 8 || ostreloLine_.separator) return;
        ostrelo_.popLine();
        ostreloLine_.separator = true;
        pushCurrentLine();
        return;
    }
    if (!isDigitKey(key)) return;
    double d = key[0] - '0';
    if (ostreloLine_.digits > 8) return;

    ostrelo_.popLine();
    CalculatorLine& line = ostreloLine_;
    // The sign as typed: a zero that "C" left of a negative number (−0.000) stays negative.
    const bool negative = std::signbit(line.number);
    if (line.separator) {
        double scale = std::pow(10.0, static_cast<double>(line.fraction + 1));
        line.number = negative ? line.number - d / scale : line.number + d / scale;
        line.digits += 1;
        line.fraction += 1;
    } else if (line.number > 0) {
        line.number = line.number * 10 + d;
        line.digits += 1;
    } else if (line.number < 0) {
        line.number = line.number * 10 - d;
        line.digits += 1;
    } else if (d != 0) {
        line.number = negative ? -d : d;  // the first non-zero digit replaces the shown "0"
    }
    pushCurrentLine();
}

void Calculator::enterDecimalSeparator() {
    const StoreCommit operation(*this);
    auto separator = localeDecimalSeparator();
    if (!separator) {
        updatePrimaryString();
        return;
    }
    enterDigit(*separator);
}

void Calculator::toggleSign() {
    const StoreCommit operation(*this);
    if (dateCalculator_) return;
    if (ostreloLine_.type != "N" && ostreloLine_.type != "R") return;
    if (ostreloLine_.number == 0.0) return;
    ostrelo_.popLine();
    ostreloLine_.number = -ostreloLine_.number;
    ostreloLine_.item = "";
    pushCurrentLine();
    updatePrimaryString();
}

}  // namespace ostrelo
