#include "tests/calculator/CalculatorTestSupport.h"

#include "engine/ButtonState.h"

#include <cmath>
#include <limits>

namespace calculatortest {
namespace {

using ostrelo::ButtonState;
using PowerTest = CalculatorTest;
using RootTest = CalculatorTest;
using FactorialTest = CalculatorTest;
using FunctionTest = CalculatorTest;
using ConstantTest = CalculatorTest;
using RandomKeyTest = CalculatorTest;
using ParenthesisTest = CalculatorTest;
using ReciprocalTest = CalculatorTest;
using LoanTest = CalculatorTest;

// Random words whose top bits give the fraction 0.5 and, below 6, the whole number 3.
constexpr std::uint64_t halfWord = 0x8000000100000000ull;
// The fraction that word gives: 0.5 and 2^-32.
constexpr double halfFraction = static_cast<double>(halfWord >> 11) * 0x1.0p-53;
const std::string halfShape = "N " + shapeNumber(halfFraction);

TEST_F(PowerTest, PowerAndSquareKeys) {
    Calculator calculator;
    press(calculator, {"3", "²"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 3", "^ ^", "N 2"}));
    EXPECT_EQ(calculator.primaryString(), "3^2");
    EXPECT_EQ(calculator.secondaryString(), "9");
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "9");

    press(calculator, {"2", "^", "3", "="});
    EXPECT_EQ(calculator.primaryString(), "8");

    // "²" after "!" is refused, "^" after "!" accepted; neither follows an operator.
    press(calculator, {"AC", "5", "!", "²"});
    EXPECT_EQ(calculator.primaryString(), "5!");
    press(calculator, "^");
    EXPECT_EQ(calculator.primaryString(), "5!^");
    press(calculator, {"AC", "5", "+", "^", "²"});
    EXPECT_EQ(calculator.primaryString(), "5+");

    press(calculator, {"AC", "(", "2", ")", "²", "="});
    EXPECT_EQ(calculator.primaryString(), "4");
}

TEST_F(RootTest, SquareRootKey) {
    Calculator calculator;
    press(calculator, {"5", "√"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"√ √", "N 5"}));
    press(calculator, {"AC", "0", "√"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"√ √"}));
    press(calculator, {"9", "="});
    EXPECT_EQ(calculator.primaryString(), "3");

    press(calculator, {"AC", "(", "4", ")", "√"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"( (", "N 4", ") )", "O ×", "√ √"}));
    press(calculator, {"AC", "2", "^", "√"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 2", "^ ^", "( (", "√ √"}));
    // A number after "^" gets its own parenthesis when wrapped.
    press(calculator, {"AC", "2", "^", "9", "√"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 2", "^ ^", "( (", "√ √", "N 9"}));
    EXPECT_EQ(calculator.secondaryString(), "8");
}

TEST_F(FactorialTest, FactorialKey) {
    Calculator calculator;
    press(calculator, {"5", "!"});
    EXPECT_EQ(calculator.secondaryString(), "120");
    press(calculator, "!");
    EXPECT_EQ(calculator.primaryString(), "5!");
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "120");
    press(calculator, {"AC", "+", "!"});
    EXPECT_EQ(calculator.primaryString(), "0+");
}

TEST_F(FunctionTest, FunctionsInDegreesAndRadians) {
    Calculator calculator;
    press(calculator, {"9", "0", "sin"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"F sin", "( (", "N 90"}));
    EXPECT_EQ(calculator.ostreloLine().parentheses, 1);
    EXPECT_EQ(calculator.primaryString(), "sin(90");
    EXPECT_EQ(calculator.secondaryString(), "1");
    EXPECT_EQ(calculator.radiantText(), "deg");
    EXPECT_EQ(calculator.radiantWatchText(), "deg");

    press(calculator, "rad");
    EXPECT_TRUE(calculator.radiantFlag());
    EXPECT_EQ(calculator.radiantText(), "rad");
    EXPECT_EQ(calculator.secondaryString(), "0.89399666");
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "0.89399666");

    press(calculator, "deg");
    press(calculator, {"1", "cos⁻¹"});
    EXPECT_EQ(calculator.primaryString(), "cos⁻¹(1");
    EXPECT_EQ(calculator.secondaryString(), "0");
    press(calculator, {"AC", "1", "0", "0", "log"});
    EXPECT_EQ(calculator.secondaryString(), "2");
    press(calculator, {"AC", "1", "㏑"});
    EXPECT_EQ(calculator.secondaryString(), "0");

    // Hyperbolic functions switch to radians for good.
    press(calculator, {"AC", "1", "sinh"});
    EXPECT_TRUE(calculator.radiantFlag());
    EXPECT_EQ(calculator.radiantText(), "rad");
    EXPECT_EQ(calculator.secondaryString(), "1.17520119");
    press(calculator, "AC");
    EXPECT_TRUE(calculator.radiantFlag());
    EXPECT_EQ(calculator.radiantWatchText(), "rad");
}

TEST_F(FunctionTest, WhereAFunctionGoes) {
    Calculator calculator;
    press(calculator, "sin");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"F sin", "( ("}));
    press(calculator, "cos");
    EXPECT_EQ(calculator.primaryString(), "sin(cos(");
    EXPECT_EQ(calculator.ostreloLine().parentheses, 2);

    press(calculator, {"AC", "(", "2", ")", "tan"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"( (", "N 2", ") )", "O ×", "F tan", "( ("}));
    press(calculator, {"AC", "√", "sin"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"√ √", "( (", "F sin", "( ("}));
    press(calculator, {"AC", "2", "^", "5", "sin"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 2", "^ ^", "( (", "F sin", "( (", "N 5"}));
    EXPECT_EQ(calculator.ostreloLine().parentheses, 2);
    press(calculator, {"AC", "2", "+", "5", "tanh⁻¹"});
    EXPECT_EQ(calculator.primaryString(), "2+tanh⁻¹(5");
    // An unknown key only refreshes.
    calculator.enterFunctionKey("exp");
    EXPECT_EQ(calculator.primaryString(), "2+tanh⁻¹(5");
}

TEST_F(ConstantTest, ConstantsReplaceANumberOrFollowAnOperand) {
    Calculator calculator;
    press(calculator, {"5", "𝜋"});
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{CalculatorLine{"𝜋", "N", 3.141592653589793, 9, true, 8, 0}}));
    EXPECT_EQ(calculator.primaryString(), "𝜋");
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), "±");

    press(calculator, {"AC", "2", "×", "𝜋"});
    EXPECT_EQ(calculator.primaryString(), "2×𝜋");
    EXPECT_EQ(calculator.secondaryString(), "6.28318531");

    press(calculator, {"AC", "(", "1", ")", "𝑒"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"( (", "N 1", ") )", "O ×", "N 𝑒:2.7182818284590451"}));
    press(calculator, {"AC", "2", "^", "𝜑"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 2", "^ ^", "( (", "N 𝜑:1.6180339887498949"}));
}

TEST_F(RandomKeyTest, RandomFractionsAndWholeNumbers) {
    foundation::RandomSource::replaceWordSource([] { return halfWord; });
    Calculator calculator;
    press(calculator, "@");
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{CalculatorLine{"", "N", halfFraction, 9, true, 8, 0}}));
    EXPECT_EQ(calculator.primaryString(), "0.50000000");

    // After ")" every random key inserts "×" first, so the calculation still evaluates.
    for (const char* key : {"@", "#", "rand"}) {
        press(calculator, {"AC", "(", "2", ")", key});
        EXPECT_EQ(storedShape(), (std::vector<std::string>{"( (", "N 2", ") )", "O ×", halfShape})) << key;
        press(calculator, "=");
        EXPECT_EQ(calculator.secondaryString(), "(2)×0.5=1") << key;
    }

    // After a number below one, a new fraction; after 6 or 6.9 a whole number 0...5.
    press(calculator, {"AC", "0", ".", "2", "5", "#"});
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{CalculatorLine{"", "N", halfFraction, 9, true, 8, 0}}));
    press(calculator, {"AC", "6", "#"});
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{CalculatorLine{"", "N", 3.0, 1, false, 0, 0}}));
    press(calculator, {"AC", "6", ".", "9", "rand"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 3"}));
    press(calculator, "5");  // a random whole number takes further digits
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 35"}));

    press(calculator, {"AC", "5", "!", "#"});
    EXPECT_EQ(calculator.primaryString(), "5!");
    press(calculator, {"AC", "5", "+", "#"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 5", "O +", halfShape}));
}

TEST_F(RandomKeyTest, NumbersWithoutABoundAreRefused) {
    foundation::RandomSource::replaceWordSource([] { return halfWord; });
    Calculator calculator;
    press(calculator, {"5", "±", "#"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N -5"}));
    EXPECT_EQ(calculator.primaryString(), "(−5)");

    // 99999 × 99999 = 9999800001, beyond 2^32.
    press(calculator, "AC");
    type(calculator, "99999");
    press(calculator, "×");
    type(calculator, "99999");
    press(calculator, {"=", "rand"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 9999800001"}));

    // 2^32 is refused; the largest bound below it, 2^32 - 1, is accepted.
    press(calculator, {"AC", "6", "5", "5", "3", "6", "×", "6", "5", "5", "3", "6", "=", "#"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 4294967296"}));
    press(calculator, {"−", "1", "=", "#"});
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{CalculatorLine{"", "N", 2147483648.0, 10, false, 0, 0}}));

    // Non-finite numbers (as a restore can bring them) are refused too.
    for (double value : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
        storeLines({numberLine(value, 9)});
        calculator.reloadFromSettings();
        press(calculator, "#");
        ASSERT_EQ(storedLines().size(), 1u);
        EXPECT_FALSE(std::isfinite(storedLines()[0].number));
    }
}

TEST_F(ParenthesisTest, OpeningAndClosing) {
    Calculator calculator;
    press(calculator, ")");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 0"}));
    press(calculator, "(");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"( ("}));
    press(calculator, {"(", "3", ")"});
    EXPECT_EQ(calculator.ostreloLine().parentheses, 1);
    EXPECT_EQ(storedLines().back().parentheses, 1);
    press(calculator, {")", ")"});
    EXPECT_EQ(calculator.primaryString(), "((3))");
    EXPECT_EQ(calculator.ostreloLine().parentheses, 0);

    press(calculator, {"AC", "2", "("});
    EXPECT_EQ(calculator.primaryString(), "2×(");
    press(calculator, {"AC", "7", "=", "("});
    EXPECT_EQ(calculator.primaryString(), "7×(");
    press(calculator, {"AC", "5", "!", "("});
    EXPECT_EQ(calculator.primaryString(), "5!×(");
    press(calculator, {"AC", "2", "+", ")"});
    EXPECT_EQ(calculator.primaryString(), "2+");
}

TEST_F(ParenthesisTest, GroupKeysPutTheCalculationInParentheses) {
    Calculator calculator;
    press(calculator, {"2", "+", "3", "}"});
    EXPECT_EQ(calculator.primaryString(), "(2+3)");
    EXPECT_EQ(calculator.ostreloLine().parentheses, 0);
    press(calculator, {"×", "}"});
    EXPECT_EQ(calculator.primaryString(), "(2+3)×");

    press(calculator, {"AC", "2", "+", "3", "{"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"( (", "N 2", "O +", "N 3"}));
    EXPECT_EQ(calculator.ostreloLine().parentheses, 1);
    // The stored last line carries the open group, so another object (or a reload) keeps it.
    EXPECT_EQ(storedLines().back().parentheses, 1);
    Calculator reloaded;
    press(reloaded, {")", "×", "4", "="});
    EXPECT_EQ(reloaded.primaryString(), "20");
    calculator.reloadFromSettings();
    EXPECT_EQ(calculator.primaryString(), "20");
}

TEST_F(ReciprocalTest, ReciprocalKey) {
    Calculator calculator;
    press(calculator, {"4", "∕"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 1", "O ÷", "N 4"}));
    EXPECT_EQ(calculator.primaryString(), "1÷4");
    EXPECT_EQ(calculator.secondaryString(), "0.25");

    press(calculator, {"AC", "2", "+", "3", "∕"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 1", "O ÷", "( (", "N 2", "O +", "N 3", ") )"}));
    EXPECT_EQ(calculator.secondaryString(), "0.2");
    EXPECT_EQ(calculator.ostreloLine().parentheses, 0);

    press(calculator, {"AC", "5", "!", "∕"});
    EXPECT_EQ(calculator.primaryString(), "1÷(5!)");

    press(calculator, {"AC", "8", "=", "∕"});
    EXPECT_EQ(storedLines().back(), (CalculatorLine{"", "N", 8.0, 1, false, 0, 0}));
    EXPECT_EQ(calculator.secondaryString(), "0.125");

    press(calculator, {"AC", "(", "2", "∕"});
    EXPECT_EQ(calculator.primaryString(), "(2");
    press(calculator, {"AC", "2", "+", "∕"});
    EXPECT_EQ(calculator.primaryString(), "2+");
}

TEST_F(LoanTest, ThreePressesGiveTheMonthlyPayment) {
    Calculator calculator;
    type(calculator, "1000");
    press(calculator, "𝑖");
    EXPECT_EQ(calculator.creditNextStep(), 1);
    EXPECT_EQ(calculator.creditCurrentStep(), 0);
    EXPECT_EQ(calculator.primaryString(), "1,000×(");
    type(calculator, "6");
    press(calculator, "𝑖");
    EXPECT_EQ(calculator.creditNextStep(), 2);
    EXPECT_EQ(calculator.creditCurrentStep(), 1);
    EXPECT_EQ(storedLines().size(), 22u);
    EXPECT_EQ(calculator.primaryString(), "1,000×(6%÷12)÷(1−(6%÷12+1)^(");
    type(calculator, "12");
    press(calculator, "𝑖");
    EXPECT_EQ(calculator.primaryString(), "86.07 ");
    EXPECT_EQ(calculator.creditNextStep(), 0);
    EXPECT_EQ(calculator.creditCurrentStep(), 0);
    ASSERT_EQ(storedLines().size(), 1u);
    EXPECT_NEAR(storedLines()[0].number, 86.0664, 1e-4);
    EXPECT_NE(calculator.secondaryString()->find("=86.0664"), std::string::npos);
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");
}

TEST_F(LoanTest, GermanMoneyTextAndRefusedSteps) {
    setLocale("de_DE");
    Calculator calculator;
    press(calculator, {"1", "0", "0", "0", "𝑖", "6", "𝑖", "1", "2", "𝑖"});
    EXPECT_EQ(calculator.primaryString(), "86,07 ");

    // A principal that is not a single number does not start the prompts.
    press(calculator, {"AC", "2", "+", "3", "𝑖"});
    EXPECT_EQ(calculator.creditNextStep(), 0);
    EXPECT_EQ(calculator.primaryString(), "2+3");

    // A rate of 0 ends the prompts and evaluates what is there.
    press(calculator, {"AC", "1", "0", "0", "0", "𝑖", "0", "𝑖"});
    EXPECT_EQ(calculator.creditNextStep(), 0);
    EXPECT_EQ(calculator.creditCurrentStep(), 0);
    EXPECT_EQ(calculator.primaryString(), "0");

    // A month count that is not a whole number of at least one appends "×0": no payment.
    press(calculator, {"AC", "1", "0", "0", "0", "𝑖", "6", "𝑖", "2", ",", "5", "𝑖"});
    EXPECT_EQ(calculator.primaryString(), "ERROR");
    EXPECT_EQ(calculator.creditNextStep(), 0);
}

TEST_F(LoanTest, AHugePaymentIsShownUnroundedNeverAsInfinity) {
    Calculator calculator;
    press(calculator, {"1", "0", "^", "3", "0", "8", "="});
    ASSERT_EQ(calculator.ostreloLine().number, 1e308);
    press(calculator, {"𝑖", "6", "𝑖", "1", "2", "𝑖"});
    ASSERT_TRUE(calculator.primaryString());
    const std::string& text = *calculator.primaryString();
    EXPECT_EQ(text.find("∞"), std::string::npos) << text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
    ASSERT_GT(text.size(), 4u);
    EXPECT_EQ(text.substr(text.size() - 4), ".00 ") << text;
    EXPECT_EQ(text.substr(0, 6), "8,606,") << text;
}

}  // namespace
}  // namespace calculatortest
