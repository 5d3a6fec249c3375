#include "tests/dates_calculator/DateCalculatorTestSupport.h"
#include "tests/support/CalculatorTestApi.h"

#include <limits>

namespace datecalculatortest {
namespace {

using DateReloadTest = DateCalculatorTest;
using ostrelo::ButtonState;

CalculatorLine dateLine(double number, std::int64_t digits, std::int64_t fraction) {
    return CalculatorLine{"", "N", number, digits, true, fraction, 0};
}

TEST_F(DateReloadTest, DateEntrySurvivesANewCalculatorAndContinuesThere) {
    {
        Calculator first;
        keys(first, "24.12.2026");
        press(first, {"+", "1"});
    }
    Calculator second;
    second.reloadFromSettings();
    EXPECT_TRUE(second.dateCalculator());
    EXPECT_EQ(second.dateDigits(), 4);
    EXPECT_EQ(second.dateString(), "24.12.");
    EXPECT_EQ(second.primaryString(), "24.12.2026 + 1 day");
    EXPECT_EQ(second.secondaryString(), "25.12.2026");
    EXPECT_EQ(second.buttonEqualColor(), ButtonState::success);
    press(second, "0");
    EXPECT_EQ(second.primaryString(), "24.12.2026 + 10 days");
    EXPECT_EQ(second.secondaryString(), "3.1.2027");
    press(second, "𝑑");
    EXPECT_EQ(second.primaryString(), "3.1.2027");
    EXPECT_EQ(second.secondaryString(), "24.12.2026 + 10 days = 3.1.2027");

    // One line, in German, and a date being typed.
    setLocale("de_DE");
    {
        Calculator first;
        press(first, "AC");
        keys(first, "5,03,");
    }
    Calculator third;
    third.reloadFromSettings();
    EXPECT_EQ(third.primaryString(), "5.3.");
    EXPECT_EQ(third.buttonEqualColor(), ButtonState::error);
    keys(third, "2026");
    EXPECT_EQ(third.primaryString(), "5.3.2026");
    EXPECT_EQ(third.buttonEqualColor(), ButtonState::success);
    press(third, {"+", "1"});
    EXPECT_EQ(third.primaryString(), "5.3.2026 + 1 Tag");
    EXPECT_EQ(third.secondaryString(), "6.3.2026");
}

TEST_F(DateReloadTest, ReloadCompletesAMissingYearOnceKeepingTheMonthAsTyped) {
    storeLines({dateLine(24.03, 4, 2), symbolLine("−", "O")});
    storeDateMode(true, 4);
    Calculator calculator;
    ostrelo::CalculatorTestApi::setDateResultString(calculator, "kept");
    calculator.reloadFromSettings();
    EXPECT_TRUE(sameLine(storedLines().front(), dateLine(24.032026, 8, 6)));
    EXPECT_EQ(calculator.primaryString(), "24.3.2026 −");
    EXPECT_EQ(calculator.secondaryString(), "kept");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);
    const auto once = storedLines();
    calculator.reloadFromSettings();
    EXPECT_EQ(storedLines(), once);
    EXPECT_EQ(calculator.primaryString(), "24.3.2026 −");
    press(calculator, "7");
    EXPECT_EQ(calculator.secondaryString(), "17.3.2026");
}

TEST_F(DateReloadTest, ReloadEndsDateModeWhenTheLinesAreNoDateEntry) {
    struct Case {
        const char* what;
        std::vector<CalculatorLine> lines;
        std::int64_t dateDigits;
    };
    const std::vector<Case> cases{
        {"31 April", {dateLine(31.4, 3, 1)}, 3},
        {"month 13", {dateLine(1.13, 3, 2)}, 3},
        {"no separator", {numberLine(2412, 4)}, 4},
        {"a result line", {CalculatorLine{"", "R", 24.12, 4, true, 2, 0}}, 4},
        {"fewer digits than day and month", {dateLine(24.1, 3, 1)}, 4},
        {"times", {dateLine(24.122026, 8, 6), symbolLine("×", "O")}, 4},
        {"days with a separator", {dateLine(24.122026, 8, 6), symbolLine("+", "O"), CalculatorLine{"", "N", 5, 1, true, 0, 0}}, 4},
        {"days with fraction digits", {dateLine(24.122026, 8, 6), symbolLine("+", "O"), dateLine(5.5, 2, 1)}, 4},
        {"stored digits smaller than the day", {dateLine(24.122026, 8, 6)}, 1},
        {"stored digits negative", {dateLine(24.122026, 8, 6)}, -3},
        {"stored digits far below", {dateLine(24.122026, 8, 6)}, std::numeric_limits<std::int64_t>::min()},
        {"stored digits far above", {dateLine(24.122026, 8, 6)}, std::numeric_limits<std::int64_t>::max()},
    };
    for (const auto& c : cases) {
        storeLines(c.lines);
        storeDateMode(true, c.dateDigits);
        Calculator calculator;
        ostrelo::CalculatorTestApi::setDateString(calculator, "old");
        calculator.reloadFromSettings();
        EXPECT_FALSE(calculator.dateCalculator()) << c.what;
        EXPECT_EQ(calculator.dateString(), "") << c.what;
        EXPECT_EQ(calculator.dateDigits(), 0) << c.what;
        EXPECT_FALSE(storedDateMode()) << c.what;
        EXPECT_EQ(storedDateDigits(), 0) << c.what;
        EXPECT_EQ(storedLines(), c.lines) << c.what;  // the lines stay as they are
    }

    // 29 February needs no year to be accepted.
    storeLines({dateLine(29.2, 3, 1)});
    storeDateMode(true, 3);
    Calculator calculator;
    calculator.reloadFromSettings();
    EXPECT_TRUE(calculator.dateCalculator());
    EXPECT_EQ(calculator.primaryString(), "29.2.");

    // No stored mode: false and 0 are written.
    foundation::UserDefaults().removeObject("dateCalculator");
    foundation::UserDefaults().removeObject("dateDigits");
    calculator.reloadFromSettings();
    EXPECT_FALSE(calculator.dateCalculator());
    EXPECT_FALSE(storedDateMode());
    EXPECT_EQ(storedDateDigits(), 0);
    EXPECT_EQ(calculator.primaryString(), "29.2");
}

TEST_F(DateReloadTest, FourLinesLeaveTheDateTextsAlone) {
    storeLines({dateLine(24.122026, 8, 6), symbolLine("+", "O"), numberLine(1, 1), symbolLine("+", "O")});
    storeDateMode(true, 4);
    Calculator calculator;
    ostrelo::CalculatorTestApi::setDateCompleteString(calculator, "as before");
    ostrelo::CalculatorTestApi::setDateResultString(calculator, "result before");
    calculator.reloadFromSettings();
    EXPECT_TRUE(calculator.dateCalculator());
    EXPECT_EQ(calculator.primaryString(), "as before");
    EXPECT_EQ(calculator.secondaryString(), "result before");
    // Digits do nothing with four lines.
    press(calculator, "5");
    EXPECT_EQ(storedLines().size(), 4u);
}

TEST_F(DateReloadTest, DayCountsOutsideTheCalendarOrTheIntegerRangeEndAsError) {
    for (double days : {1e19, -1e19, 1e300, 9.2e18, 4e12}) {
        storeLines({dateLine(24.122026, 8, 6), symbolLine("+", "O"), CalculatorLine{"", "N", days, 9, false, 0, 0}});
        storeDateMode(true, 4);
        Calculator calculator;
        calculator.reloadFromSettings();
        EXPECT_TRUE(calculator.dateCalculator()) << days;
        EXPECT_EQ(calculator.secondaryString(), "") << days;
        EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error) << days;
        press(calculator, "𝑑");
        EXPECT_EQ(calculator.primaryString(), "ERROR") << days;
        ASSERT_TRUE(calculator.secondaryString());
        EXPECT_TRUE(calculator.secondaryString()->ends_with(" days = ERROR")) << *calculator.secondaryString();
        EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
        EXPECT_FALSE(calculator.dateCalculator());
    }
    // The lowest 64-bit count subtracted has no negation.
    storeLines({dateLine(24.122026, 8, 6), symbolLine("−", "O"),
                CalculatorLine{"", "N", -9223372036854775808.0, 9, false, 0, 0}});
    storeDateMode(true, 4);
    Calculator calculator;
    calculator.reloadFromSettings();
    press(calculator, "𝑑");
    EXPECT_EQ(calculator.primaryString(), "ERROR");
}

TEST_F(DateReloadTest, DisagreeingDateDigitsNeverCutOutsideTheText) {
    // A living object whose date digits disagree with its lines: every date key still
    // makes texts and nothing crashes.
    for (std::int64_t digits : {std::numeric_limits<std::int64_t>::min(), std::int64_t{-5}, std::int64_t{0},
                                std::int64_t{1}, std::int64_t{7}, std::int64_t{40},
                                std::numeric_limits<std::int64_t>::max()}) {
        Calculator calculator;
        press(calculator, "AC");
        keys(calculator, "24.12.20");
        ostrelo::CalculatorTestApi::setDateDigits(calculator, digits);
        press(calculator, "2");
        press(calculator, "+");
        press(calculator, "3");
        press(calculator, "C");
        press(calculator, "4");
        EXPECT_TRUE(calculator.primaryString().has_value()) << digits;
        press(calculator, "𝑑");
        EXPECT_FALSE(calculator.dateCalculator()) << digits;
        EXPECT_FALSE(storedDateMode());
    }
}

}  // namespace
}  // namespace datecalculatortest
