#include "engine/LineFormatter.h"
#include "platform/foundation/NumberFormatter.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

using ostrelo::LineFormatter;

// Shorthands for the callers' patterns.
struct Line {
    std::string item = {};
    std::string type = "N";
    std::int64_t digits = 1;
    bool separator = false;
    std::int64_t fraction = 0;
    double number = 0.0;
};

// A lone result line as the display shows it (linesAfter 1, no parentheses).
std::string result(double number, bool scientific = false, bool plain = false) {
    return LineFormatter::formatLine("", "R", 9, false, 0, 1, number, scientific, false, plain);
}
// A result line of a result that had fraction digits (separator set).
std::string resultWithSeparator(double number, bool scientific = false, bool plain = false) {
    return LineFormatter::formatLine("", "R", 9, true, 1, 1, number, scientific, false, plain);
}
// A number line followed by others inside a stack.
std::string inStack(const Line& line, bool scientific = false, bool plain = false) {
    return LineFormatter::formatLine(line.item, line.type, line.digits, line.separator, line.fraction, 2, line.number,
                                     scientific, true, plain);
}
// The number being typed (last line).
std::string typing(const Line& line, bool scientific = false, bool parenthesize = false, bool plain = false) {
    return LineFormatter::formatLine(line.item, line.type, line.digits, line.separator, line.fraction, 0, line.number,
                                     scientific, parenthesize, plain);
}

const std::string minus = "\u2212";

class LineFormatterTest : public testsupport::SuiteTest {};

TEST_F(LineFormatterTest, LinesWithTextKeepTheirText) {
    EXPECT_EQ(LineFormatter::formatLine("×", "O", 1, false, 0, 1, 0.0, false, true, false), "×");
    EXPECT_EQ(LineFormatter::formatLine("(", "(", 1, false, 0, 0, 0.0, true, true, true), "(");
    EXPECT_EQ(LineFormatter::formatLine("sin", "F", 1, false, 0, 1, 5.0, false, true, false), "sin");
    EXPECT_EQ(LineFormatter::formatLine("%", "%", 1, false, 0, 0, 0.0, false, false, false), "%");
    // Even an empty item of another type stays empty, whatever the number.
    EXPECT_EQ(LineFormatter::formatLine("", "O", 1, false, 0, 1, 42.0, false, false, false), "");
    EXPECT_EQ(LineFormatter::formatLine("𝜋", "N", 9, true, 8, 1, M_PI, false, true, false), "𝜋");
    EXPECT_EQ(LineFormatter::formatLine("𝜋", "N", 9, true, 8, 0, -M_PI, true, true, true), "𝜋");
    EXPECT_EQ(LineFormatter::formatLine("0", "R", 1, false, 0, 1, 7.0, false, false, false), "0");
}

TEST_F(LineFormatterTest, ResultsInEnglishGermanAndPlainFormat) {
    EXPECT_EQ(resultWithSeparator(1234.5), "1,234.5");
    EXPECT_EQ(resultWithSeparator(1234.5, false, true), "1234.5");
    EXPECT_EQ(result(1234567890.7), "1,234,567,891");
    EXPECT_EQ(result(1234567890.7, false, true), "1234567891");
    EXPECT_EQ(result(42), "42");
    EXPECT_EQ(result(0), "0");

    setLocale("de_DE");
    EXPECT_EQ(resultWithSeparator(1234.5), "1.234,5");
    EXPECT_EQ(resultWithSeparator(1234.5, false, true), "1234.5");
    EXPECT_EQ(result(1234567890.7), "1.234.567.891");
    EXPECT_EQ(result(1234567890.7, false, true), "1234567891");
    EXPECT_EQ(result(1.0 / 3.0), "0,33333333");
    EXPECT_EQ(result(1.0 / 3.0, false, true), "0.33333333");
    EXPECT_EQ(inStack({.number = -1234.5}, false, true), "(" + minus + "1234.5)");
    EXPECT_EQ(typing({.digits = 2, .separator = true, .number = 12}, false, false, true), "12.");
    EXPECT_EQ(typing({.digits = 6, .separator = true, .fraction = 2, .number = 1234.5}, false, false, true),
              "1234.50");
}

TEST_F(LineFormatterTest, GeneralPathShowsAtMostNineDigitsBelowOneBillion) {
    EXPECT_EQ(result(0.1 + 0.2), "0.3");
    EXPECT_EQ(result(1.0 / 3.0), "0.33333333");
    EXPECT_EQ(result(2.0 / 3.0), "0.66666667");
    EXPECT_EQ(result(123456.789012), "123,456.789");
    EXPECT_EQ(result(12.5), "12.5");
    EXPECT_EQ(result(0.00000001), "0.00000001");
    EXPECT_EQ(result(0.000000004), "0");
    // The fractional part rounds up to "1": no fraction digits, the whole number rounds.
    EXPECT_EQ(result(0.999999999), "1");
    EXPECT_EQ(result(2.999999999), "3");
    // k >= 9: no fraction digits.
    EXPECT_EQ(result(123456789.4), "123,456,789");
    EXPECT_EQ(result(123456788.5), "123,456,788");
    EXPECT_EQ(result(999999999.4), "999,999,999");
    EXPECT_EQ(result(999999999.0), "999,999,999");
    // Above 999999999: no fraction digits, rounded half to even.
    EXPECT_EQ(result(999999999.6), "1,000,000,000");
    EXPECT_EQ(result(1e15), "1,000,000,000,000,000");
    // Eight digits before the separator leave room for one after it.
    EXPECT_EQ(result(12345678.25), "12,345,678.2");
    EXPECT_EQ(result(-123456.789012), minus + "123,456.789");
}

TEST_F(LineFormatterTest, ResultsBelowOneBillionKeepNineDigitsAndReadBack) {
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> exponent(-9.0, 9.0);
    for (const char* locale : {"en_US", "de_DE"}) {
        setLocale(locale);
        foundation::NumberFormatter reader;
        for (int i = 0; i < 2000; ++i) {
            const double number = std::pow(10.0, exponent(random)) * (i % 2 == 0 ? 1 : -1);
            const std::string text = resultWithSeparator(number);
            int digitCount = 0;
            for (char c : text) digitCount += (c >= '0' && c <= '9') ? 1 : 0;
            EXPECT_LE(digitCount, 9) << text;
            if (text.find(reader.decimalSeparator()) != std::string::npos) {
                EXPECT_NE(text.back(), '0') << text;
            }
            // The text reads back as the number, rounded to the digits shown.
            std::string plain = text;
            if (plain.starts_with(minus)) plain.replace(0, minus.size(), "-");
            const auto value = reader.numberFromString(plain);
            ASSERT_TRUE(value) << text;
            const double integerDigits = std::max(1.0, std::floor(std::log10(std::fabs(number))) + 1);
            EXPECT_NEAR(*value, number, std::pow(10.0, integerDigits - 9) * 0.51 + 1e-9) << text;
        }
    }
}

TEST_F(LineFormatterTest, TrailingZerosAreRemovedOnlyWhenTheSeparatorIsSet) {
    // The fraction digits are cut to 9 - k, which can leave trailing zeros.
    EXPECT_EQ(resultWithSeparator(123456.7001), "123,456.7");
    EXPECT_EQ(result(123456.7001), "123,456.700");
    EXPECT_EQ(resultWithSeparator(12345678.96), "12,345,679");
    EXPECT_EQ(result(12345678.96), "12,345,679.0");
    EXPECT_EQ(resultWithSeparator(1000000.001), "1,000,000");
    EXPECT_EQ(result(1000000.001), "1,000,000.00");
    EXPECT_EQ(inStack({.separator = true, .fraction = 3, .number = 1000000.001}), "1,000,000");
    EXPECT_EQ(inStack({.separator = false, .number = 1000000.001}), "1,000,000.00");
    // Zeros inside the fraction stay.
    EXPECT_EQ(resultWithSeparator(1000.05), "1,000.05");
    EXPECT_EQ(resultWithSeparator(1000.5), "1,000.5");

    setLocale("de_DE");
    EXPECT_EQ(resultWithSeparator(123456.7001), "123.456,7");
    EXPECT_EQ(result(123456.7001), "123.456,700");
    EXPECT_EQ(resultWithSeparator(123456.7001, false, true), "123456.7");
    EXPECT_EQ(resultWithSeparator(12345678.96, false, true), "12345679");

    // The live preview's synthetic line has the separator set.
    setLocale("en_US");
    EXPECT_EQ(LineFormatter::formatLine("", "N", 0, true, 0, 1, 2.5, false, false, false), "2.5");
    EXPECT_EQ(LineFormatter::formatLine("", "N", 0, true, 0, 1, 1000000.001, false, false, false), "1,000,000");
}

TEST_F(LineFormatterTest, NegativeNumbersAndNegativeZero) {
    EXPECT_EQ(inStack({.number = -2}), "(" + minus + "2)");
    EXPECT_EQ(result(-2), minus + "2");
    EXPECT_EQ(inStack({.number = -1234567890.7}), "(" + minus + "1,234,567,891)");
    EXPECT_EQ(inStack({.type = "R", .number = -0.5}), "(" + minus + "0.5)");

    EXPECT_EQ(result(-0.0), "0");
    EXPECT_EQ(inStack({.number = -0.0}), "0");
    EXPECT_EQ(result(-0.000000001), "0");
    EXPECT_EQ(inStack({.number = -0.000000001}), "0");
    EXPECT_EQ(result(-0.0, true), "0E0");
    EXPECT_EQ(inStack({.number = -0.0}, true), "0E0");
    EXPECT_EQ(typing({.number = -0.0}), "0");
    EXPECT_EQ(typing({.number = -0.0}, true), "0E0");
    EXPECT_EQ(typing({.digits = 1, .separator = true, .number = -0.0}), "0.");
    EXPECT_EQ(typing({.digits = 1, .separator = true, .number = -0.0}, true), "0.E0");

    setLocale("de_DE");
    EXPECT_EQ(inStack({.separator = true, .fraction = 2, .number = -1234.25}), "(" + minus + "1.234,25)");
    EXPECT_EQ(result(-0.000000001), "0");

    // A locale whose own minus sign is U+2212 (Swedish) is cleaned up the same way, and its
    // negative exponents are read correctly.
    setLocale("sv_SE");
    EXPECT_EQ(result(-0.0), "0");
    EXPECT_EQ(result(-0.0, true), "0E0");
    EXPECT_EQ(typing({.digits = 3, .separator = true, .fraction = 2, .number = 0.05}, true), "5E" + minus + "2");
    EXPECT_EQ(typing({.digits = 3, .separator = true, .fraction = 2, .number = 0.5}, true), "5,0E" + minus + "1");
}

TEST_F(LineFormatterTest, TypingShowsTheNumberAsTyped) {
    EXPECT_EQ(typing({.digits = 2, .separator = true, .number = 12}), "12.");
    EXPECT_EQ(typing({.digits = 2, .separator = true, .number = -12}), minus + "12.");
    EXPECT_EQ(typing({.digits = 2, .separator = true, .number = -12}, false, true), "(" + minus + "12.)");
    EXPECT_EQ(typing({.digits = 3, .separator = true, .fraction = 2, .number = 1.5}), "1.50");
    EXPECT_EQ(typing({.digits = 3, .separator = true, .fraction = 2, .number = -1.5}, false, true),
              "(" + minus + "1.50)");
    EXPECT_EQ(typing({.digits = 5, .separator = true, .fraction = 4, .number = 0.0}), "0.0000");
    EXPECT_EQ(typing({.digits = 4, .separator = true, .number = 1234}), "1,234.");
    EXPECT_EQ(typing({.digits = 7, .number = 1234567}), "1,234,567");
    EXPECT_EQ(typing({.digits = 10, .number = 1234567890}), "1,234,567,890");
    EXPECT_EQ(typing({.digits = 1, .number = 0}), "0");
    // Typed digits beyond the number's precision are still shown.
    EXPECT_EQ(typing({.digits = 12, .separator = true, .fraction = 11, .number = 0.12345678901}), "0.12345678901");

    setLocale("de_DE");
    EXPECT_EQ(typing({.digits = 2, .separator = true, .number = 12}), "12,");
    EXPECT_EQ(typing({.digits = 3, .separator = true, .fraction = 2, .number = 1.5}), "1,50");
    EXPECT_EQ(typing({.digits = 6, .separator = true, .fraction = 2, .number = 1234.5}), "1.234,50");
}

TEST_F(LineFormatterTest, ScientificResults) {
    EXPECT_EQ(result(150, true), "1.5E2");
    EXPECT_EQ(result(0.00001, true), "1E-5");
    EXPECT_EQ(result(3.25, true), "3.25E0");
    EXPECT_EQ(result(0, true), "0E0");
    EXPECT_EQ(result(1.0 / 3.0, true), "3.3333333E-1");
    EXPECT_EQ(result(123456789, true), "1.2345679E8");
    EXPECT_EQ(result(1e-300, true), "1E-300");
    EXPECT_EQ(result(-150, true), minus + "1.5E2");
    EXPECT_EQ(inStack({.number = -150}, true), "(" + minus + "1.5E2)");
    // Above 999999999: up to 8 fraction digits in the mantissa.
    EXPECT_EQ(result(1234567890.7, true), "1.23456789E9");
    EXPECT_EQ(result(1e15, true), "1E15");
    EXPECT_EQ(result(12345678950, true), "1.2345679E10");
    EXPECT_EQ(result(-1e20, true), minus + "1E20");

    setLocale("de_DE");
    EXPECT_EQ(result(150, true), "1,5E2");
    EXPECT_EQ(result(1.0 / 3.0, true), "3,3333333E-1");
    EXPECT_EQ(result(1234567890.7, true), "1,23456789E9");
    EXPECT_EQ(result(150, true, true), "1.5E2");
}

TEST_F(LineFormatterTest, ScientificTypingShowsEveryTypedDigit) {
    EXPECT_EQ(typing({.digits = 5, .separator = true, .fraction = 2, .number = 123.4}, true), "1.2340E2");
    EXPECT_EQ(typing({.digits = 3, .number = 150}, true), "1.50E2");
    EXPECT_EQ(typing({.digits = 1, .number = 7}, true), "7E0");
    EXPECT_EQ(typing({.digits = 3, .separator = true, .fraction = 2, .number = 0.05}, true), "5E-2");
    EXPECT_EQ(typing({.digits = 3, .separator = true, .fraction = 2, .number = 0.5}, true), "5.0E-1");
    EXPECT_EQ(typing({.digits = 4, .separator = true, .fraction = 3, .number = 1.25}, true), "1.250E0");
    EXPECT_EQ(typing({.digits = 9, .number = 123456789}, true), "1.23456789E8");
    EXPECT_EQ(typing({.digits = 9, .number = -123456789}, true, true), "(" + minus + "1.23456789E8)");
    // The exponent is the number's own, also where the typed digits alone would round up.
    EXPECT_EQ(typing({.digits = 2, .separator = true, .fraction = 1, .number = 9.6}, true), "9.6E0");
    EXPECT_EQ(typing({.digits = 3, .separator = true, .fraction = 1, .number = 99.5}, true), "9.95E1");
    EXPECT_EQ(typing({.digits = 3, .separator = true, .fraction = 2, .number = 9.99}, true), "9.99E0");
    // Above 999999999: up to 8 fraction digits, trailing zeros dropped.
    EXPECT_EQ(typing({.digits = 10, .number = 1234567890}, true), "1.23456789E9");
    EXPECT_EQ(typing({.digits = 11, .number = 12345678901}, true), "1.23456789E10");
    EXPECT_EQ(typing({.digits = 11, .number = 10000000000}, true), "1E10");
    EXPECT_EQ(typing({.digits = 12, .separator = true, .fraction = 2, .number = 1234567890.25}, true),
              "1.23456789E9");

    // The separator just typed: shown only after a single digit, as ".E0".
    EXPECT_EQ(typing({.digits = 1, .separator = true, .number = 5}, true), "5.E0");
    EXPECT_EQ(typing({.digits = 1, .separator = true, .number = -5}, true), "(" + minus + "5.E0)");
    EXPECT_EQ(typing({.digits = 1, .separator = true, .number = -5}, true, true), "(" + minus + "5.E0)");
    EXPECT_EQ(typing({.digits = 2, .separator = true, .number = 12}, true), "1.2E1");
    EXPECT_EQ(typing({.digits = 2, .separator = true, .number = -12}, true), minus + "1.2E1");
    EXPECT_EQ(typing({.digits = 2, .separator = true, .number = -12}, true, true), "(" + minus + "1.2E1)");

    setLocale("de_DE");
    EXPECT_EQ(typing({.digits = 5, .separator = true, .fraction = 2, .number = 123.4}, true), "1,2340E2");
    EXPECT_EQ(typing({.digits = 1, .separator = true, .number = 5}, true), "5,E0");
    EXPECT_EQ(typing({.digits = 1, .separator = true, .number = 5}, true, false, true), "5.E0");
}

TEST_F(LineFormatterTest, NumberLinesFollowedByOthersUseTheGeneralPath) {
    // A typed 1.50 followed by an operator loses its trailing zero.
    EXPECT_EQ(inStack({.digits = 3, .separator = true, .fraction = 2, .number = 1.5}), "1.5");
    EXPECT_EQ(inStack({.digits = 2, .separator = true, .number = 12}), "12");
    EXPECT_EQ(inStack({.digits = 3, .separator = true, .fraction = 2, .number = 1.5}, true), "1.5E0");
    // Constants and random numbers carry 8 fraction digits but show at most 9 digits.
    EXPECT_EQ(inStack({.digits = 9, .separator = true, .fraction = 8, .number = 2.718281828459045}), "2.71828183");
    // "R" lines take the general path even as the last line.
    EXPECT_EQ(LineFormatter::formatLine("", "R", 3, true, 2, 0, 1.5, false, false, false), "1.5");
}

TEST_F(LineFormatterTest, NonFiniteNumbersStillGiveText) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    for (bool scientific : {false, true}) {
        EXPECT_FALSE(result(nan, scientific).empty());
        EXPECT_FALSE(result(infinity, scientific).empty());
        EXPECT_FALSE(typing({.number = -infinity}, scientific).empty());
    }
    EXPECT_FALSE(typing({.digits = 1, .separator = true, .fraction = 1000000000000, .number = 1.5}).empty());
    EXPECT_FALSE(typing({.digits = 1, .separator = true, .fraction = -5, .number = 1.5}, true).empty());
}

TEST_F(LineFormatterTest, MemoryLineTextIsFormatLineInTheLocaleFormat) {
    const Line lines[] = {
        {.item = "×", .type = "O"},
        {.item = "𝜋", .number = M_PI},
        {.type = "R", .separator = true, .fraction = 1, .number = 1234.5},
        {.number = -2},
        {.digits = 2, .separator = true, .number = -12},
        {.digits = 1, .separator = true, .number = 5},
        {.digits = 5, .separator = true, .fraction = 2, .number = 123.4},
        {.type = "R", .number = 1234567890.7},
        {.type = "R", .number = -0.000000001},
        {.type = "R", .separator = true, .fraction = 3, .number = 123456.7001},
    };
    for (const char* locale : {"en_US", "de_DE"}) {
        setLocale(locale);
        for (const Line& line : lines) {
            for (std::int64_t linesAfter : {0, 1, 3}) {
                for (bool scientific : {false, true}) {
                    for (bool parenthesize : {false, true}) {
                        EXPECT_EQ(LineFormatter::memoryLineText(line.item, line.type, line.digits, line.separator,
                                                                line.fraction, linesAfter, line.number, scientific,
                                                                parenthesize),
                                  LineFormatter::formatLine(line.item, line.type, line.digits, line.separator,
                                                            line.fraction, linesAfter, line.number, scientific,
                                                            parenthesize, false));
                    }
                }
            }
        }
    }
    setLocale("de_DE");
    EXPECT_EQ(LineFormatter::memoryLineText("", "R", 5, true, 1, 1, 1234.5, false, false), "1.234,5");
}

}  // namespace
