// Functions, constants, random numbers, parentheses, the reciprocal and the loan key.

#include "engine/Calculator.h"

#include "platform/foundation/RandomSource.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace ostrelo {

namespace {

struct Constant {
    std::string_view symbol;
    double value;
};

constexpr std::array<Constant, 3> constants{{
    {"𝜋", 3.141592653589793},
    {"𝜑", 1.618033988749895},
    {"𝑒", 2.718281828459045},
}};

constexpr std::array<std::string_view, 14> functionNames{
    "sin", "cos", "tan", "㏑", "sinh", "cosh", "tanh", "sin⁻¹", "cos⁻¹", "tan⁻¹", "sinh⁻¹", "cosh⁻¹", "tanh⁻¹", "log"};

const Constant* findConstant(const std::string& key) {
    for (const Constant& constant : constants) {
        if (key == constant.symbol) return &constant;
    }
    return nullptr;
}

// The whole numbers that the random integer key can draw below: 1 ... 2^32 - 1.
constexpr double randomBoundLimit = 4294967296.0;  // 2^32

}  // namespace

bool Calculator::isFunctionName(const std::string& key) {
    for (std::string_view name : functionNames) {
        if (key == name) return true;
    }
    return false;
}

std::optional<double> Calculator::constantValue(const std::string& symbol) {
    const Constant* constant = findConstant(symbol);
    if (constant == nullptr) return std::nullopt;
    return constant->value;
}

// ---------------------------------------------------------------------------------------
// Line builders

void Calculator::enterToken(std::int64_t digits, std::int64_t fraction, const std::string& type,
                            const std::string& item, double number) {
    ostreloLine_.item = item;
    ostreloLine_.type = type;
    ostreloLine_.number = number;
    ostreloLine_.digits = digits;
    ostreloLine_.fraction = fraction;
    ostreloLine_.separator = fraction > 0;
    pushCurrentLine();
}

void Calculator::pushSymbolLine(const std::string& item, const std::string& type, Placement placement) {
    ostreloLine_.item = item;
    ostreloLine_.type = type;
    ostreloLine_.number = 0.0;
    ostreloLine_.digits = 0;
    ostreloLine_.separator = false;
    ostreloLine_.fraction = 0;
    if (placement == Placement::append) {
        pushCurrentLine();
    } else {
        ostrelo_.insertFirstLine(item, type, 0, false, 0, ostreloLine_.parentheses, 0.0);
    }
}

void Calculator::appendSymbolLine(const std::string& item, const std::string& type) {
    pushSymbolLine(item, type, Placement::append);
}

void Calculator::repushLine(const std::string& item, const std::string& type, std::int64_t digits, bool separator,
                            std::int64_t fraction, double number) {
    ostreloLine_.item = item;
    ostreloLine_.type = type;
    ostreloLine_.number = number;
    ostreloLine_.digits = digits;
    ostreloLine_.separator = separator;
    ostreloLine_.fraction = fraction;
    pushCurrentLine();
}

void Calculator::insertLeadingNumber(std::int64_t digits, std::int64_t fraction, double number) {
    ostreloLine_.item = "";
    ostreloLine_.type = "N";
    ostreloLine_.number = number;
    ostreloLine_.digits = digits;
    ostreloLine_.fraction = fraction;
    ostreloLine_.separator = fraction > 0;
    ostrelo_.insertFirstLine("", "N", digits, fraction > 0, fraction, ostreloLine_.parentheses, number);
}

void Calculator::pushOpenParenthesis() {
    ostreloLine_.parentheses += 1;
    pushSymbolLine("(", "(", Placement::append);
}

void Calculator::pushCloseParenthesis() {
    if (ostreloLine_.parentheses < 1) return;
    ostreloLine_.parentheses -= 1;
    pushSymbolLine(")", ")", Placement::append);
}

std::int64_t Calculator::decimalDigitCount(std::int64_t n) {
    std::int64_t count = 1;
    while (n <= -10 || n >= 10) {
        n /= 10;
        count += 1;
    }
    return count;
}

// ---------------------------------------------------------------------------------------
// Keys

void Calculator::toggleDegRad() {
    radiantFlag_ = !radiantFlag_;
    updatePrimaryString();
}

void Calculator::enterFunctionKey(const std::string& key) {
    const StoreCommit operation(*this);
    if (dateCalculator_) return;
    if (key == "𝑖") {
        enterLoanKey();
        return;
    }
    applyFunctionKey(key);
    updatePrimaryString();
}

void Calculator::applyFunctionKey(const std::string& key) {
    const std::string type = ostreloLine_.type;
    const bool numberOrResult = type == "N" || type == "R";
    const bool closing = type == ")" || type == "!" || type == "%";
    const bool operandStart = type == "O" || type == "(" || type == "√";

    auto randomFraction = [this] { enterToken(9, 8, "N", "", foundation::RandomSource::fraction()); };
    // Takes the last line x off, puts the new lines in its place and x (unless it is zero) behind them.
    auto wrap = [this](auto&& pushNewLines) {
        auto x = ostrelo_.popLine();
        if (!x) return;
        if (!ostrelo_.items.empty() && ostrelo_.items.back().type == "^") pushOpenParenthesis();
        pushNewLines();
        if (x->number != 0.0) repushLine(x->item, x->type, x->digits, x->separator, x->fraction, x->number);
    };

    if (key == "^") {
        if (numberOrResult || type == ")" || type == "!") appendSymbolLine("^", "^");
    } else if (key == "²") {
        if (numberOrResult || type == ")") {
            appendSymbolLine("^", "^");
            enterToken(1, 0, "N", "", 2.0);
        }
    } else if (key == "%") {
        if (numberOrResult || type == ")" || type == "!") appendSymbolLine("%", "%");
    } else if (key == "!") {
        if (numberOrResult || type == ")" || type == "%") appendSymbolLine("!", "!");
    } else if (key == "√") {
        if (numberOrResult) {
            wrap([this] { appendSymbolLine("√", "√"); });
        } else if (closing) {
            pushOperatorLine("×");
            appendSymbolLine("√", "√");
        } else if (operandStart) {
            appendSymbolLine("√", "√");
        } else if (type == "^") {
            pushOpenParenthesis();
            appendSymbolLine("√", "√");
        }
    } else if (const Constant* constant = findConstant(key)) {
        std::string symbol(constant->symbol);
        if (numberOrResult) {
            ostrelo_.popLine();
            enterToken(9, 8, "N", symbol, constant->value);
        } else if (closing) {
            pushOperatorLine("×");
            enterToken(9, 8, "N", symbol, constant->value);
        } else if (operandStart) {
            enterToken(9, 8, "N", symbol, constant->value);
        } else if (type == "^") {
            pushOpenParenthesis();
            enterToken(9, 8, "N", symbol, constant->value);
        }
    } else if (isFunctionName(key)) {
        auto nameAndParenthesis = [this, &key] {
            appendSymbolLine(key, "F");
            pushOpenParenthesis();
        };
        if (numberOrResult) {
            wrap(nameAndParenthesis);
        } else if (closing) {
            pushOperatorLine("×");
            nameAndParenthesis();
        } else if (type == "O" || type == "(") {
            nameAndParenthesis();
        } else if (type == "√" || type == "^") {
            pushOpenParenthesis();
            nameAndParenthesis();
        }
    } else if (key == "@") {
        if (numberOrResult) {
            ostrelo_.popLine();
            randomFraction();
        } else if (closing) {
            pushOperatorLine("×");
            randomFraction();
        } else if (operandStart || type == "^") {
            randomFraction();
        }
    } else if (key == "#" || key == "rand") {
        if (numberOrResult) {
            applyRandomRule();
        } else if (type == ")") {
            // A value follows a group only behind an operator, as after "@" or a function key.
            pushOperatorLine("×");
            randomFraction();
        } else if (operandStart || type == "^" || type == "F") {
            randomFraction();
        }
    } else if (key == "∕") {
        applyReciprocal();
    }
    // Any other key only refreshes the display.
}

void Calculator::applyRandomRule() {
    if (ostrelo_.items.empty()) return;
    double x = ostrelo_.items.back().number;
    // A negative, non-finite or too large number gives no bound to draw below: refused.
    if (!(x >= 0.0) || !std::isfinite(x) || x >= randomBoundLimit) return;
    ostrelo_.popLine();
    if (x < 1.0) {
        enterToken(9, 8, "N", "", foundation::RandomSource::fraction());
        return;
    }
    auto bound = static_cast<std::uint32_t>(std::trunc(x));
    std::uint32_t r = foundation::RandomSource::uniform(bound);
    enterToken(decimalDigitCount(r), 0, "N", "", static_cast<double>(r));
}

void Calculator::applyReciprocal() {
    if (ostreloLine_.parentheses != 0) return;
    const std::string& type = ostreloLine_.type;
    if (type == "N" || type == "R") {
        if (ostrelo_.lineCount() == 1) {
            CalculatorLine x = ostrelo_.items.back();
            pushSymbolLine("÷", "O", Placement::insertFirst);
            insertLeadingNumber(1, 0, 1.0);
            ostrelo_.popLine();
            enterToken(x.digits, x.fraction, "N", "", x.number);
        } else {
            reciprocalOfWhole();
        }
    } else if (type == ")" || type == "!" || type == "%") {
        reciprocalOfWhole();
    }
}

void Calculator::reciprocalOfWhole() {
    ostreloLine_.parentheses = 1;
    pushSymbolLine("(", "(", Placement::insertFirst);
    pushSymbolLine("÷", "O", Placement::insertFirst);
    insertLeadingNumber(1, 0, 1.0);
    pushCloseParenthesis();
}

void Calculator::enterLoanKey() {
    if (creditNextStep_ == 0 && creditCurrentStep_ == 0) {
        // The principal.
        const bool single = ostrelo_.lineCount() == 1;
        const bool numberOrResult = ostreloLine_.type == "N" || ostreloLine_.type == "R";
        if (single && numberOrResult && ostreloLine_.number >= 0.0) {
            inputOperator("×");
            enterParenthesis("(");
            creditNextStep_ = 1;
        } else {
            creditNextStep_ = 0;
            creditCurrentStep_ = 0;
        }
        updatePrimaryString();
        return;
    }
    if (creditNextStep_ == 1 && creditCurrentStep_ == 0) {
        // The annual interest rate in percent.
        creditCurrentStep_ = 1;
        if (ostreloLine_.type == "N" && ostreloLine_.number > 0.0) {
            const CalculatorLine rate = ostreloLine_;
            appendSymbolLine("%", "%");
            inputOperator("÷");
            enterDigit("1");
            enterDigit("2");
            enterParenthesis(")");
            inputOperator("÷");
            enterParenthesis("(");
            enterDigit("1");
            inputOperator("−");
            enterParenthesis("(");
            enterToken(rate.digits, rate.fraction, "N", "", rate.number);
            appendSymbolLine("%", "%");
            inputOperator("÷");
            enterDigit("1");
            enterDigit("2");
            inputOperator("+");
            enterDigit("1");
            enterParenthesis(")");
            appendSymbolLine("^", "^");
            enterParenthesis("(");
            creditNextStep_ = 2;
            updatePrimaryString();
        } else {
            creditNextStep_ = 0;
            creditCurrentStep_ = 0;
            evaluateEquals(false, "");
        }
        return;
    }
    if (creditNextStep_ == 2 && creditCurrentStep_ == 1) {
        // The number of months.
        if (ostreloLine_.type == "N" && ostreloLine_.number >= 1.0 && ostreloLine_.fraction == 0) {
            toggleSign();
            enterParenthesis(")");
            enterParenthesis(")");
        } else {
            inputOperator("×");
            enterDigit("0");
        }
        creditNextStep_ = 0;
        creditCurrentStep_ = 0;
        evaluateEquals(true, "");
        return;
    }
    // Counters in no state of the loan prompts: start over.
    creditNextStep_ = 0;
    creditCurrentStep_ = 0;
    updatePrimaryString();
}

// ---------------------------------------------------------------------------------------
// Parentheses

void Calculator::enterParenthesis(const std::string& key) {
    const StoreCommit operation(*this);
    if (dateCalculator_) return;
    const std::string type = ostreloLine_.type;
    const bool operand = type == "N" || type == "R" || type == ")" || type == "!" || type == "%";
    if (key == "(") {
        if (type == "O" || type == "√" || type == "F" || type == "(" || type == "^") {
            pushOpenParenthesis();
        } else if (type == "N" || type == ")" || type == "!" || type == "%") {
            pushOperatorLine("×");
            pushOpenParenthesis();
        } else if (type == "R") {
            if (ostreloLine_.number != 0.0) {
                pushOperatorLine("×");
                pushOpenParenthesis();
            } else {
                ostrelo_.popLine();
                pushOpenParenthesis();
            }
        }
    } else if (key == ")") {
        if (operand) pushCloseParenthesis();
    } else if (key == "}") {
        if (operand) {
            ostreloLine_.parentheses += 1;
            ostrelo_.insertFirstLine("(", "(", 0, false, 0, ostreloLine_.parentheses, 0.0);
            pushCloseParenthesis();
        }
    } else if (key == "{") {
        ostreloLine_.parentheses += 1;
        ostrelo_.insertFirstLine("(", "(", 0, false, 0, ostreloLine_.parentheses, 0.0);
        // The stored last line carries the new count, so that a reload keeps the group open.
        if (ostrelo_.popLine()) pushCurrentLine();
    }
    updatePrimaryString();
}

}  // namespace ostrelo
