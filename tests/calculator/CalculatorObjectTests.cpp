#include "tests/calculator/CalculatorTestSupport.h"

#include "engine/ButtonState.h"

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace calculatortest {
namespace {

using ostrelo::ButtonState;

// Runs `body` in a child process (a second deliverable); true when it exits with 0.
bool runInSecondProcess(const std::function<bool()>& body) {
    pid_t child = fork();
    if (child == 0) {
        bool ok = false;
        try {
            ok = body();
        } catch (...) {
            ok = false;
        }
        _exit(ok ? 0 : 1);
    }
    if (child < 0) return false;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

using CalculatorObjectTest = CalculatorTest;

TEST_F(CalculatorObjectTest, FirstStartHoldsOneStoredResetLineAndFreshKeyStates) {
    Calculator calculator;
    ASSERT_EQ(storedLines().size(), 1u);
    EXPECT_EQ(storedLines()[0], (CalculatorLine{"", "R", 0.0, 1, false, 0, 0}));
    EXPECT_EQ(calculator.ostreloLine(), storedLines()[0]);
    EXPECT_TRUE(calculator.memoryOstrelo().items.empty());
    EXPECT_EQ(calculator.primaryString(), "0");
    EXPECT_EQ(calculator.secondaryString(), "");
    EXPECT_EQ(calculator.memoryPrimaryString(), "");
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
    EXPECT_EQ(calculator.buttonMemoryRecallColor(), ButtonState::memoryEmpty);
    EXPECT_EQ(calculator.decimalSeparator(), ".");
    EXPECT_EQ(calculator.decimalSeparatorPlusMinus(), ".");
    EXPECT_EQ(calculator.radiantText(), "⚙");
    EXPECT_EQ(calculator.radiantWatchText(), "deg");
    EXPECT_TRUE(calculator.autoParenthesis());
    EXPECT_FALSE(calculator.scientificNotation());
    EXPECT_FALSE(calculator.dateCalculator());
    EXPECT_EQ(calculator.from(), 0);
    EXPECT_EQ(calculator.to(), 0);
    ASSERT_EQ(calculator.currency().size(), 31u);
    EXPECT_EQ(calculator.currency()[0], "AUD");
    EXPECT_EQ(calculator.currency()[8], "EUR");
    EXPECT_EQ(calculator.currency()[29], "USD");
    EXPECT_EQ(calculator.currency()[30], "ZAR");

    // A second object on the same suite does not add a line.
    Calculator second;
    EXPECT_EQ(storedLines().size(), 1u);
}

TEST_F(CalculatorObjectTest, ButtonStateKeepsItsRawValues) {
    EXPECT_EQ(ostrelo::rawValue(ButtonState::success), 0);
    EXPECT_EQ(ostrelo::rawValue(ButtonState::error), 1);
    EXPECT_EQ(ostrelo::rawValue(ButtonState::memoryNotEmpty), 2);
    EXPECT_EQ(ostrelo::rawValue(ButtonState::memoryEmpty), 3);
    EXPECT_EQ(ostrelo::buttonStateFromRawValue(2), ButtonState::memoryNotEmpty);
    EXPECT_EQ(ostrelo::buttonStateFromRawValue(4), std::nullopt);
    EXPECT_EQ(ostrelo::buttonStateFromRawValue(-1), std::nullopt);
    EXPECT_EQ(sizeof(ButtonState), 1u);
}

TEST_F(CalculatorObjectTest, CreationContinuesTheStoredCalculation) {
    storeLines({numberLine(12, 2), symbolLine("+", "O"), numberLine(3, 1)});
    Calculator calculator;
    EXPECT_EQ(calculator.primaryString(), "12+3");
    EXPECT_EQ(calculator.secondaryString(), "15");
    EXPECT_EQ(calculator.ostreloLine(), numberLine(3, 1));
    press(calculator, "4");
    EXPECT_EQ(calculator.primaryString(), "12+34");
    EXPECT_EQ(storedLines().size(), 3u);
}

TEST_F(CalculatorObjectTest, ReloadWithPendingResetForgetsTheCalculationForGood) {
    Calculator calculator;
    type(calculator, "12");
    press(calculator, "+");
    type(calculator, "3");
    {
        foundation::UserDefaults suite;
        suite.set("memory", std::int64_t{1});
        suite.set("m1", ostrelo::StackLineRecord::encode(numberLine(9, 1)));
        suite.set("reset", true);
    }
    calculator.reloadFromSettings();
    EXPECT_EQ(calculator.primaryString(), "0");
    EXPECT_EQ(calculator.ostrelo().items.size(), 1u);
    EXPECT_EQ(calculator.memoryPrimaryString(), "");
    EXPECT_EQ(calculator.buttonMemoryRecallColor(), ButtonState::memoryEmpty);
    {
        foundation::UserDefaults suite;
        EXPECT_FALSE(suite.boolForKey("reset"));
        EXPECT_EQ(suite.integerForKey("memory"), 0);
    }

    // The next push continues from the reset line; the forgotten lines never come back.
    press(calculator, "+");
    type(calculator, "4");
    EXPECT_EQ(calculator.primaryString(), "0+4");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 0", "O +", "N 4"}));
    Calculator other;
    EXPECT_EQ(other.primaryString(), "0+4");
}

TEST_F(CalculatorObjectTest, CreationWithPendingResetStartsEmpty) {
    storeLines({numberLine(12, 2), symbolLine("+", "O"), numberLine(3, 1)});
    foundation::UserDefaults().set("reset", true);
    Calculator calculator;
    EXPECT_EQ(calculator.primaryString(), "0");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 0"}));
}

TEST_F(CalculatorObjectTest, ReloadWithoutDateModeStoresTheModeOff) {
    Calculator calculator;
    calculator.reloadFromSettings();
    foundation::UserDefaults suite;
    ASSERT_TRUE(suite.object("dateCalculator"));
    EXPECT_EQ(suite.object("dateCalculator")->boolValue(), false);
    EXPECT_EQ(suite.object("dateDigits")->integerValue(), 0);
}

TEST_F(CalculatorObjectTest, DateModeOnBreaksNothing) {
    storeLines({CalculatorLine{"", "N", 24.12, 4, true, 2, 0}});
    {
        foundation::UserDefaults suite;
        suite.set("dateCalculator", true);
        suite.set("dateDigits", std::int64_t{4});
    }
    Calculator calculator;
    calculator.reloadFromSettings();
    EXPECT_TRUE(calculator.dateCalculator());
    EXPECT_EQ(calculator.dateDigits(), 4);

    // Keys that do not belong to date mode change nothing.
    auto before = storedLines();
    press(calculator, {"sin", "(", "𝜋", "×", "÷", "±", "#"});
    EXPECT_EQ(storedLines(), before);
    // Year digits extend the first line; an operator and a day count follow; a fourth line is refused.
    type(calculator, "2026");
    press(calculator, "+");
    type(calculator, "10");
    EXPECT_EQ(storedLines().size(), 3u);
    press(calculator, "+");
    EXPECT_EQ(storedLines().size(), 3u);
    // "AC" leaves date mode and stores that.
    press(calculator, "AC");
    EXPECT_FALSE(calculator.dateCalculator());
    foundation::UserDefaults suite;
    EXPECT_EQ(suite.object("dateCalculator")->boolValue(), false);
    EXPECT_EQ(calculator.primaryString(), "0");
}

// A start's first activation reads the store again only when a reload could find something new.
TEST_F(CalculatorObjectTest, OnlyAChangeSinceCreationCallsForAReload) {
    storeLines({numberLine(12, 2), symbolLine("+", "O"), numberLine(3, 1)});
    EXPECT_TRUE(Calculator().storeAsCreated());
    {
        Calculator keyed;
        type(keyed, "4");
        EXPECT_FALSE(keyed.storeAsCreated());
    }
    {
        Calculator calculator;
        ASSERT_TRUE(runInSecondProcess([] {
            Calculator other;
            press(other, "+");
            return true;
        }));
        EXPECT_FALSE(calculator.storeAsCreated());
        calculator.reloadFromSettings();
        EXPECT_FALSE(calculator.storeAsCreated());
    }
    foundation::UserDefaults().set("dateCalculator", true);
    EXPECT_FALSE(Calculator().storeAsCreated());
}

TEST_F(CalculatorObjectTest, ACalculationTypedInOneProcessIsShownInTheNext) {
    ASSERT_TRUE(runInSecondProcess([] {
        Calculator typing;
        type(typing, "12");
        press(typing, "+");
        type(typing, "3");
        return typing.primaryString() == "12+3";
    }));
    Calculator calculator;
    EXPECT_EQ(calculator.primaryString(), "12+3");
    EXPECT_EQ(calculator.secondaryString(), "15");
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "15");
}

TEST_F(CalculatorObjectTest, ReloadPicksUpLinesPushedByAnotherProcess) {
    Calculator calculator;
    type(calculator, "7");
    ASSERT_TRUE(runInSecondProcess([] {
        Calculator other;
        if (other.primaryString() != "7") return false;
        press(other, "×");
        type(other, "6");
        return other.primaryString() == "7×6";
    }));
    EXPECT_EQ(calculator.primaryString(), "7");
    calculator.reloadFromSettings();
    EXPECT_EQ(calculator.primaryString(), "7×6");
    EXPECT_EQ(calculator.secondaryString(), "42");
    EXPECT_EQ(calculator.ostreloLine(), numberLine(6, 1));
    press(calculator, "=");
    EXPECT_EQ(calculator.primaryString(), "42");
    EXPECT_EQ(storedShape(), (std::vector<std::string>{"R 42"}));
}

}  // namespace
}  // namespace calculatortest
