#include "tests/dates_calculator/DateCalculatorTestSupport.h"
#include "tests/support/CalculatorTestApi.h"

#include "engine/LineFormatter.h"
#include "platform/foundation/NumberFormatter.h"

#include <cmath>
#include <optional>

namespace datecalculatortest {
namespace {

using TextTransferTest = DateCalculatorTest;

CalculatorLine resultLine(double number, std::int64_t digits = 1, std::int64_t fraction = 0) {
    return CalculatorLine{"", "R", number, digits, fraction > 0, fraction, 0};
}

// A calculator whose calculation is one stored result line.
void showResult(double number) {
    storeLines({resultLine(number)});
}

TEST_F(TextTransferTest, ExportWritesTheDisplayText) {
    storeLines({resultLine(42, 2)});
    Calculator calculator;
    EXPECT_EQ(calculator.resultText(), "42");
    EXPECT_EQ(calculator.expressionText(), "42");

    press(calculator, {"AC", "3", "×", "2", "±"});
    EXPECT_EQ(calculator.expressionText(), "3×(−2)");
    EXPECT_EQ(calculator.resultText(), "");

    press(calculator, {"AC", "3", ".", "5", "0", "±"});
    EXPECT_EQ(calculator.resultText(), "(−3.50)");

    showResult(1234567.5);
    Calculator large;
    EXPECT_EQ(large.resultText(), "1,234,567.5");
    large.setScientificNotation(true);
    EXPECT_EQ(large.resultText(), "1.2345675E6");

    setLocale("de_DE");
    Calculator german;
    EXPECT_EQ(german.resultText(), "1.234.567,5");
}

TEST_F(TextTransferTest, ImportReadsOneNumberByTheCurrentLine) {
    Calculator calculator;
    press(calculator, {"7", "+"});
    calculator.importCalculationText("1,234.5", false);
    EXPECT_EQ(storedLines().back(), (CalculatorLine{"", "N", 1234.5, 5, true, 1, 0}));
    calculator.updatePrimaryString();  // as the next key does
    EXPECT_EQ(calculator.primaryString(), "7+1,234.5");

    // A number or a result is replaced by a result line.
    calculator.importCalculationText("12abc", false);
    EXPECT_EQ(storedLines().back(), resultLine(12, 2));
    press(calculator, {"AC", "5", "="});
    calculator.importCalculationText("2.5E3", false);
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{resultLine(2500, 4)}));

    // No number enters 0.
    calculator.importCalculationText("abc", false);
    EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{resultLine(0)}));

    // Nothing after a function name, ")", "²", "!" or "%".
    for (const char* last : {")", "!", "%"}) {
        press(calculator, {"AC", "(", "2"});
        press(calculator, last);
        const auto before = storedLines();
        calculator.importCalculationText("9", false);
        EXPECT_EQ(storedLines(), before) << last;
    }
    for (const auto& last : {symbolLine("sin", "F"), symbolLine("²", "²")}) {
        storeLines({numberLine(2, 1), last});
        Calculator restored;
        restored.importCalculationText("9", false);
        EXPECT_EQ(storedLines(), (std::vector<CalculatorLine>{numberLine(2, 1), last})) << last.item;
    }

    // Handoff texts: "." and no grouping, whatever the locale.
    setLocale("de_DE");
    Calculator german;
    press(german, {"AC", "1", "+"});
    german.importCalculationText("1234.5", true);
    EXPECT_EQ(storedLines().back(), (CalculatorLine{"", "N", 1234.5, 5, true, 1, 0}));
    press(german, {"AC", "1", "+"});
    german.importCalculationText("1.234,5", false);
    EXPECT_EQ(storedLines().back(), (CalculatorLine{"", "N", 1234.5, 5, true, 1, 0}));
}

TEST_F(TextTransferTest, ImportLeavesTheDisplayToTheNextRefresh) {
    // The import changes the lines only; the texts and the clear key's countdown follow at
    // the next refresh (the next key or activation).
    Calculator calculator;
    press(calculator, {"7", "+"});
    ostrelo::CalculatorTestApi::setClearCounter(calculator, 3);
    calculator.importCalculationText("12", false);
    EXPECT_EQ(storedLines().back(), (CalculatorLine{"", "N", 12, 2, false, 0, 0}));
    EXPECT_EQ(calculator.clearCounter(), 3);
    EXPECT_EQ(calculator.primaryString(), "7+");
    calculator.updatePrimaryString();
    EXPECT_EQ(calculator.primaryString(), "7+12");
    EXPECT_EQ(calculator.secondaryString(), "19");
}

// A number too large for a double enters nothing, and says so; other texts that are no number
// enter 0.
TEST_F(TextTransferTest, ImportReadsTheExportsNegativesAndRejectsNonNumbers) {
    Calculator calculator;
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const std::vector<Case> cases{
        {"−42", -42},       {"(−3.50)", -3.5},  {"  (-7)", -7},       {"(2)", 2},
        {"-0.25", -0.25},   {"+8", 8},          {"1e-3", 0.001},      {"1E−3", 0.001},
        {".5", 0.5},        {"5.", 5},          {"3e", 3},            {"1e999", std::nullopt},
        {"-1e400", std::nullopt}, {"1e-999", 0}, {"inf", 0},          {"-inf", 0},
        {"infinity", 0},    {"nan", 0},         {"NaN", 0},           {"0x1A", 0},
        {"0X10p2", 0},      {"(−3", 0},         {"−", 0},             {"", 0},
    };
    for (const auto& c : cases) {
        press(calculator, {"AC", "1", "+"});
        EXPECT_EQ(calculator.importCalculationText(c.text, false), c.value.has_value()) << c.text;
        ASSERT_EQ(storedLines().size(), c.value ? 3u : 2u) << c.text;
        if (!c.value) continue;
        const CalculatorLine line = storedLines().back();
        EXPECT_EQ(line.type, "N") << c.text;
        EXPECT_DOUBLE_EQ(line.number, *c.value) << c.text;
        EXPECT_TRUE(std::isfinite(line.number)) << c.text;
    }
}

TEST_F(TextTransferTest, ExportedNumbersPasteBackAsThemselves) {
    const std::vector<double> values{42,        -42,          0.5,         -0.125,        1234567.25,
                                     -98765.4321, 123456789012.0, -5e15,   0.00012345,   -0.00000001,
                                     999999999, 3.14159265};
    for (const char* locale : {"en_US", "de_DE"}) {
        setLocale(locale);
        for (bool scientific : {false, true}) {
            for (double value : values) {
                showResult(value);
                Calculator calculator;
                calculator.setScientificNotation(scientific);
                const std::string text = calculator.resultText();

                // As a result line.
                press(calculator, "AC");
                calculator.importCalculationText(text, false);
                ASSERT_EQ(storedLines().size(), 1u);
                EXPECT_EQ(storedLines().front().type, "R");
                // Decimal texts carry the whole number; scientific ones read back as they read.
                if (!scientific) {
                    EXPECT_DOUBLE_EQ(storedLines().front().number, value) << locale << " " << text;
                }
                EXPECT_EQ(calculator.resultText(), text) << locale;
                const double pasted = storedLines().front().number;

                // As an operand.
                press(calculator, {"AC", "1", "+"});
                calculator.importCalculationText(text, false);
                ASSERT_EQ(storedLines().size(), 3u);
                EXPECT_EQ(storedLines().back().type, "N");
                EXPECT_DOUBLE_EQ(storedLines().back().number, pasted) << locale << " " << text;
            }
        }
        // A negative number being typed, as the export writes it.
        Calculator calculator;
        press(calculator, {"AC", "3"});
        press(calculator, *calculator.decimalSeparator());
        press(calculator, {"5", "0", "±"});
        const std::string typed = calculator.expressionText();
        press(calculator, {"AC", "2", "×"});
        calculator.importCalculationText(typed, false);
        EXPECT_DOUBLE_EQ(storedLines().back().number, -3.5) << locale << " " << typed;
    }
}

// Locales that write numbers with digits of their own script: every result of the
// formatting and conversion tables pastes back as itself, Handoff's plain texts are Latin,
// and dates typed as keys work as in English, with Latin digits throughout the date texts.
TEST_F(TextTransferTest, LocalesWithTheirOwnDigits) {
    const std::vector<double> results{
        1234.5,      1234567890.7, 42,         0,          1.0 / 3.0,  0.1 + 0.2,   2.0 / 3.0,   123456.789012,
        12.5,        0.00000001,   0.999999999, 123456789.4, 999999999.6, 1e15,       12345678.25, -123456.789012,
        123456.7001, 1000000.001,  1000.05,     -2,          -0.5,       -1234567890.7, 108.5,     10,
        2084000,     5.425,        1141.5,      87.6,        41.59,      48.63,      9.765,       -98765.4321,
        0.00012345,  -5e15,        3.14159265};
    for (const char* locale : {"ar_EG", "fa_IR", "mr_IN", "bn_BD"}) {
        SCOPED_TRACE(locale);
        setLocale(locale);
        for (bool scientific : {false, true}) {
            for (double value : results) {
                // The result line as "=" leaves it.
                storeLines({numberLine(value, 1)});
                Calculator calculator;
                calculator.setScientificNotation(scientific);
                press(calculator, "=");
                const std::string text = calculator.resultText();
                press(calculator, "AC");
                calculator.importCalculationText(text, false);
                EXPECT_EQ(calculator.resultText(), text) << value << (scientific ? " scientific" : "");
                if (!scientific) {
                    EXPECT_NEAR(storedLines().front().number, value, std::max(1.0, std::fabs(value)) * 1e-8) << text;
                }
            }
        }
        EXPECT_EQ(ostrelo::LineFormatter::formatLine("", "R", 5, true, 1, 1, -1234.5, false, false, true),
                  "−1234.5");
        // A number being typed in scientific notation shows every typed digit.
        Calculator typing;
        typing.setScientificNotation(true);
        press(typing, {"AC", "1", "2", *typing.decimalSeparator(), "5"});
        foundation::NumberFormatter threeDigits;
        threeDigits.setNumberStyle(foundation::NumberFormatter::Style::scientific);
        threeDigits.setMinimumFractionDigits(3);
        threeDigits.setMaximumFractionDigits(3);
        EXPECT_EQ(*typing.primaryString(), threeDigits.stringFromNumber(12.5));
        Calculator handedOver;
        press(handedOver, {"AC", "1", "+"});
        handedOver.importCalculationText("1234.5", true);
        EXPECT_EQ(storedLines().back().number, 1234.5);

        // A day and month typed as keys become a date; the date texts have one script.
        Calculator dates;
        press(dates, "AC");
        const std::string separator = *dates.decimalSeparator();
        press(dates, {"2", "4", separator, "1", "2", separator, "2", "0", "2", "6", "+", "5"});
        EXPECT_TRUE(dates.dateCalculator());
        EXPECT_EQ(*dates.primaryString(), "24.12.2026 + 5 days");
        EXPECT_EQ(*dates.secondaryString(), "29.12.2026");
        press(dates, {"C", "3", "6", "5", "𝑑"});
        EXPECT_EQ(*dates.primaryString(), "24.12.2027");
        EXPECT_EQ(*dates.secondaryString(), "24.12.2026 + 365 days = 24.12.2027");
        press(dates, {"AC", "0", separator, separator, "+", "5"});
        EXPECT_EQ(*dates.primaryString(), "7.12.2026 + 5 days");
        EXPECT_EQ(*dates.secondaryString(), "12.12.2026");
    }
}

// Where the locale groups with a space or an apostrophe, every space or apostrophe that
// people type for it counts as the grouping separator.
TEST_F(TextTransferTest, PastedGroupingWithSpacesAndApostrophes) {
    struct Case {
        const char* locale;
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"fr_FR", "1 234,5", 1234.5},       {"fr_FR", "1\u00A0234,5", 1234.5}, {"fr_FR", "1\u202F234,5", 1234.5},
        {"fr_FR", "12 345 678", 12345678},  {"fr_CH", "1 234,5", 1234.5},       {"de_CH", "1'234.5", 1234.5},
        {"de_CH", "1\u2019234.5", 1234.5}, {"de_CH", "1'234'567", 1234567},    {"de_DE", "1.234,5", 1234.5},
        {"de_DE", "1 234,5", 1},            {"en_US", "1,234.5", 1234.5},       {"en_US", "1'234.5", 1},
    };
    for (const Case& c : cases) {
        setLocale(c.locale);
        Calculator calculator;
        press(calculator, {"AC", "1", "+"});
        calculator.importCalculationText(c.text, false);
        EXPECT_EQ(storedLines().back().number, c.value) << c.locale << " " << c.text;
    }
}

// Only the start of a pasted text decides its number; what follows the first character that can
// be part of neither the number nor a separator is never read, however long. A separator or a
// mark between the bytes of a broken character still counts as it did: it may join them.
TEST_F(TextTransferTest, APasteIsReadAsFarAsItsNumberGoes) {
    struct Case {
        const char* locale;
        std::string text;
        double value;
    };
    const std::string prose(20 << 20, 'x');
    const Case cases[] = {
        {"en_US", "1,234.5 apples" + prose, 1234.5},
        {"de_DE", "1.234,5 kg" + prose, 1234.5},
        {"fr_FR", "1\u202F234,5\u00A0€" + prose, 1234.5},
        {"ar_EG", "\u200F\u061C-\u0663\u066B\u0665 \u062C" + prose, -3.5},
        {"en_US", "(\u22123.5)" + prose, -3.5},
        {"en_US", "2.5E3m", 2500},
        {"en_US", "2.5ex", 2.5},
        {"en_US", std::string(3 << 20, ' ') + "7,000" + prose, 7000},
        {"en_US", "5e\xE2\u200E\x88\x92" "3 and more", 0.005},  // a mark inside a broken "−"
        {"en_US", "5e\xE2,\x88\x92" "3", 0.005},                  // the same with a separator
        {"en_US", "12\xC2" + prose, 12},
    };
    for (const Case& c : cases) {
        setLocale(c.locale);
        Calculator calculator;
        press(calculator, {"AC", "1", "+"});
        calculator.importCalculationText(c.text, false);
        EXPECT_DOUBLE_EQ(storedLines().back().number, c.value) << c.locale << " " << c.text.substr(0, 40);
    }
}

}  // namespace
}  // namespace datecalculatortest
