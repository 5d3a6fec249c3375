#include "platform/foundation/Locale.h"
#include "platform/foundation/NumberFormatter.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

using foundation::NumberFormatter;
using Style = NumberFormatter::Style;
using Rounding = NumberFormatter::RoundingMode;

class NumberFormatterTest : public testsupport::SuiteTest {};

TEST_F(NumberFormatterTest, DefaultsAreDecimalWithGroupingAndUpToThreeFractionDigits) {
    NumberFormatter formatter;
    EXPECT_EQ(formatter.numberStyle(), Style::decimal);
    EXPECT_TRUE(formatter.usesGroupingSeparator());
    EXPECT_EQ(formatter.minimumFractionDigits(), 0);
    EXPECT_EQ(formatter.maximumFractionDigits(), 3);
    EXPECT_EQ(formatter.stringFromNumber(1234567.5), "1,234,567.5");
    EXPECT_EQ(formatter.stringFromNumber(0.1234), "0.123");
    EXPECT_EQ(formatter.stringFromNumber(12), "12");
    EXPECT_EQ(formatter.stringFromNumber(-1234.5), "-1,234.5");
    EXPECT_EQ(formatter.stringFromNumber(-0.0), "-0");

    setLocale("de_DE");
    NumberFormatter german;
    EXPECT_EQ(german.stringFromNumber(1234567.5), "1.234.567,5");
    EXPECT_EQ(german.stringFromNumber(-1234.5), "-1.234,5");
}

TEST_F(NumberFormatterTest, RoundsHalfToEvenByDefault) {
    NumberFormatter formatter;
    formatter.setMaximumFractionDigits(0);
    EXPECT_EQ(formatter.stringFromNumber(2.5), "2");
    EXPECT_EQ(formatter.stringFromNumber(3.5), "4");
    EXPECT_EQ(formatter.stringFromNumber(-2.5), "-2");
    formatter.setMaximumFractionDigits(2);
    EXPECT_EQ(formatter.stringFromNumber(0.125), "0.12");
    EXPECT_EQ(formatter.stringFromNumber(0.375), "0.38");

    formatter.setRoundingMode(Rounding::halfUp);
    EXPECT_EQ(formatter.stringFromNumber(0.125), "0.13");
    formatter.setRoundingMode(Rounding::down);
    EXPECT_EQ(formatter.stringFromNumber(1.999), "1.99");
    EXPECT_EQ(formatter.stringFromNumber(-1.999), "-1.99");
    formatter.setRoundingMode(Rounding::floor);
    EXPECT_EQ(formatter.stringFromNumber(-1.001), "-1.01");
    formatter.setRoundingMode(Rounding::ceiling);
    EXPECT_EQ(formatter.stringFromNumber(1.001), "1.01");
}

TEST_F(NumberFormatterTest, FractionDigitsAndGrouping) {
    NumberFormatter formatter;
    formatter.setMinimumFractionDigits(2);
    formatter.setMaximumFractionDigits(2);
    EXPECT_EQ(formatter.stringFromNumber(1.5), "1.50");
    EXPECT_EQ(formatter.stringFromNumber(1234), "1,234.00");

    // A minimum above the maximum raises the maximum; a maximum below the minimum lowers the minimum.
    formatter.setMinimumFractionDigits(5);
    EXPECT_EQ(formatter.maximumFractionDigits(), 5);
    EXPECT_EQ(formatter.stringFromNumber(0.5), "0.50000");
    formatter.setMaximumFractionDigits(1);
    EXPECT_EQ(formatter.minimumFractionDigits(), 1);
    EXPECT_EQ(formatter.stringFromNumber(2), "2.0");
    formatter.setMaximumFractionDigits(-3);
    EXPECT_EQ(formatter.maximumFractionDigits(), 0);
    EXPECT_EQ(formatter.minimumFractionDigits(), 0);

    formatter.setUsesGroupingSeparator(false);
    EXPECT_FALSE(formatter.usesGroupingSeparator());
    formatter.setMaximumFractionDigits(8);
    EXPECT_EQ(formatter.stringFromNumber(1234567.125), "1234567.125");
    formatter.setUsesGroupingSeparator(true);
    EXPECT_EQ(formatter.stringFromNumber(1234567.125), "1,234,567.125");
}

TEST_F(NumberFormatterTest, ScientificStyleCountsSignificantDigits) {
    for (const char* locale : {"en_US", "de_DE"}) {
        setLocale(locale);
        const std::string separator = std::string(locale) == "en_US" ? "." : ",";
        NumberFormatter formatter;
        formatter.setNumberStyle(Style::scientific);
        formatter.setMinimumFractionDigits(0);
        formatter.setMaximumFractionDigits(8);
        EXPECT_EQ(formatter.stringFromNumber(150), "1" + separator + "5E2");
        EXPECT_EQ(formatter.stringFromNumber(0.00001), "1E-5");
        EXPECT_EQ(formatter.stringFromNumber(3.25), "3" + separator + "25E0");
        EXPECT_EQ(formatter.stringFromNumber(0), "0E0");
        EXPECT_EQ(formatter.stringFromNumber(-0.0), "-0E0");
        EXPECT_EQ(formatter.stringFromNumber(-2.5e-20), "-2" + separator + "5E-20");
        EXPECT_EQ(formatter.stringFromNumber(1e100), "1E100");
        // Eight significant digits, half to even, no grouping in the mantissa.
        EXPECT_EQ(formatter.stringFromNumber(123456789), "1" + separator + "2345679E8");
        EXPECT_EQ(formatter.stringFromNumber(1.00000005), "1E0");
        EXPECT_EQ(formatter.stringFromNumber(1.00000015), "1" + separator + "0000002E0");

        formatter.setMinimumFractionDigits(5);
        formatter.setMaximumFractionDigits(5);
        EXPECT_EQ(formatter.stringFromNumber(123.4), "1" + separator + "2340E2");
        formatter.setMinimumFractionDigits(1);
        formatter.setMaximumFractionDigits(1);
        EXPECT_EQ(formatter.stringFromNumber(9.6), "1E1");
        // Maximum 0 shows every digit.
        formatter.setMinimumFractionDigits(0);
        formatter.setMaximumFractionDigits(0);
        EXPECT_EQ(formatter.stringFromNumber(123456789), "1" + separator + "23456789E8");
        EXPECT_EQ(formatter.stringFromNumber(96), "9" + separator + "6E1");

        // Back to decimal keeps the digit settings.
        formatter.setMaximumFractionDigits(2);
        formatter.setNumberStyle(Style::decimal);
        EXPECT_EQ(formatter.maximumFractionDigits(), 2);
        EXPECT_EQ(formatter.stringFromNumber(0.125), "0" + separator + "12");
    }
}

TEST_F(NumberFormatterTest, SeparatorsComeFromTheLocaleOfCreation) {
    NumberFormatter english;
    EXPECT_EQ(english.decimalSeparator(), ".");
    EXPECT_EQ(english.groupingSeparator(), ",");

    setLocale("de_DE");
    NumberFormatter german;
    EXPECT_EQ(german.decimalSeparator(), ",");
    EXPECT_EQ(german.groupingSeparator(), ".");
    // A formatter keeps the locale it was created with.
    EXPECT_EQ(english.stringFromNumber(1234.5), "1,234.5");
    EXPECT_EQ(german.stringFromNumber(1234.5), "1.234,5");

    setLocale("en_US");
    EXPECT_EQ(NumberFormatter().decimalSeparator(), ".");

    german.setDecimalSeparator(".");
    german.setUsesGroupingSeparator(false);
    EXPECT_EQ(german.decimalSeparator(), ".");
    EXPECT_EQ(german.stringFromNumber(1234.5), "1234.5");
    german.setNumberStyle(Style::scientific);
    german.setMaximumFractionDigits(8);
    EXPECT_EQ(german.stringFromNumber(150), "1.5E2");

    NumberFormatter explicitLocale("de_DE");
    EXPECT_EQ(explicitLocale.decimalSeparator(), ",");
    explicitLocale.setDecimalSeparator("#");
    explicitLocale.setLocale("en_US");
    EXPECT_EQ(explicitLocale.decimalSeparator(), ".");
    EXPECT_EQ(explicitLocale.stringFromNumber(1234.5), "1,234.5");
}

TEST_F(NumberFormatterTest, ParsesWholeTextStrictlyInTheLocale) {
    NumberFormatter english;
    EXPECT_EQ(english.numberFromString("1,234.5"), 1234.5);
    EXPECT_EQ(english.numberFromString("1234.5"), 1234.5);
    EXPECT_EQ(english.numberFromString("-12"), -12.0);
    EXPECT_EQ(english.numberFromString("0.125"), 0.125);
    EXPECT_FALSE(english.numberFromString("1.234,5"));
    EXPECT_FALSE(english.numberFromString("12abc"));
    EXPECT_FALSE(english.numberFromString("abc"));
    EXPECT_FALSE(english.numberFromString(""));
    EXPECT_FALSE(english.numberFromString(" 12"));
    EXPECT_FALSE(english.numberFromString("12 "));
    EXPECT_FALSE(english.numberFromString("1,2,3"));
    EXPECT_FALSE(english.numberFromString("1.5E2"));

    setLocale("de_DE");
    NumberFormatter german;
    EXPECT_EQ(german.numberFromString("1.234,5"), 1234.5);
    EXPECT_EQ(german.numberFromString("1234,5"), 1234.5);
    EXPECT_FALSE(german.numberFromString("1,234.5"));
    EXPECT_FALSE(german.numberFromString("12,5x"));

    german.setDecimalSeparator(".");
    german.setUsesGroupingSeparator(false);
    EXPECT_EQ(german.numberFromString("1234.5"), 1234.5);

    NumberFormatter scientific;
    scientific.setNumberStyle(Style::scientific);
    EXPECT_EQ(scientific.numberFromString("1,5E2"), 150.0);
}

TEST_F(NumberFormatterTest, UnknownLocalesAndBadTextAreHandled) {
    NumberFormatter unknown("zz_ZZ");
    EXPECT_EQ(unknown.stringFromNumber(1234.5), "1,234.5");
    EXPECT_FALSE(unknown.decimalSeparator().empty());
    NumberFormatter english;
    EXPECT_FALSE(english.numberFromString("\xff\xfe"));
    EXPECT_FALSE(english.numberFromString("1\xff"));
    EXPECT_FALSE(english.numberFromString("-"));
    EXPECT_FALSE(english.numberFromString("."));
}

}  // namespace
