#include "tests/dates_calculator/DateCalculatorTestSupport.h"

namespace datecalculatortest {
namespace {

using MemoryKeyTest = DateCalculatorTest;
using ostrelo::ButtonState;

// The memory lines, each as item (or number) and type.
std::vector<std::string> memoryShape(const Calculator& calculator) {
    std::vector<std::string> shape;
    for (const auto& line : calculator.memoryOstrelo().items) {
        if (line.type == "N" || line.type == "R") {
            shape.push_back(line.type + " " + calculatortest::shapeNumber(line.number));
        } else {
            shape.push_back(line.type + " " + line.item);
        }
    }
    return shape;
}

// The memory lines as stored in the suite, read by a new calculator.
std::vector<std::string> storedMemoryShape() {
    Calculator reader;
    return memoryShape(reader);
}

TEST_F(MemoryKeyTest, MemoryPlusAndMinusAppendTheCalculation) {
    Calculator calculator;
    EXPECT_EQ(calculator.buttonMemoryRecallColor(), ButtonState::memoryEmpty);
    keys(calculator, "12");
    press(calculator, "M+");
    EXPECT_EQ(memoryShape(calculator), (std::vector<std::string>{"N 12"}));
    EXPECT_EQ(calculator.memoryPrimaryString(), "12");
    EXPECT_EQ(calculator.buttonMemoryRecallColor(), ButtonState::memoryNotEmpty);
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 12"}));  // the calculation stays

    press(calculator, "AC");
    press(calculator, {"3", "×", "4"});
    press(calculator, "M+");
    EXPECT_EQ(memoryShape(calculator),
              (std::vector<std::string>{"N 12", "O +", "( (", "N 3", "O ×", "N 4", ") )"}));
    ASSERT_TRUE(calculator.memoryPrimaryString());
    EXPECT_TRUE(calculator.memoryPrimaryString()->ends_with("=24")) << *calculator.memoryPrimaryString();
    EXPECT_EQ(storedMemoryShape(), memoryShape(calculator));

    // "M−" on an empty register starts from 0.
    press(calculator, "MC");
    EXPECT_EQ(memoryShape(calculator), (std::vector<std::string>{}));
    EXPECT_EQ(calculator.memoryPrimaryString(), "");
    EXPECT_EQ(calculator.buttonMemoryRecallColor(), ButtonState::memoryEmpty);
    press(calculator, {"AC", "5", "M−"});
    EXPECT_EQ(memoryShape(calculator), (std::vector<std::string>{"N 0", "O −", "N 5"}));
    ASSERT_TRUE(calculator.memoryPrimaryString());
    EXPECT_TRUE(calculator.memoryPrimaryString()->ends_with("=−5")) << *calculator.memoryPrimaryString();
    press(calculator, {"AC", "2", "M−"});
    EXPECT_EQ(memoryShape(calculator), (std::vector<std::string>{"N 0", "O −", "N 5", "O −", "N 2"}));

    // A result is stored as a number.
    press(calculator, {"MC", "AC", "3", "+", "4", "="});
    press(calculator, "M+");
    EXPECT_EQ(memoryShape(calculator), (std::vector<std::string>{"N 7"}));

    // Open parentheses of the calculation are closed in the register.
    press(calculator, {"MC", "AC", "2", "×", "(", "3", "+", "4"});
    press(calculator, "M+");
    EXPECT_EQ(memoryShape(calculator), (std::vector<std::string>{"( (", "N 2", "O ×", "( (", "N 3", "O +", "N 4",
                                                                 ") )", ") )"}));
    // The copied lines keep their own counts; only the register's own "(" and ")" lines
    // move its running count: 1 after its "(", then 0 and −1 for the two ")" lines.
    const auto& memory = calculator.memoryOstrelo().items;
    ASSERT_EQ(memory.size(), 9u);
    EXPECT_EQ(memory[0].parentheses, 1);
    EXPECT_EQ(memory[3].parentheses, 1);
    EXPECT_EQ(memory[7].parentheses, 0);
    EXPECT_EQ(memory[8].parentheses, -1);
    EXPECT_EQ(calculator.memoryOstreloLine().parentheses, -1);
    ASSERT_TRUE(calculator.memoryPrimaryString());
    EXPECT_TRUE(calculator.memoryPrimaryString()->ends_with("=14")) << *calculator.memoryPrimaryString();
}

TEST_F(MemoryKeyTest, MemoryPlusAndMinusRefuseErrors) {
    Calculator calculator;
    press(calculator, {"1", "÷", "0", "="});
    ASSERT_EQ(calculator.primaryString(), "ERROR");
    press(calculator, "M+");
    press(calculator, "M−");
    EXPECT_TRUE(calculator.memoryOstrelo().items.empty());

    // A calculation that does not evaluate leaves the register and says so.
    press(calculator, {"AC", "1", "÷", "0"});
    press(calculator, "M+");
    EXPECT_EQ(calculator.secondaryString(), "M+ ERROR");
    press(calculator, "M−");
    EXPECT_EQ(calculator.secondaryString(), "M− ERROR");
    EXPECT_TRUE(calculator.memoryOstrelo().items.empty());
    EXPECT_TRUE(storedMemoryShape().empty());
}

TEST_F(MemoryKeyTest, RecallByTheTypeOfTheCurrentLine) {
    Calculator calculator;
    press(calculator, {"1", "2", "+", "3", "M+"});
    ASSERT_EQ(memoryShape(calculator), (std::vector<std::string>{"( (", "N 12", "O +", "N 3", ") )"}));

    // A result is replaced by the register.
    press(calculator, {"AC", "7", "="});
    press(calculator, "MR");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"( (", "( (", "N 12", "O +", "N 3", ") )", ") )"}));
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "15");

    // After a number: "×" and the register.
    press(calculator, {"MC", "AC", "2", "M+", "AC", "5", "MR"});
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 5", "O ×", "N 2"}));
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "10");

    // After "(": the register and one ")".
    press(calculator, {"AC", "3", "×", "("});
    press(calculator, "MR");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 3", "O ×", "( (", "N 2", ") )"}));
    EXPECT_EQ(calculator.ostreloLine().parentheses, 0);

    // After an operator: the register in parentheses.
    press(calculator, {"AC", "3", "−"});
    press(calculator, "MR");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 3", "O −", "( (", "N 2", ") )"}));
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "1");

    // An empty register recalls nothing.
    press(calculator, {"MC", "AC", "4"});
    press(calculator, "MR");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 4"}));
}

TEST_F(MemoryKeyTest, RecalledLinesCarryTheRunningParenthesisCountAcrossAReload) {
    {
        Calculator calculator;
        press(calculator, {"5", "M+", "AC", "2", "×", "(", "3"});
        press(calculator, "MR");
        EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 2", "O ×", "( (", "N 3", "O ×", "N 5"}));
        EXPECT_EQ(storedLines().back().parentheses, 1);
    }
    Calculator reloaded;
    EXPECT_EQ(reloaded.ostreloLine().parentheses, 1);
    press(reloaded, ")");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"N 2", "O ×", "( (", "N 3", "O ×", "N 5", ") )"}));
    reloaded.setAutoParenthesis(false);
    press(reloaded, "=");
    EXPECT_EQ(reloaded.primaryString(), "30");

    // A recalled group inside an open parenthesis: the counts run through the group.
    {
        Calculator calculator;
        press(calculator, {"MC", "AC", "1", "+", "2", "M+", "AC", "4", "×", "("});
        press(calculator, "MR");
        std::vector<std::int64_t> counts;
        for (const auto& line : storedLines()) counts.push_back(line.parentheses);
        // 4 × ( ( ( 1 + 2 ) ) )
        EXPECT_EQ(counts, (std::vector<std::int64_t>{0, 0, 1, 2, 3, 3, 3, 3, 2, 1, 0}));
    }
    Calculator again;
    again.reloadFromSettings();
    EXPECT_EQ(again.ostreloLine().parentheses, 0);
    press(again, "=");
    EXPECT_EQ(again.primaryString(), "12");
}

TEST_F(MemoryKeyTest, AClearedRegisterStartsWithoutOpenParentheses) {
    {
        foundation::UserDefaults suite;
        suite.set("memory", std::int64_t{1});
        suite.set("m1", ostrelo::StackLineRecord::encode(CalculatorLine{"(", "(", 0.0, 0, false, 0, 3}));
    }
    Calculator calculator;
    EXPECT_EQ(calculator.memoryOstreloLine().parentheses, 3);
    press(calculator, {"MC", "2", "+", "3", "M+"});
    EXPECT_EQ(calculator.memoryOstreloLine().parentheses, 0);
    EXPECT_EQ(Calculator().memoryOstreloLine().parentheses, 0);
}

TEST_F(MemoryKeyTest, MemoryKeysDoNothingInDateMode) {
    Calculator calculator;
    press(calculator, {"9", "M+", "AC"});
    keys(calculator, "24.12.2026");
    ASSERT_TRUE(calculator.dateCalculator());
    const auto lines = storedLines();
    for (const char* key : {"M+", "M−", "MR", "MC"}) {
        press(calculator, key);
        EXPECT_EQ(memoryShape(calculator), (std::vector<std::string>{"N 9"})) << key;
        EXPECT_EQ(storedLines(), lines) << key;
        EXPECT_EQ(calculator.primaryString(), "24.12.2026") << key;
    }
}

}  // namespace
}  // namespace datecalculatortest
