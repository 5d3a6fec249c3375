#include "tests/calculator/CalculatorTestSupport.h"

#include <cmath>
#include <limits>

namespace calculatortest {
namespace {

using ClearKeyTest = CalculatorTest;

TEST_F(ClearKeyTest, LongNumbersLoseOneDigitShortOnesGoWhole) {
    Calculator calculator;
    type(calculator, "12345");
    press(calculator, "C");
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{numberLine(1234, 4)}));
    EXPECT_EQ(calculator.primaryString(), "1,234");
    EXPECT_EQ(calculator.buttonClearAllText(), "C");
    press(calculator, "C");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 0"}));
    EXPECT_EQ(calculator.primaryString(), "0");
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");

    press(calculator, "AC");
    type(calculator, "12");
    press(calculator, "C");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 0"}));

    press(calculator, "AC");
    type(calculator, "1.2345");
    press(calculator, "C");
    EXPECT_EQ(calculator.ostreloLine(), (CalculatorLine{"", "N", 1.234, 4, true, 3, 0}));
    EXPECT_EQ(calculator.primaryString(), "1.234");

    // Constants go whole.
    press(calculator, {"AC", "2", "+", "𝜋", "C"});
    EXPECT_EQ(calculator.primaryString(), "2+");
}

TEST_F(ClearKeyTest, TheSeparatorIsAStepOfItsOwnUnlessScientific) {
    Calculator calculator;
    type(calculator, "123456.78");
    press(calculator, "C");
    EXPECT_EQ(calculator.primaryString(), "123,456.7");
    press(calculator, "C");
    EXPECT_EQ(calculator.primaryString(), "123,456.");
    EXPECT_TRUE(calculator.ostreloLine().separator);
    press(calculator, "C");
    EXPECT_EQ(calculator.primaryString(), "123,456");
    EXPECT_EQ(calculator.ostreloLine(), numberLine(123456, 6));

    press(calculator, "AC");
    type(calculator, "12345.");
    press(calculator, "C");
    EXPECT_EQ(calculator.ostreloLine(), numberLine(12345, 5));

    calculator.setScientificNotation(true);
    press(calculator, "AC");
    type(calculator, "12345.");
    press(calculator, "C");
    EXPECT_EQ(calculator.ostreloLine(), numberLine(1234, 4));
    EXPECT_EQ(calculator.primaryString(), "1.234E3");

    press(calculator, "AC");
    type(calculator, "1234.5");
    press(calculator, "C");
    EXPECT_EQ(calculator.ostreloLine(), numberLine(1234, 4));
    press(calculator, "AC");
    type(calculator, "1.2345");
    press(calculator, "C");
    EXPECT_EQ(calculator.ostreloLine(), (CalculatorLine{"", "N", 1.234, 4, true, 3, 0}));
}

TEST_F(ClearKeyTest, TheLastDigitIsRemovedFromTheNumberAsTyped) {
    Calculator calculator;
    type(calculator, "69.820");
    press(calculator, "C");
    EXPECT_EQ(calculator.ostreloLine().number, 69.82);
    EXPECT_EQ(calculator.primaryString(), "69.82");

    press(calculator, "AC");
    type(calculator, "169.820");
    press(calculator, {"C", "C"});
    EXPECT_EQ(calculator.ostreloLine().number, 169.8);
    EXPECT_EQ(calculator.primaryString(), "169.8");

    // Every accumulated value of two to four fraction digits comes back as its typed text.
    for (const char* typed : {"1.0010", "0.2900", "12.340", "9.9990", "123.45"}) {
        press(calculator, "AC");
        type(calculator, typed);
        press(calculator, "C");
        std::string text(typed);
        text.pop_back();
        EXPECT_EQ(calculator.ostreloLine().number, std::strtod(text.c_str(), nullptr)) << typed;
    }

    setLocale("de_DE");
    press(calculator, "AC");
    type(calculator, "69,820");
    press(calculator, "C");
    EXPECT_EQ(calculator.primaryString(), "69,82");
}

TEST_F(ClearKeyTest, HugeAndNonFiniteNumbersAreCutInFloatingPoint) {
    const double huge = std::ldexp(1.0, 60);
    storeLines({numberLine(huge, 19)});
    Calculator calculator;
    press(calculator, "C");
    EXPECT_EQ(calculator.ostreloLine().number, std::trunc(huge / 10.0));
    EXPECT_EQ(calculator.ostreloLine().digits, 18);

    storeLines({numberLine(-1e300, 19, 2)});
    calculator.reloadFromSettings();
    press(calculator, "C");
    EXPECT_EQ(calculator.ostreloLine().number, -1e300);
    EXPECT_EQ(calculator.ostreloLine().fraction, 1);

    storeLines({numberLine(std::numeric_limits<double>::infinity(), 9)});
    calculator.reloadFromSettings();
    press(calculator, "C");
    EXPECT_TRUE(std::isinf(calculator.ostreloLine().number));
    EXPECT_EQ(calculator.ostreloLine().digits, 8);
}

TEST_F(ClearKeyTest, OperatorsSymbolsAndParenthesesAreTakenBack) {
    Calculator calculator;
    press(calculator, {"5", "+", "C"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 5"}));
    press(calculator, "×");
    EXPECT_EQ(calculator.primaryString(), "5×");

    press(calculator, {"sin", "C"});
    EXPECT_EQ(calculator.primaryString(), "5×");
    EXPECT_EQ(calculator.ostreloLine().parentheses, 0);

    press(calculator, {"(", "2", ")", "C"});
    EXPECT_EQ(calculator.primaryString(), "5×(2");
    EXPECT_EQ(calculator.ostreloLine().parentheses, 1);
    EXPECT_EQ(storedLines().back().parentheses, 1);
    press(calculator, ")");
    EXPECT_EQ(calculator.primaryString(), "5×(2)");

    press(calculator, {"!", "C", "%", "C", "^", "C"});
    EXPECT_EQ(calculator.primaryString(), "5×(2)");

    press(calculator, {"AC", "3", "²", "C"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 3", "^ ^"}));
    press(calculator, "C");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 3"}));

    press(calculator, {"AC", "sin", "C"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 0"}));
}

TEST_F(ClearKeyTest, AResultOrAnACKeyResetsTheCalculation) {
    Calculator calculator;
    press(calculator, {"2", "+", "3", "="});
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");
    press(calculator, "C");  // the hardware backspace calls the same operation
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{CalculatorLine{"", "R", 0.0, 1, false, 0, 0}}));
    EXPECT_EQ(calculator.primaryString(), "0");

    press(calculator, {"(", "2", "+", "3", "AC"});
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{CalculatorLine{"", "R", 0.0, 1, false, 0, 0}}));
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");
    EXPECT_EQ(calculator.clearCounter(), 0);
    EXPECT_EQ(foundation::UserDefaults().integerForKey("count"), 1);
    press(calculator, ")");
    EXPECT_EQ(calculator.primaryString(), "0");
}

TEST_F(ClearKeyTest, FiveClearsInARowTurnTheKeyIntoAC) {
    Calculator calculator;
    press(calculator, {"1", "+", "2", "+", "3", "+", "4", "+", "5", "+", "6", "+"});
    for (int i = 1; i <= 4; ++i) {
        press(calculator, "C");
        EXPECT_EQ(calculator.buttonClearAllText(), "C") << i;
    }
    press(calculator, "C");
    EXPECT_EQ(calculator.primaryString(), "1+2+3+4");
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");
    EXPECT_EQ(calculator.clearCounter(), 0);
    press(calculator, "C");
    EXPECT_EQ(calculator.primaryString(), "0");

    // Another key between the presses slows the countdown.
    press(calculator, {"1", "+", "2", "+", "3", "+", "4", "+", "5", "+", "6", "+"});
    press(calculator, {"C", "C", "C", "C", "×", "C"});
    EXPECT_EQ(calculator.buttonClearAllText(), "C");
}

}  // namespace
}  // namespace calculatortest
