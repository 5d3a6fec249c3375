#pragma once

#include "tests/calculator/CalculatorTestSupport.h"

#include "platform/foundation/Clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace datecalculatortest {

using calculatortest::Calculator;
using calculatortest::CalculatorLine;
using calculatortest::numberLine;
using calculatortest::storedLines;
using calculatortest::storedShape;
using calculatortest::storeLines;
using calculatortest::symbolLine;

// A moment in UTC.
inline foundation::Clock::TimePoint utc(int year, unsigned month, unsigned day, int hour = 12, int minute = 0) {
    using namespace std::chrono;
    return sys_days{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}} + hours{hour} +
           minutes{minute};
}

// Hands key captions to the calculator as a screen's key handler does, with the date keys:
// the separator goes to evaluateDateEntry while date mode is off, "𝑑" is the date key and
// the memory keys reach their operations. In date mode the separator reaches the engine's
// separator operation (the screens ignore it there; the engine must refuse it on its own).
inline void press(Calculator& calculator, const std::string& key) {
    auto separator = calculator.decimalSeparator();
    if (separator && key == *separator) {
        if (calculator.dateCalculator()) {
            calculator.enterDecimalSeparator();
        } else {
            calculator.evaluateDateEntry();
        }
    } else if (key == "𝑑") {
        calculator.calculateDate();
    } else if (key == "M+") {
        calculator.pressMemoryPlus();
    } else if (key == "M−") {
        calculator.pressMemoryMinus();
    } else if (key == "MR") {
        calculator.pressMemoryRecall();
    } else if (key == "MC") {
        calculator.pressMemoryClear();
    } else {
        calculatortest::press(calculator, key);
    }
}

// One key per character of a text of digits and separators ("24.12." gives "2", "4", ".",
// "1", "2", "."), or one key per listed caption.
inline void keys(Calculator& calculator, const std::string& text) {
    for (char c : text) press(calculator, std::string(1, c));
}

inline void press(Calculator& calculator, std::initializer_list<std::string> captions) {
    for (const auto& caption : captions) press(calculator, caption);
}

// The line's fields, the number within a typed number's rounding.
inline ::testing::AssertionResult sameLine(const CalculatorLine& actual, const CalculatorLine& expected) {
    CalculatorLine rounded = actual;
    if (std::fabs(actual.number - expected.number) <= 1e-9 * std::max(1.0, std::fabs(expected.number))) {
        rounded.number = expected.number;
    }
    if (rounded == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "line {" << actual.item << ", " << actual.type << ", "
                                         << calculatortest::shapeNumber(actual.number) << ", " << actual.digits << ", "
                                         << actual.separator << ", " << actual.fraction << ", " << actual.parentheses
                                         << "}";
}

inline bool storedDateMode() {
    foundation::UserDefaults suite;
    auto value = suite.object("dateCalculator");
    return value && value->boolValue() && *value->boolValue();
}

inline std::int64_t storedDateDigits() {
    foundation::UserDefaults suite;
    auto value = suite.object("dateDigits");
    return value && value->integerValue() ? *value->integerValue() : -1;
}

inline void storeDateMode(bool mode, std::int64_t digits) {
    foundation::UserDefaults suite;
    suite.set("dateCalculator", mode);
    suite.set("dateDigits", digits);
}

// A calculator test with the clock pinned at 7 December 2026, 12:00 UTC, in en_US unless
// the test switches to de_DE.
class DateCalculatorTest : public calculatortest::CalculatorTest {
protected:
    void SetUp() override {
        CalculatorTest::SetUp();
        foundation::Clock::pinAt(utc(2026, 12, 7));
    }
    void TearDown() override {
        foundation::Clock::replaceSource({});
        CalculatorTest::TearDown();
    }
};

}  // namespace datecalculatortest
