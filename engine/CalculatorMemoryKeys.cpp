// The memory register keys "M+", "M−", "MR" and "MC".
//
// The register holds an expression, not a number: "M+" and "M−" append the whole
// calculation as lines, joined by "+" or "−" and in parentheses when it has more than one
// line; "MR" copies the lines back into the calculation. The current memory line's
// `parentheses` is the register's running count of open parentheses.

#include "engine/Calculator.h"

namespace ostrelo {

void Calculator::pressMemoryPlus() { pressMemoryKey("M+"); }

void Calculator::pressMemoryMinus() { pressMemoryKey("M−"); }

void Calculator::pressMemoryRecall() { pressMemoryKey("MR"); }

void Calculator::pressMemoryClear() { pressMemoryKey("MC"); }

void Calculator::pressMemoryKey(const std::string& key) {
    const StoreCommit operation(*this);
    // The date entry's lines are no calculation: on every path (the screen's keys and the
    // hardware keyboard's) the memory keys do nothing while a date is entered.
    if (dateCalculator_) return;
    if (key == "M+" || key == "M−") {
        applyMemoryPlusMinus(key);
    } else if (key == "MC") {
        if (!memoryOstrelo_.items.empty()) memoryOstrelo_.clearMemory();
        updatePrimaryString();
        updateMemoryString();
    } else if (key == "MR") {
        applyMemoryRecall();
        updatePrimaryString();
        updateMemoryString();
    }
}

// ---------------------------------------------------------------------------------------
// Memory lines

void Calculator::storeMemoryLine(const CalculatorLine& line) {
    memoryOstreloLine_ = line;
    memoryOstrelo_.pushMemoryLine(line.item, line.type, line.digits, line.separator, line.fraction, line.parentheses,
                                 line.number);
}

void Calculator::pushMemoryCopyOfLine(const CalculatorLine& line) {
    const std::int64_t running = memoryOstreloLine_.parentheses;
    storeMemoryLine(line);
    memoryOstreloLine_.parentheses = running;
}

void Calculator::pushMemoryOperator(const std::string& op) {
    storeMemoryLine(CalculatorLine{op, "O", 0.0, 0, false, 0, memoryOstreloLine_.parentheses});
}

void Calculator::pushMemoryOpenParenthesis() {
    storeMemoryLine(CalculatorLine{"(", "(", 0.0, 0, false, 0, memoryOstreloLine_.parentheses + 1});
}

void Calculator::pushMemoryCloseParenthesis() {
    storeMemoryLine(CalculatorLine{")", ")", 0.0, 0, false, 0, memoryOstreloLine_.parentheses - 1});
}

void Calculator::pushMemoryNumber(std::int64_t digits, std::int64_t fraction, double number) {
    storeMemoryLine(CalculatorLine{"", "N", number, digits, fraction > 0, fraction, memoryOstreloLine_.parentheses});
}

// ---------------------------------------------------------------------------------------
// Keys

void Calculator::applyMemoryPlusMinus(const std::string& key) {
    if (primaryString_ && *primaryString_ == "ERROR") return;
    if (ostrelo_.items.empty()) return;
    EvaluationResult result = evaluateExpression(ostrelo_.stackText());
    if (result.status == "ERROR" || result.status == "FAILED") {
        secondaryString_ = key + " ERROR";
        return;
    }

    // An empty register (cleared here or by another deliverable) has no open parenthesis.
    if (memoryOstrelo_.items.empty()) memoryOstreloLine_.parentheses = 0;
    if (key == "M+") {
        if (!memoryOstrelo_.items.empty()) pushMemoryOperator("+");
    } else {
        if (memoryOstrelo_.items.empty()) pushMemoryNumber(1, 0, 0.0);
        pushMemoryOperator("−");
    }
    const bool group = ostrelo_.items.size() >= 2;
    if (group) pushMemoryOpenParenthesis();
    // A copy, as the memory writes do not touch the calculation.
    const std::vector<CalculatorLine> lines = ostrelo_.items;
    for (CalculatorLine line : lines) {
        if (line.type == "R") line.type = "N";
        pushMemoryCopyOfLine(line);
    }
    for (std::int64_t open = ostreloLine_.parentheses; open > 0; --open) pushMemoryCloseParenthesis();
    if (group) pushMemoryCloseParenthesis();

    updatePrimaryString();
    updateMemoryString();
}

void Calculator::applyMemoryRecall() {
    if (memoryOstrelo_.items.empty()) return;
    const std::string& type = ostreloLine_.type;
    if (type == "R") {
        ostrelo_.popLine();
        recallMemory();
    } else if (type == "N" || type == ")" || type == "!" || type == "%") {
        pushOperatorLine("×");
        recallMemory();
    } else if (type == "(") {
        recallMemory();
        pushCloseParenthesis();
    } else if (type == "O" || type == "√" || type == "F" || type == "^") {
        pushOpenParenthesis();
        recallMemory();
        pushCloseParenthesis();
    }
}

void Calculator::recallMemory() {
    const std::vector<CalculatorLine> lines = memoryOstrelo_.items;
    const bool group = lines.size() >= 2;
    if (group) pushOpenParenthesis();
    for (const CalculatorLine& line : lines) {
        ostreloLine_.item = line.item;
        ostreloLine_.type = line.type;
        ostreloLine_.number = line.number;
        ostreloLine_.digits = line.digits;
        ostreloLine_.separator = line.separator;
        ostreloLine_.fraction = line.fraction;
        if (line.type == "(") ostreloLine_.parentheses += 1;
        if (line.type == ")") ostreloLine_.parentheses -= 1;
        // Stored with the calculation's running count, so that the count survives a reload.
        pushCurrentLine();
    }
    if (group) pushCloseParenthesis();
}

}  // namespace ostrelo
