#include "tests/calculator/CalculatorTestSupport.h"

#include "engine/ButtonState.h"

namespace calculatortest {
namespace {

using ostrelo::ButtonState;
using OperatorTest = CalculatorTest;
using EqualsTest = CalculatorTest;
using PercentTest = CalculatorTest;

TEST_F(OperatorTest, AnOperatorReplacesTheOperatorBeforeIt) {
    Calculator calculator;
    press(calculator, {"5", "+", "×"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 5", "O ×"}));
    EXPECT_EQ(calculator.primaryString(), "5×");
    EXPECT_EQ(calculator.secondaryString(), "");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);  // "5.0×" cannot be read
    press(calculator, {"2", "="});
    EXPECT_EQ(calculator.primaryString(), "10");
    EXPECT_EQ(calculator.secondaryString(), "5×2=10");
}

TEST_F(OperatorTest, WhereAnOperatorIsIgnored) {
    Calculator calculator;
    press(calculator, {"(", "−"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"( ("}));
    press(calculator, "2");
    EXPECT_EQ(calculator.ostreloLine().number, 2);

    press(calculator, {"AC", "sin", "+"});
    EXPECT_EQ(calculator.primaryString(), "sin(");
    EXPECT_EQ(storedLines().size(), 2u);

    press(calculator, {"AC", "2", "^", "+"});
    EXPECT_EQ(calculator.primaryString(), "2^");
    press(calculator, {"AC", "√", "×"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"√ √"}));
    press(calculator, "9");
    calculator.inputOperator("−");  // accepted after a number
    calculator.inputOperator("*");  // not an operator key
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"√ √", "N 9", "O −"}));

    press(calculator, {"AC", "3", "!", "+"});
    EXPECT_EQ(calculator.primaryString(), "3!+");
    press(calculator, {"AC", "5", "%", "×"});
    EXPECT_EQ(calculator.primaryString(), "5%×");
    press(calculator, {"AC", "(", "2", ")", "÷"});
    EXPECT_EQ(calculator.primaryString(), "(2)÷");
}

TEST_F(OperatorTest, AnOperatorContinuesFromAResultAnErrorOrTheResetLine) {
    Calculator calculator;
    press(calculator, {"7", "=", "+", "1", "="});
    EXPECT_EQ(calculator.primaryString(), "8");
    EXPECT_EQ(calculator.secondaryString(), "7+1=8");

    press(calculator, {"1", "÷", "0", "=", "+", "2", "="});
    EXPECT_EQ(calculator.primaryString(), "2");

    press(calculator, {"AC", "+"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 0", "O +"}));
    EXPECT_EQ(calculator.primaryString(), "0+");
}

TEST_F(EqualsTest, AResultReplacesTheCalculation) {
    Calculator calculator;
    press(calculator, {"2", "+", "3", "="});
    EXPECT_EQ(calculator.primaryString(), "5");
    EXPECT_EQ(calculator.secondaryString(), "2+3=5");
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{CalculatorLine{"", "R", 5.0, 1, false, 0, 0}}));
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), "±");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);

    press(calculator, {"2", "4", "6", "9", "÷", "2", "="});
    EXPECT_EQ(calculator.primaryString(), "1,234.5");
    EXPECT_EQ(calculator.ostreloLine(), (CalculatorLine{"", "R", 1234.5, 5, true, 1, 0}));

    type(calculator, "246913579");
    press(calculator, {"÷", "2", "="});
    EXPECT_EQ(calculator.ostreloLine().digits, 9);
    EXPECT_EQ(calculator.ostreloLine().fraction, 0);
    EXPECT_EQ(calculator.primaryString(), "123,456,790");

    press(calculator, {"𝜋", "="});
    EXPECT_EQ(calculator.ostreloLine().digits, 9);
    EXPECT_EQ(calculator.ostreloLine().fraction, 8);
    EXPECT_EQ(calculator.primaryString(), "3.14159265");
    EXPECT_EQ(calculator.secondaryString(), "𝜋=3.14159265");

    type(calculator, "99999");
    press(calculator, "×");
    type(calculator, "99999");
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "9,999,800,001");
    EXPECT_EQ(calculator.ostreloLine().digits, 10);

    press(calculator, {"2", "−", "5", "="});
    EXPECT_EQ(calculator.primaryString(), "−3");
    EXPECT_EQ(calculator.secondaryString(), "2−5=−3");

    type(calculator, "0.1");
    press(calculator, "+");
    type(calculator, "0.2");
    EXPECT_EQ(calculator.secondaryString(), "0.3");
    press(calculator, "=");
    EXPECT_EQ(calculator.ostreloLine().number, 0.3);
    EXPECT_EQ(calculator.primaryString(), "0.3");

    // 114.14999999999999 in binary: the result keeps its last digit.
    type(calculator, "100");
    press(calculator, "×");
    type(calculator, "1.1415");
    EXPECT_EQ(calculator.secondaryString(), "114.15");
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "114.15");
    EXPECT_EQ(calculator.ostreloLine().number, 114.15);
}

TEST_F(EqualsTest, ErrorsLeaveAZeroResultLine) {
    Calculator calculator;
    press(calculator, {"1", "÷", "0"});
    EXPECT_EQ(calculator.secondaryString(), "");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "ERROR");
    EXPECT_EQ(calculator.secondaryString(), "1÷0=ERROR");
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{CalculatorLine{"", "R", 0.0, 0, false, 0, 0}}));
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), ".");
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");

    // An expression the evaluator cannot read ("FAILED") shows "ERROR" too.
    press(calculator, {"AC", "5", "+", "="});
    EXPECT_EQ(calculator.primaryString(), "ERROR");
    EXPECT_EQ(calculator.secondaryString(), "5+=ERROR");
}

// A non-finite value anywhere in the calculation is an error, even when the operations
// after it bring the value back to a finite one; values that are merely large are not.
TEST_F(EqualsTest, ANonFiniteValueOnTheWayIsAnError) {
    struct Case {
        std::vector<std::string> keys;
        bool error;
    };
    const std::vector<Case> cases = {
        {{"1", "÷", "(", "1", "÷", "0", ")"}, true},
        {{"1", "÷", "0"}, true},
        {{"2", "÷", "(", "1", "÷", "0", ")", "+", "5"}, true},
        {{"1", "÷", "(", "9", "9", "!", "^", "3", ")"}, true},
        {{"1", "÷", "log", "0"}, true},
        {{"9", "9", "!"}, false},
        {{"9", "9", "9", "9", "9", "9", "9", "9", "9", "^", "3", "4", "÷", "1", "0"}, false},
    };
    for (const Case& c : cases) {
        Calculator calculator;
        press(calculator, "AC");
        for (const std::string& key : c.keys) press(calculator, key);
        const std::string shown = *calculator.primaryString();
        EXPECT_EQ(calculator.buttonEqualColor(), c.error ? ButtonState::error : ButtonState::success) << shown;
        press(calculator, "=");
        EXPECT_EQ(calculator.primaryString() == "ERROR", c.error) << shown << " = " << *calculator.primaryString();
    }
}

TEST_F(EqualsTest, OpenParenthesesAreClosedOnlyWhenAutomatic) {
    Calculator calculator;
    press(calculator, {"(", "2", "+", "3"});
    EXPECT_EQ(calculator.secondaryString(), "5");
    press(calculator, "=");
    EXPECT_EQ(calculator.secondaryString(), "2+3=5");
    EXPECT_EQ(calculator.ostreloLine().parentheses, 0);

    calculator.setAutoParenthesis(false);
    press(calculator, {"AC", "(", "2", "+", "3"});
    EXPECT_EQ(calculator.secondaryString(), "");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "ERROR");
    EXPECT_EQ(calculator.secondaryString(), "(2+3=ERROR");
}

TEST_F(EqualsTest, ScientificNotationAndGermanTexts) {
    Calculator calculator;
    calculator.setScientificNotation(true);
    press(calculator, {"1", "5", "0", "×", "1", "="});
    EXPECT_EQ(calculator.primaryString(), "1.5E2");

    setLocale("de_DE");
    Calculator german;
    press(german, {"AC"});
    type(german, "2469");
    press(german, {"÷", "2"});
    EXPECT_EQ(german.secondaryString(), "1.234,5");
    press(german, "=");
    EXPECT_EQ(german.primaryString(), "1.234,5");
    EXPECT_EQ(german.secondaryString(), "2.469÷2=1.234,5");
    EXPECT_EQ(german.decimalSeparatorPlusMinus(), "±");
}

TEST_F(PercentTest, PercentOfASumOrAFactor) {
    Calculator calculator;
    press(calculator, {"2", "0", "0", "+", "1", "0", "%"});
    EXPECT_EQ(calculator.primaryString(), "200+10%");
    EXPECT_EQ(calculator.secondaryString(), "220");
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "220");

    press(calculator, {"2", "0", "0", "−", "1", "0", "%", "="});
    EXPECT_EQ(calculator.primaryString(), "180");
    press(calculator, {"5", "0", "×", "1", "0", "%", "="});
    EXPECT_EQ(calculator.primaryString(), "5");
    press(calculator, {"1", "0", "%", "="});
    EXPECT_EQ(calculator.primaryString(), "0.1");

    // "%" after "%" is refused, "!" after "%" is accepted.
    press(calculator, {"AC", "3", "%", "%"});
    EXPECT_EQ(calculator.primaryString(), "3%");
    press(calculator, "!");
    EXPECT_EQ(calculator.primaryString(), "3%!");
}

}  // namespace
}  // namespace calculatortest
