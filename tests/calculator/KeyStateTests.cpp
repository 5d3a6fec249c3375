#include "tests/calculator/CalculatorTestSupport.h"

#include "engine/ButtonState.h"

namespace calculatortest {
namespace {

using ostrelo::ButtonState;
using KeyStateTest = CalculatorTest;

TEST_F(KeyStateTest, SeparatorOrSignKeyFollowsTheCurrentLine) {
    Calculator calculator;
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), ".");
    type(calculator, "5");
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), ".");
    press(calculator, ".");
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), "±");
    for (const char* key : {"+", "(", "sin"}) {
        press(calculator, key);
        EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), ".") << key;
    }
    press(calculator, {"AC", "4", "=",});
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), "±");
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");
    press(calculator, "!");
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), ".");
    EXPECT_EQ(calculator.buttonClearAllText(), "C");
}

TEST_F(KeyStateTest, ASquareLineIsTitledAsAfterThePowerSign) {
    storeLines({numberLine(3, 1), symbolLine("²", "²")});
    Calculator calculator;
    EXPECT_EQ(calculator.primaryString(), "3²");
    EXPECT_EQ(calculator.secondaryString(), "9");
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), ".");
    // Nothing but an operator-free continuation fits after it: digits and operators are refused.
    press(calculator, {"7", "+"});
    EXPECT_EQ(calculator.primaryString(), "3²");
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "9");

    setLocale("de_DE");
    storeLines({numberLine(3, 1), symbolLine("²", "²")});
    calculator.reloadFromSettings();
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), ",");
}

TEST_F(KeyStateTest, EqualsKeyStateFollowsTheEvaluation) {
    Calculator calculator;
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
    press(calculator, {"2", "÷"});
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);
    press(calculator, "0");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);
    EXPECT_EQ(calculator.secondaryString(), "");
    press(calculator, "C");
    press(calculator, "4");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
    EXPECT_EQ(calculator.secondaryString(), "0.5");

    // A live result of negative zero shows as 0.
    press(calculator, {"AC", "0", "±", "×", "5", "±"});
    EXPECT_EQ(calculator.primaryString(), "0×(−5)");
    EXPECT_EQ(calculator.secondaryString(), "0");
}

TEST_F(KeyStateTest, MemoryTextAndRecallKeyState) {
    {
        foundation::UserDefaults suite;
        suite.set("memory", std::int64_t{3});
        suite.set("m1", ostrelo::StackLineRecord::encode(numberLine(2, 1)));
        suite.set("m2", ostrelo::StackLineRecord::encode(symbolLine("+", "O")));
        suite.set("m3", ostrelo::StackLineRecord::encode(numberLine(3, 1)));
    }
    Calculator calculator;
    EXPECT_EQ(calculator.memoryPrimaryString(), "2+3=5");
    EXPECT_EQ(calculator.buttonMemoryRecallColor(), ButtonState::memoryNotEmpty);
    EXPECT_EQ(calculator.memoryOstreloLine(), numberLine(3, 1));

    foundation::UserDefaults().set("memory", std::int64_t{1});
    calculator.reloadFromSettings();
    EXPECT_EQ(calculator.memoryPrimaryString(), "2");
    EXPECT_EQ(calculator.buttonMemoryRecallColor(), ButtonState::memoryNotEmpty);

    foundation::UserDefaults().set("memory", std::int64_t{2});
    calculator.reloadFromSettings();
    EXPECT_EQ(calculator.memoryPrimaryString(), "2+");
}

}  // namespace
}  // namespace calculatortest
