// Operator entry: "+", "−", "×" and "÷".

#include "engine/Calculator.h"

namespace ostrelo {

void Calculator::inputOperator(const std::string& op) {
    const StoreCommit operation(*this);
    if (op != "+" && op != "−" && op != "×" && op != "÷") {
        // Not an operator key: refused like any key that does not fit.
        if (!dateCalculator_) updatePrimaryString();
        return;
    }
    if (dateCalculator_) {
        if (op == "×" || op == "÷") return;
        if (op == "+" || op == "−") {
            inputOperatorInDateMode(op);
            return;
        }
    }
    applyOperatorTokenRule(op);
    updatePrimaryString();
}

void Calculator::applyOperatorTokenRule(const std::string& op) {
    const std::string& type = ostreloLine_.type;
    if (type == "O") {
        // Consecutive operator keys leave only the last one.
        ostrelo_.popLine();
        pushOperatorLine(op);
    } else if (type == "N" || type == "R" || type == ")" || type == "!" || type == "%") {
        pushOperatorLine(op);
    }
    // After "(", a function name, "^", "²" or "√" an operator is ignored.
}

void Calculator::pushOperatorLine(const std::string& op) {
    ostreloLine_.item = op;
    ostreloLine_.type.assign(1, 'O');
    ostreloLine_.number = 0.0;
    ostreloLine_.digits = 0;
    ostreloLine_.separator = false;
    ostreloLine_.fraction = 0;
    pushCurrentLine();
}

}  // namespace ostrelo
