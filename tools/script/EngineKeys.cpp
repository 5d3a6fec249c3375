#include "tools/script/EngineKeys.h"

#include "engine/Calculator.h"

#include <array>
#include <map>

namespace script {

namespace {

bool isOneOf(const std::string& text, std::initializer_list<const char*> options) {
    for (const char* option : options)
        if (text == option) return true;
    return false;
}

DisplayTexts shown(const ostrelo::Calculator& calculator) {
    return {calculator.primaryString().value_or(""), calculator.secondaryString().value_or("")};
}

// Key titles whose engine function key has another text.
const std::map<std::string, std::string>& functionKeyTexts() {
    static const std::map<std::string, std::string> texts = {
        {"√x", "√"}, {"x²", "²"}, {"x!", "!"}, {"1∕x", "∕"}, {"xⁿ", "^"}, {"xʸ", "^"}};
    return texts;
}

bool isFunctionKey(const std::string& text) {
    static const std::array<const char*, 23> keys = {
        "sin", "cos", "tan", "sinh", "cosh", "tanh", "sin⁻¹", "cos⁻¹", "tan⁻¹", "sinh⁻¹", "cosh⁻¹", "tanh⁻¹",
        "㏑", "log", "𝜋", "𝑒", "%", "𝜑", "#", "rand", "√", "²", "!"};
    for (const char* key : keys)
        if (text == key) return true;
    return text == "^" || text == "∕";
}

}  // namespace

DisplayTexts pressEngineKey(ostrelo::Calculator& calculator, const std::string& caption, bool& known) {
    known = true;
    std::string text = caption;
    if (auto mapped = functionKeyTexts().find(text); mapped != functionKeyTexts().end()) text = mapped->second;
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '9') {
        calculator.enterDigit(text);
    } else if (calculator.decimalSeparator() && text == *calculator.decimalSeparator()) {
        if (!calculator.dateCalculator()) calculator.evaluateDateEntry();
    } else if (text == "𝑑") {
        calculator.calculateDate();
        DisplayTexts result = shown(calculator);
        calculator.clearAll();
        return result;
    } else if (isOneOf(text, {"+", "−", "×", "÷"})) {
        calculator.inputOperator(text);
    } else if (text == "=") {
        calculator.evaluateEquals(false, "");
    } else if (text == "C") {
        calculator.clearEntry();
    } else if (text == "AC") {
        calculator.clearAll();
    } else if (isOneOf(text, {"M+", "M−", "MR", "MC"})) {
        calculator.pressMemoryKey(text);
    } else if (isOneOf(text, {"(", ")", "{", "}", "(⋯)"})) {
        calculator.enterParenthesis(text == "(⋯)" ? "(" : text);
    } else if (text == "±") {
        calculator.toggleSign();
    } else if (text == "deg" || text == "rad") {
        calculator.toggleDegRad();
    } else if (isFunctionKey(text)) {
        calculator.enterFunctionKey(text);
    } else {
        known = false;
    }
    return shown(calculator);
}

}  // namespace script
