#include "engine/SharedSettings.h"
#include "tests/calculator/CalculatorTestSupport.h"

namespace calculatortest {
namespace {

using NumberEntryTest = CalculatorTest;

TEST_F(NumberEntryTest, DigitsReplaceTheResetLineAndLeadingZerosAreAbsorbed) {
    Calculator calculator;
    type(calculator, "007");
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{numberLine(7, 1)}));
    EXPECT_EQ(calculator.primaryString(), "7");
    EXPECT_EQ(calculator.secondaryString(), "");
    EXPECT_EQ(calculator.buttonClearAllText(), "C");
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), ".");
}

TEST_F(NumberEntryTest, ANumberHoldsAtMostNineDigits) {
    Calculator calculator;
    type(calculator, "1234567890");
    press(calculator, ".");
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{numberLine(123456789, 9)}));
    EXPECT_EQ(calculator.primaryString(), "123,456,789");

    press(calculator, "AC");
    type(calculator, "0.123456789");
    EXPECT_EQ(calculator.ostreloLine().digits, 9);
    EXPECT_EQ(calculator.ostreloLine().fraction, 8);
    EXPECT_EQ(calculator.primaryString(), "0.12345678");

    press(calculator, "AC");
    type(calculator, "1.23456789");
    EXPECT_EQ(calculator.ostreloLine().digits, 9);
    EXPECT_EQ(calculator.ostreloLine().fraction, 8);
    EXPECT_EQ(calculator.primaryString(), "1.23456789");
}

TEST_F(NumberEntryTest, TheSeparatorIsAcceptedOnceAndTypedZerosStayVisible) {
    Calculator calculator;
    type(calculator, "1..5");
    EXPECT_EQ(calculator.ostreloLine().number, 1.5);
    EXPECT_EQ(calculator.primaryString(), "1.5");

    press(calculator, "AC");
    type(calculator, "12.");
    EXPECT_EQ(calculator.primaryString(), "12.");
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), "±");
    EXPECT_TRUE(storedLines().back().separator);
    type(calculator, "50");
    EXPECT_EQ(calculator.primaryString(), "12.50");

    press(calculator, "AC");
    type(calculator, "0.0");
    EXPECT_EQ(calculator.ostreloLine(), (CalculatorLine{"", "N", 0.0, 2, true, 1, 0}));
    EXPECT_EQ(calculator.primaryString(), "0.0");
}

TEST_F(NumberEntryTest, TheValueIsAccumulatedDigitByDigit) {
    Calculator calculator;
    type(calculator, "0.12");
    EXPECT_EQ(calculator.ostreloLine().number, 0.1 + 2 / 100.0);
    EXPECT_EQ(calculator.ostreloLine().number, 0.12000000000000001);
    EXPECT_EQ(calculator.primaryString(), "0.12");
    press(calculator, "AC");
    type(calculator, "0.333");
    EXPECT_EQ(calculator.ostreloLine().number, 0.33299999999999996);
    EXPECT_EQ(calculator.primaryString(), "0.333");
}

TEST_F(NumberEntryTest, WhatADigitDoesAfterEachKindOfLine) {
    Calculator calculator;
    type(calculator, "42");
    press(calculator, "=");
    type(calculator, "5");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 5"}));
    press(calculator, "=");
    press(calculator, ".");
    EXPECT_EQ(calculator.primaryString(), "0.");

    press(calculator, "AC");
    press(calculator, "(");
    type(calculator, "2");
    press(calculator, "+");
    type(calculator, "3");
    press(calculator, ")");
    type(calculator, "4");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"( (", "N 2", "O +", "N 3", ") )", "O ×", "N 4"}));
    EXPECT_EQ(calculator.primaryString(), "(2+3)×4");
    EXPECT_EQ(calculator.secondaryString(), "20");

    press(calculator, "AC");
    type(calculator, "5");
    press(calculator, "!");
    type(calculator, "2");
    EXPECT_EQ(calculator.primaryString(), "5!×2");
    EXPECT_EQ(calculator.secondaryString(), "240");

    press(calculator, "AC");
    type(calculator, "5");
    press(calculator, "%");
    type(calculator, "2");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 5", "% %", "O ×", "N 2"}));

    press(calculator, "AC");
    type(calculator, "2");
    press(calculator, "^");
    type(calculator, "3");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 2", "^ ^", "N 3"}));
    EXPECT_EQ(calculator.secondaryString(), "8");

    press(calculator, "AC");
    press(calculator, "√");
    type(calculator, "9");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"√ √", "N 9"}));
    EXPECT_EQ(calculator.secondaryString(), "3");

    // After a function name (waiting for its parenthesis) digits are ignored; after a constant too.
    press(calculator, "AC");
    press(calculator, "𝜋");
    type(calculator, "5.");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 𝜋:3.1415926535897931"}));
    EXPECT_EQ(calculator.primaryString(), "𝜋");
}

TEST_F(NumberEntryTest, TheSignKey) {
    Calculator calculator;
    press(calculator, "±");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 0"}));

    type(calculator, "5");
    press(calculator, "±");
    type(calculator, "3");
    EXPECT_EQ(calculator.ostreloLine().number, -53);
    EXPECT_EQ(calculator.primaryString(), "(−53)");  // a lone number line is shown as inside a calculation

    press(calculator, "AC");
    type(calculator, "5.");
    press(calculator, "±");
    type(calculator, "2");
    EXPECT_DOUBLE_EQ(calculator.ostreloLine().number, -5.2);
    EXPECT_EQ(calculator.primaryString(), "(−5.2)");

    // Inside a calculation a negative number is parenthesised.
    press(calculator, "+");
    EXPECT_EQ(calculator.primaryString(), "(−5.2)+");
    press(calculator, "±");
    EXPECT_EQ(calculator.primaryString(), "(−5.2)+");

    // On a result the line stays a result line; the next digit replaces it.
    press(calculator, "AC");
    type(calculator, "12");
    press(calculator, "=");
    press(calculator, "±");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R -12"}));
    EXPECT_EQ(calculator.primaryString(), "−12");
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");
    type(calculator, "1");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 1"}));

    // A constant gives way to its value, keeping its nine digits.
    press(calculator, "AC");
    press(calculator, "𝜋");
    press(calculator, "±");
    EXPECT_EQ(calculator.ostreloLine(), (CalculatorLine{"", "N", -3.141592653589793, 9, true, 8, 0}));
    EXPECT_EQ(calculator.primaryString(), "(−3.14159265)");
}

TEST_F(NumberEntryTest, GermanSeparatorAndGrouping) {
    setLocale("de_DE");
    Calculator calculator;
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), ",");
    type(calculator, "1,5");
    EXPECT_EQ(calculator.ostreloLine().number, 1.5);
    EXPECT_EQ(calculator.primaryString(), "1,5");
    // The English separator is no key here.
    calculator.enterDigit(".");
    EXPECT_EQ(calculator.primaryString(), "1,5");

    press(calculator, "AC");
    type(calculator, "1234,5");
    EXPECT_EQ(calculator.primaryString(), "1.234,5");
    press(calculator, "+");
    type(calculator, "1");
    EXPECT_EQ(calculator.primaryString(), "1.234,5+1");
    EXPECT_EQ(calculator.secondaryString(), "1.235,5");
}

// A zero left by "C" keeps the sign that was typed: the display, the next digit and the
// result all agree, and no text writes the sign as an ASCII hyphen.
TEST_F(NumberEntryTest, ClearKeepsTheTypedSignOfAZero) {
    struct Case {
        std::string locale;
        bool scientific;
        std::string afterClear;
        std::string afterFive;
        std::string result;
    };
    const Case cases[] = {
        {"en_US", false, "(−0.000)", "(−0.0005)", "−0.0005"},
        {"en_US", true, "(−0.000E0)", "(−5E-4)", "−5E-4"},
        {"de_DE", false, "(−0,000)", "(−0,0005)", "−0,0005"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale + (c.scientific ? " scientific" : ""));
        setLocale(c.locale);
        Calculator calculator;
        calculator.setScientificNotation(c.scientific);
        press(calculator, "AC");
        const std::string separator = *calculator.decimalSeparator();
        type(calculator, "0");
        press(calculator, separator);
        type(calculator, "0001");
        press(calculator, {"±", "C"});
        EXPECT_EQ(calculator.primaryString(), c.afterClear);
        type(calculator, "5");
        EXPECT_EQ(calculator.primaryString(), c.afterFive);
        EXPECT_EQ(calculator.ostreloLine().number, -0.0005);
        press(calculator, "=");
        EXPECT_EQ(calculator.primaryString(), c.result);
        EXPECT_EQ(storedShape(), (std::vector<std::string>{"R -0.00050000000000000001"}));
    }

    // Money texts too: a negative amount, and one that rounds to zero.
    setLocale("en_US");
    ostrelo::SharedSettings::open()->set("USDEUR", 1.0);
    for (const auto& [amount, text] : {std::pair{-0.125, std::string("−0.13 EUR")}, std::pair{-0.001, std::string("0.00 EUR")}}) {
        storeLines({CalculatorLine{"", "R", amount, 4, true, 3, 0}});
        Calculator calculator;
        calculator.enterCurrencyConversion("USD", "EUR");
        EXPECT_EQ(calculator.primaryString(), text);
    }
}

}  // namespace
}  // namespace calculatortest
