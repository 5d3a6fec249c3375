#include "engine/CalculatorStack.h"
#include "engine/MemoryCalculatorStack.h"
#include "tests/support/TestEnvironment.h"

#include <limits>

using ostrelo::CalculatorStack;
using ostrelo::MemoryCalculatorStack;

namespace {

class StackTextTest : public testsupport::SuiteTest {};

TEST_F(StackTextTest, NumbersAreWrittenFromTheirValueAndEveryOtherLineByItsItem) {
    CalculatorStack stack;
    EXPECT_EQ(stack.stackText(), "");
    // The displayed text of a number line is never used, only its value.
    stack.pushLine("12,5", "N", 3, true, 1, 0, 12.5);
    stack.pushLine("×", "O", 1, false, 0, 0, 0.0);
    stack.pushLine("(", "(", 1, false, 0, 1, 0.0);
    stack.pushLine("2", "N", 1, false, 0, 1, 2.0);
    stack.pushLine(")", ")", 1, false, 0, 0, 0.0);
    EXPECT_EQ(stack.stackText(), "12.5×(2.0)");
    stack.pushLine("%", "%", 1, false, 0, 0, 0.0);
    stack.pushLine("sin", "F", 1, false, 0, 0, 99.0);
    EXPECT_EQ(stack.stackText(), "12.5×(2.0)%sin");

    stack.clearStack();
    stack.pushLine("0", "R", 1, false, 0, 0, 0.0);
    EXPECT_EQ(stack.stackText(), "0.0");

    stack.clearStack();
    stack.pushLine("", "N", 1, false, 0, 0, -2.0);
    stack.pushLine("−", "O", 1, false, 0, 0, 0.0);
    stack.pushLine("", "N", 1, false, 0, 0, 0.1);
    stack.pushLine("+", "O", 1, false, 0, 0, 0.0);
    stack.pushLine("", "N", 1, false, 0, 0, 1e-05);
    stack.pushLine("+", "O", 1, false, 0, 0, 0.0);
    stack.pushLine("", "R", 1, false, 0, 0, 0.30000000000000004);
    EXPECT_EQ(stack.stackText(), "-2.0−0.1+1e-05+0.30000000000000004");

    // The text is the same in every locale.
    setLocale("de_DE");
    EXPECT_EQ(stack.stackText(), "-2.0−0.1+1e-05+0.30000000000000004");
}

TEST_F(StackTextTest, TheMemoryTextFollowsTheSameRules) {
    MemoryCalculatorStack memory;
    EXPECT_EQ(memory.memoryItemsText(), "");
    memory.pushMemoryLine("3", "N", 1, false, 0, 0, 3.0);
    memory.pushMemoryLine("+", "O", 1, false, 0, 0, 0.0);
    memory.pushMemoryLine("0,5", "R", 1, true, 1, 0, 0.5);
    EXPECT_EQ(memory.memoryItemsText(), "3.0+0.5");
}

}  // namespace
