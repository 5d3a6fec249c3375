// Number entry: the digit keys, the decimal separator and the sign key.

#include "engine/Calculator.h"

#include <cmath>

namespace ostrelo {

namespace {

bool isDigitKey(const std::string& key) { return key.size() == 1 && key[0] >= '0' && key[0] <= '9'; }

}  // namespace

void Calculator::enterDigit(const std::string& key) {
    const StoreCommit operation(*this);
    if (dateCalculator) {
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

    const std::string& type = ostreloLine.type;
    if (type == "R") {
        ostrelo.popLine();
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
        if (ostreloLine.digits > 8 || ostreloLine.separator) return;
        ostrelo.popLine();
        ostreloLine.separator = true;
        pushCurrentLine();
        return;
    }
    if (!isDigitKey(key)) return;
    double d = key[0] - '0';
    if (ostreloLine.digits > 8) return;

    ostrelo.popLine();
    CalculatorLine& line = ostreloLine;
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
    if (dateCalculator) return;
    if (ostreloLine.type != "N" && ostreloLine.type != "R") return;
    if (ostreloLine.number == 0.0) return;
    ostrelo.popLine();
    ostreloLine.number = -ostreloLine.number;
    ostreloLine.item = "";
    pushCurrentLine();
    updatePrimaryString();
}

}  // namespace ostrelo
