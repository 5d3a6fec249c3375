#include "tests/dates_calculator/DateCalculatorTestSupport.h"
#include "tests/support/CalculatorTestApi.h"

#include <functional>

namespace datecalculatortest {
namespace {

using DateEntryTest = DateCalculatorTest;
using ostrelo::ButtonState;

TEST_F(DateEntryTest, WorkedExampleInEnglish) {
    Calculator calculator;
    keys(calculator, "24.12");
    EXPECT_FALSE(calculator.dateCalculator());
    EXPECT_EQ(calculator.primaryString(), "24.12");

    EXPECT_EQ(calculator.evaluateDateEntry(), "24.12.");
    EXPECT_TRUE(calculator.dateCalculator());
    EXPECT_EQ(calculator.dateDigits(), 4);
    EXPECT_EQ(calculator.primaryString(), "24.12.");
    EXPECT_EQ(calculator.secondaryString(), "");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);
    EXPECT_TRUE(storedDateMode());
    EXPECT_EQ(storedDateDigits(), 4);

    keys(calculator, "2026");
    ASSERT_EQ(storedLines().size(), 1u);
    EXPECT_TRUE(sameLine(storedLines().front(), CalculatorLine{"", "N", 24.122026, 8, true, 6, 0}));
    EXPECT_EQ(calculator.primaryString(), "24.12.2026");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);

    press(calculator, "+");
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 +");
    EXPECT_EQ(calculator.secondaryString(), "");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);

    press(calculator, "1");
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 + 1 day");
    EXPECT_EQ(calculator.secondaryString(), "25.12.2026");
    press(calculator, "0");
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 + 10 days");
    EXPECT_EQ(calculator.secondaryString(), "3.1.2027");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);

    press(calculator, "𝑑");
    EXPECT_EQ(calculator.primaryString(), "3.1.2027");
    EXPECT_EQ(calculator.secondaryString(), "24.12.2026 + 10 days = 3.1.2027");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
    EXPECT_EQ(calculator.buttonClearAllText(), "AC");
    EXPECT_FALSE(calculator.dateCalculator());
    EXPECT_EQ(calculator.dateDigits(), 0);
    EXPECT_EQ(calculator.dateCompleteString(), "");
    EXPECT_EQ(calculator.dateResultString(), "");
    EXPECT_FALSE(storedDateMode());
    EXPECT_EQ(storedDateDigits(), 0);
    // The stack stays for the caller, which clears it.
    EXPECT_EQ(storedLines().size(), 3u);

    // "−" subtracts; the live result follows every key.
    press(calculator, "AC");
    keys(calculator, "24.12.2026");
    press(calculator, {"−", "1", "0"});
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 − 10 days");
    EXPECT_EQ(calculator.secondaryString(), "14.12.2026");
}

TEST_F(DateEntryTest, WorkedExampleInGermanWithGermanUnitsAndWeekday) {
    setLocale("de_DE");
    Calculator calculator;
    keys(calculator, "24,12,2026");
    EXPECT_EQ(calculator.primaryString(), "24.12.2026");
    press(calculator, {"−", "1"});
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 − 1 Tag");
    EXPECT_EQ(calculator.secondaryString(), "23.12.2026");
    press(calculator, "𝑑");
    EXPECT_EQ(calculator.primaryString(), "23.12.2026");
    EXPECT_EQ(calculator.secondaryString(), "24.12.2026 − 1 Tag = 23.12.2026");

    press(calculator, "AC");
    keys(calculator, "24,12,2026");
    press(calculator, {"+", "0"});
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 + 0 Tage");
    EXPECT_EQ(calculator.secondaryString(), "24.12.2026");
    keys(calculator, "2");
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 + 2 Tage");
    keys(calculator, "000");
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 + 2.000 Tage");
    EXPECT_EQ(calculator.secondaryString(), "15.6.2032");

    press(calculator, "AC");
    keys(calculator, "24,12,2026");
    press(calculator, "𝑑");
    EXPECT_EQ(calculator.primaryString(), "Donnerstag (KW52)");
    EXPECT_EQ(calculator.secondaryString(), "24.12.2026 = Donnerstag (KW52)");
}

TEST_F(DateEntryTest, UnitsInEnglishAndGrouping) {
    Calculator calculator;
    keys(calculator, "24.12.2026");
    press(calculator, {"+", "0"});
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 + 0 days");
    keys(calculator, "2");
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 + 2 days");
    press(calculator, "C");
    keys(calculator, "1000");
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 + 1,000 days");
    EXPECT_EQ(calculator.secondaryString(), "19.9.2029");
}

TEST_F(DateEntryTest, WeekdaysAndIsoWeeksAroundYearEnds) {
    struct Case {
        const char* typed;
        const char* answer;
        const char* equation;
    };
    const std::vector<Case> cases{
        {"24.12.2026", "Thursday (CW52)", "24.12.2026 = Thursday (CW52)"},
        {"3.1.2027", "Sunday (CW53)", "3.1.2027 = Sunday (CW53)"},
        {"4.1.2027", "Monday (CW01)", "4.1.2027 = Monday (CW01)"},
        {"1.1.2026", "Thursday (CW01)", "1.1.2026 = Thursday (CW01)"},
        {"31.12.2024", "Tuesday (CW01)", "31.12.2024 = Tuesday (CW01)"},
        {"1.1.2021", "Friday (CW53)", "1.1.2021 = Friday (CW53)"},
        {"29.2.2024", "Thursday (CW09)", "29.2.2024 = Thursday (CW09)"},
    };
    for (const auto& c : cases) {
        Calculator calculator;
        press(calculator, "AC");
        keys(calculator, c.typed);
        ASSERT_TRUE(calculator.dateCalculator()) << c.typed;
        press(calculator, "𝑑");
        EXPECT_EQ(calculator.primaryString(), c.answer) << c.typed;
        EXPECT_EQ(calculator.secondaryString(), c.equation) << c.typed;
        EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
    }
}

TEST_F(DateEntryTest, ErasAndTheGregorianReform) {
    Calculator calculator;
    keys(calculator, "1.1.0001");
    EXPECT_EQ(calculator.primaryString(), "1.1.0001");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
    press(calculator, {"−", "1"});
    EXPECT_EQ(calculator.secondaryString(), "31.12.1 BC");
    press(calculator, "𝑑");
    EXPECT_EQ(calculator.primaryString(), "31.12.1 BC");
    EXPECT_EQ(calculator.secondaryString(), "1.1.0001 − 1 day = 31.12.1 BC");

    // A result after the era carries no era text.
    press(calculator, "AC");
    keys(calculator, "1.1.0001");
    press(calculator, {"+", "0"});
    EXPECT_EQ(calculator.secondaryString(), "1.1.1");
    press(calculator, "C");
    keys(calculator, "400");
    EXPECT_EQ(calculator.secondaryString(), "5.2.2");

    // The ten days of October 1582 do not exist.
    press(calculator, "AC");
    keys(calculator, "15.10.1582");
    press(calculator, {"−", "1", "𝑑"});
    EXPECT_EQ(calculator.primaryString(), "4.10.1582");
    EXPECT_EQ(calculator.secondaryString(), "15.10.1582 − 1 day = 4.10.1582");
    press(calculator, "AC");
    keys(calculator, "4.10.1582");
    press(calculator, {"+", "1"});
    EXPECT_EQ(calculator.secondaryString(), "15.10.1582");
    press(calculator, "AC");
    keys(calculator, "10.10.1582");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);
    press(calculator, "𝑑");
    EXPECT_EQ(calculator.primaryString(), "ERROR");
    EXPECT_EQ(calculator.secondaryString(), "10.10.1582 = ERROR");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
}

TEST_F(DateEntryTest, OnlyDayMonthPairsBecomeDates) {
    Calculator calculator;
    for (const char* typed : {"31.4", "1.13", "0.5", "123.4", "1.123", "30.2", "0.0"}) {
        press(calculator, "AC");
        keys(calculator, typed);
        auto before = storedLines();
        EXPECT_EQ(calculator.evaluateDateEntry(), "") << typed;
        EXPECT_FALSE(calculator.dateCalculator()) << typed;
        EXPECT_EQ(storedLines(), before) << typed;  // the separator is refused by number entry
        EXPECT_FALSE(storedDateMode());
    }
    // "12" and the separator is a plain separator.
    press(calculator, "AC");
    keys(calculator, "12.");
    EXPECT_FALSE(calculator.dateCalculator());
    EXPECT_EQ(calculator.primaryString(), "12.");

    press(calculator, "AC");
    keys(calculator, "30.4.");
    EXPECT_TRUE(calculator.dateCalculator());
    EXPECT_EQ(calculator.primaryString(), "30.4.");

    // 29 February is a date until the year says otherwise.
    press(calculator, "AC");
    keys(calculator, "29.2.");
    EXPECT_TRUE(calculator.dateCalculator());
    keys(calculator, "2023");
    EXPECT_EQ(calculator.primaryString(), "29.2.2023");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);
    press(calculator, "𝑑");
    EXPECT_EQ(calculator.primaryString(), "ERROR");
    EXPECT_EQ(calculator.secondaryString(), "29.2.2023 = ERROR");
    press(calculator, "AC");
    keys(calculator, "29.2.2024");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);

    // A typed leading zero of the month is read as the month.
    press(calculator, "AC");
    EXPECT_EQ((keys(calculator, "5.03"), calculator.evaluateDateEntry()), "5.3.");
    EXPECT_EQ(calculator.dateDigits(), 3);
    keys(calculator, "2026");
    EXPECT_EQ(calculator.primaryString(), "5.3.2026");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
}

TEST_F(DateEntryTest, YearDigitsStopAtNineDigits) {
    Calculator calculator;
    keys(calculator, "24.12.");
    keys(calculator, "123456");
    EXPECT_EQ(calculator.ostreloLine().digits, 9);
    EXPECT_EQ(calculator.primaryString(), "24.12.12345");
}

TEST_F(DateEntryTest, SeparatorTwiceFillsInTodayFromTheClock) {
    foundation::Clock::pinAt(utc(2026, 12, 7, 23, 59));
    Calculator calculator;
    press(calculator, ".");
    EXPECT_EQ(calculator.primaryString(), "0.");
    EXPECT_EQ(calculator.evaluateDateEntry(), "");
    EXPECT_TRUE(calculator.dateCalculator());
    EXPECT_EQ(calculator.primaryString(), "7.12.2026");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
    EXPECT_EQ(calculator.dateDigits(), 3);
    EXPECT_EQ(calculator.dateString(), "7.12.");
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{CalculatorLine{"7.122026", "N", 7.122026, 7, true, 6, 0}}));
    EXPECT_TRUE(storedDateMode());
    EXPECT_EQ(storedDateDigits(), 3);
    press(calculator, "𝑑");
    EXPECT_EQ(calculator.primaryString(), "Monday (CW50)");
    EXPECT_EQ(calculator.secondaryString(), "7.12.2026 = Monday (CW50)");

    // Another day, in German: the line's text is the same in every locale.
    setLocale("de_DE");
    foundation::Clock::pinAt(utc(2027, 1, 5, 0, 1));
    Calculator german;
    press(german, "AC");
    keys(german, ",,");
    EXPECT_EQ(german.primaryString(), "5.1.2027");
    EXPECT_EQ(german.dateDigits(), 2);
    press(german, {"+", "3", "0"});
    EXPECT_EQ(german.primaryString(), "5.1.2027 + 30 Tage");
    EXPECT_EQ(german.secondaryString(), "4.2.2027");
}

TEST_F(DateEntryTest, YearDigitsTypedAfterTodayExtendTheYearAsTyped) {
    // Today's date followed by further digits reads like the same date typed by hand.
    Calculator filled;
    keys(filled, "..");
    keys(filled, "1");
    EXPECT_EQ(filled.primaryString(), "7.12.20261");
    EXPECT_TRUE(sameLine(storedLines().front(), CalculatorLine{"7.1220261", "N", 7.1220261, 8, true, 7, 0}));
    press(filled, "𝑑");
    Calculator typed;
    press(typed, "AC");
    keys(typed, "7.12.20261");
    press(typed, "𝑑");
    EXPECT_EQ(filled.primaryString(), typed.primaryString());
    EXPECT_EQ(filled.secondaryString(), typed.secondaryString());
    EXPECT_EQ(filled.secondaryString(), "7.12.20261 = " + typed.primaryString().value_or(""));

    press(filled, "AC");
    keys(filled, "..");
    keys(filled, "1");
    press(filled, {"+", "3"});
    EXPECT_EQ(filled.primaryString(), "7.12.20261 + 3 days");
    EXPECT_EQ(filled.secondaryString(), "10.12.20261");

    press(filled, "AC");
    keys(filled, "..");
    keys(filled, "05");
    EXPECT_EQ(filled.primaryString(), "7.12.202605");
    EXPECT_EQ(filled.ostreloLine().digits, 9);
    keys(filled, "7");  // the ninth digit was the last
    EXPECT_EQ(filled.primaryString(), "7.12.202605");

    // In German too, where the filled-in text keeps its ".".
    setLocale("de_DE");
    foundation::Clock::pinAt(utc(2027, 1, 5));
    Calculator german;
    press(german, "AC");
    keys(german, ",,");
    keys(german, "3");
    EXPECT_EQ(german.primaryString(), "5.1.20273");
    EXPECT_TRUE(sameLine(storedLines().front(), CalculatorLine{"5.120273", "N", 5.120273, 7, true, 6, 0}));

    // A reload reads the same year from the stored line.
    Calculator reloaded;
    reloaded.reloadFromSettings();
    EXPECT_EQ(reloaded.primaryString(), "5.1.20273");
}

TEST_F(DateEntryTest, OperatorCompletesTheCurrentYearKeepingTypedMonthDigits) {
    Calculator calculator;
    keys(calculator, "15.3.");
    press(calculator, "+");
    EXPECT_TRUE(sameLine(storedLines().front(), CalculatorLine{"", "N", 15.32026, 7, true, 5, 0}));
    EXPECT_EQ(calculator.primaryString(), "15.3.2026 +");
    press(calculator, "−");
    EXPECT_TRUE(sameLine(storedLines().front(), CalculatorLine{"", "N", 15.32026, 7, true, 5, 0}));
    EXPECT_EQ(storedLines().back(), symbolLine("−", "O"));
    EXPECT_EQ(calculator.primaryString(), "15.3.2026 −");

    // A month typed with its leading zero keeps it, so the year still follows dateDigits.
    press(calculator, "AC");
    keys(calculator, "15.03.");
    EXPECT_EQ(calculator.dateDigits(), 4);
    press(calculator, "+");
    EXPECT_TRUE(sameLine(storedLines().front(), CalculatorLine{"", "N", 15.032026, 8, true, 6, 0}));
    EXPECT_EQ(calculator.primaryString(), "15.3.2026 +");
    keys(calculator, "10");
    EXPECT_EQ(calculator.primaryString(), "15.3.2026 + 10 days");
    EXPECT_EQ(calculator.secondaryString(), "25.3.2026");

    // The date key on a day and month alone takes the current year.
    press(calculator, "AC");
    keys(calculator, "24.03.");
    press(calculator, "𝑑");
    EXPECT_EQ(calculator.primaryString(), "Tuesday (CW13)");
    EXPECT_EQ(calculator.secondaryString(), "24.3.2026 = Tuesday (CW13)");
    EXPECT_TRUE(sameLine(storedLines().front(), CalculatorLine{"", "N", 24.032026, 8, true, 6, 0}));
}

TEST_F(DateEntryTest, OperatorAfterTheDateAloneRefreshesForBothStages) {
    // "+" on the date alone appends the operator, refreshes, and then goes through the step
    // for a date and an operator, which refreshes again; each refresh counts the clear key down.
    Calculator calculator;
    keys(calculator, "24.12.2026");
    ostrelo::CalculatorTestApi::setClearCounter(calculator, 4);
    press(calculator, "+");
    EXPECT_EQ(calculator.clearCounter(), 2);
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 +");
    ASSERT_EQ(storedLines().size(), 2u);
    EXPECT_EQ(storedLines().back(), symbolLine("+", "O"));

    // Replacing the operator refreshes once.
    ostrelo::CalculatorTestApi::setClearCounter(calculator, 4);
    press(calculator, "−");
    EXPECT_EQ(calculator.clearCounter(), 3);
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 −");
}

TEST_F(DateEntryTest, DateModeRefusesKeysThatDoNotFit) {
    Calculator calculator;
    keys(calculator, "24.12.2026");
    const auto shown = calculator.primaryString();
    ostrelo::CalculatorTestApi::setPrimaryString(calculator, "untouched");
    press(calculator, "×");
    press(calculator, "÷");
    press(calculator, "±");
    EXPECT_EQ(calculator.primaryString(), "untouched");
    EXPECT_EQ(storedLines().size(), 1u);
    calculator.updatePrimaryString();

    // The number of days is a whole number: no separator once the operator is there.
    press(calculator, "+");
    calculator.enterDecimalSeparator();
    EXPECT_EQ(storedLines().size(), 2u);
    EXPECT_EQ(storedLines().back(), symbolLine("+", "O"));
    press(calculator, "5");
    calculator.enterDecimalSeparator();
    calculator.enterDigit(".");
    press(calculator, "0");
    EXPECT_EQ(storedLines().back(), numberLine(50, 2));
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 + 50 days");
    EXPECT_EQ(calculator.secondaryString(), "12.2.2027");

    // A further operator only marks the entry as not ready.
    press(calculator, "−");
    ASSERT_EQ(storedLines().size(), 3u);
    EXPECT_EQ(storedLines()[1], symbolLine("+", "O"));
    EXPECT_EQ(storedLines()[2], numberLine(50, 2));
    EXPECT_TRUE(calculator.dateError());

    // The separator key in date mode is not a new date entry either.
    press(calculator, {"AC"});
    keys(calculator, "1.1.");
    keys(calculator, "2");
    EXPECT_EQ(calculator.evaluateDateEntry(), "");
    EXPECT_EQ(calculator.dateDigits(), 2);
    EXPECT_TRUE(sameLine(storedLines().front(), CalculatorLine{"", "N", 1.12, 3, true, 2, 0}));
}

TEST_F(DateEntryTest, ClearKeyStepsBackThroughTheDateEntry) {
    Calculator calculator;
    keys(calculator, "24.12.2026");
    press(calculator, {"+", "1", "0"});
    press(calculator, "C");
    EXPECT_EQ(calculator.primaryString(), "24.12.2026 +");
    EXPECT_TRUE(calculator.dateError());
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::error);
    press(calculator, "C");
    EXPECT_EQ(calculator.primaryString(), "24.12.2026");
    EXPECT_EQ(calculator.buttonEqualColor(), ButtonState::success);
    press(calculator, "C");
    EXPECT_EQ(calculator.primaryString(), "24.12.202");

    // Removing the last year digit ends date mode; day and month stay as a number.
    press(calculator, "AC");
    keys(calculator, "24.12.2");
    press(calculator, "C");
    EXPECT_FALSE(calculator.dateCalculator());
    EXPECT_EQ(calculator.primaryString(), "24.12");
    EXPECT_FALSE(storedDateMode());
    EXPECT_EQ(storedDateDigits(), 0);
}

// While a date is entered, the paths that bypass the screen's keys (a paste, a currency
// conversion, the memory keys of the hardware keyboard) leave the date entry alone, so the
// calculator and one reloaded from the store agree on it.
TEST_F(DateEntryTest, SidePathsLeaveTheDateEntryAlone) {
    using SidePath = std::function<void(Calculator&)>;
    const std::vector<std::pair<std::string, SidePath>> paths = {
        {"paste", [](Calculator& c) { c.importCalculationText("42", false); }},
        {"handoff", [](Calculator& c) { c.importCalculationText("7", true); }},
        {"convert", [](Calculator& c) { c.enterCurrencyConversion("EUR", "USD"); }},
        {"MR", [](Calculator& c) { c.pressMemoryKey("MR"); }},
        {"M+", [](Calculator& c) { c.pressMemoryKey("M+"); }},
        {"M−", [](Calculator& c) { c.pressMemoryKey("M−"); }},
        {"MC", [](Calculator& c) { c.pressMemoryKey("MC"); }},
    };
    const std::vector<std::vector<std::string>> stages = {{}, {"+"}, {"+", "5"}};
    for (const auto& [name, path] : paths) {
        for (const auto& stage : stages) {
            SCOPED_TRACE(name + " after " + std::to_string(stage.size()) + " keys");
            Calculator calculator;
            press(calculator, {"AC", "MC", "5", "M+", "AC"});
            keys(calculator, "24.12.2026");
            for (const std::string& key : stage) press(calculator, key);
            const auto lines = storedShape();
            const std::string shown = *calculator.primaryString();
            const std::string result = *calculator.secondaryString();

            path(calculator);
            EXPECT_TRUE(calculator.dateCalculator());
            EXPECT_EQ(storedShape(), lines);
            EXPECT_EQ(calculator.memoryOstrelo().items.size(), 1u);
            EXPECT_EQ(*calculator.primaryString(), shown);
            EXPECT_EQ(*calculator.secondaryString(), result);
            Calculator reloaded;
            reloaded.reloadFromSettings();
            EXPECT_TRUE(reloaded.dateCalculator());
            EXPECT_EQ(*reloaded.primaryString(), shown);
        }
    }
}

}  // namespace
}  // namespace datecalculatortest
