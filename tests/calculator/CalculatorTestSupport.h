#pragma once

#include "engine/Calculator.h"
#include "engine/CalculatorLine.h"
#include "engine/StackLineRecord.h"
#include "platform/foundation/RandomSource.h"
#include "platform/foundation/UserDefaults.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace calculatortest {

using ostrelo::Calculator;
using ostrelo::CalculatorLine;

// Hands key captions to the calculator the way a screen's key handler does.
inline void press(Calculator& calculator, const std::string& key) {
    static const std::vector<std::string> functionKeys{
        "𝑖", "^", "²", "%", "!", "√", "∕", "𝜑", "𝜋", "sin", "cos", "tan", "㏑", "sinh", "cosh", "tanh",
        "sin⁻¹", "cos⁻¹", "tan⁻¹", "sinh⁻¹", "cosh⁻¹", "tanh⁻¹", "log", "𝑒", "@", "#", "rand"};
    if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') {
        calculator.enterDigit(key);
    } else if (calculator.decimalSeparator() && key == *calculator.decimalSeparator()) {
        calculator.enterDecimalSeparator();
    } else if (key == "±") {
        calculator.toggleSign();
    } else if (key == "+" || key == "−" || key == "×" || key == "÷") {
        calculator.inputOperator(key);
    } else if (key == "=") {
        calculator.evaluateEquals(false, "");
    } else if (key == "C") {
        calculator.clearEntry();
    } else if (key == "AC") {
        calculator.clearAll();
    } else if (key == "(" || key == ")" || key == "{" || key == "}") {
        calculator.enterParenthesis(key);
    } else if (key == "deg" || key == "rad") {
        calculator.toggleDegRad();
    } else {
        for (const auto& function : functionKeys) {
            if (key == function) {
                calculator.enterFunctionKey(key);
                return;
            }
        }
        ADD_FAILURE() << "no key " << key;
    }
}

inline void press(Calculator& calculator, std::initializer_list<std::string> keys) {
    for (const auto& key : keys) press(calculator, key);
}

// Every caption of a text of digits, one key each ("12.5" gives "1", "2", ".", "5").
inline void type(Calculator& calculator, const std::string& digits) {
    for (char c : digits) press(calculator, std::string(1, c));
}

// The calculation lines as stored in the suite.
inline std::vector<CalculatorLine> storedLines() {
    foundation::UserDefaults suite;
    std::vector<CalculatorLine> lines;
    auto count = suite.object("count");
    std::int64_t n = count && count->integerValue() ? *count->integerValue() : 0;
    for (std::int64_t i = 1; i <= n; ++i) {
        auto value = suite.object(std::to_string(i));
        if (!value) {
            ADD_FAILURE() << "line " << i << " missing";
            continue;
        }
        auto line = ostrelo::StackLineRecord::decode(*value);
        if (!line) {
            ADD_FAILURE() << "line " << i << " unreadable";
            continue;
        }
        lines.push_back(*line);
    }
    return lines;
}

inline std::string shapeNumber(double number) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17g", number);
    return buffer;
}

// The stored lines, each as item (or number) and type, for compact comparisons.
inline std::vector<std::string> storedShape() {
    std::vector<std::string> shape;
    for (const auto& line : storedLines()) {
        if (line.type == "N" || line.type == "R") {
            shape.push_back(line.type + " " + (line.item.empty() ? "" : line.item + ":") + shapeNumber(line.number));
        } else {
            shape.push_back(line.type + " " + line.item);
        }
    }
    return shape;
}

// Writes the calculation lines into the suite as another process (or a restore) would.
inline void storeLines(const std::vector<CalculatorLine>& lines) {
    foundation::UserDefaults suite;
    suite.set("count", static_cast<std::int64_t>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        suite.set(std::to_string(i + 1), ostrelo::StackLineRecord::encode(lines[i]));
    }
}

inline CalculatorLine numberLine(double number, std::int64_t digits, std::int64_t fraction = 0,
                                 std::int64_t parentheses = 0) {
    return CalculatorLine{"", "N", number, digits, fraction > 0, fraction, parentheses};
}

inline CalculatorLine symbolLine(const std::string& symbol, const std::string& type, std::int64_t parentheses = 0) {
    return CalculatorLine{symbol, type, 0.0, 0, false, 0, parentheses};
}

// A calculator test in its own group directory, in en_US unless the test switches to de_DE.
class CalculatorTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        setLocale("en_US");
    }
    void TearDown() override {
        foundation::RandomSource::replaceWordSource({});
        SuiteTest::TearDown();
    }
};

}  // namespace calculatortest
