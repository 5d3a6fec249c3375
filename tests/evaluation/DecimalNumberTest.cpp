#include "platform/foundation/DecimalNumber.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

using foundation::DecimalNumber;

namespace {

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

}  // namespace

TEST(DecimalNumber, ShortestTextHasAFractionOrAnExponent) {
    EXPECT_EQ(DecimalNumber::shortestText(3.0), "3.0");
    EXPECT_EQ(DecimalNumber::shortestText(0.5), "0.5");
    EXPECT_EQ(DecimalNumber::shortestText(-2.0), "-2.0");
    EXPECT_EQ(DecimalNumber::shortestText(0.0), "0.0");
    EXPECT_EQ(DecimalNumber::shortestText(-0.0), "-0.0");
    EXPECT_EQ(DecimalNumber::shortestText(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(DecimalNumber::shortestText(123.456), "123.456");
    EXPECT_EQ(DecimalNumber::shortestText(1234.5), "1234.5");
}

TEST(DecimalNumber, ShortestTextSwitchesToExponentBelow1eMinus4AndFrom1e16) {
    EXPECT_EQ(DecimalNumber::shortestText(0.0001), "0.0001");
    EXPECT_EQ(DecimalNumber::shortestText(0.00012), "0.00012");
    EXPECT_EQ(DecimalNumber::shortestText(1e-05), "1e-05");
    EXPECT_EQ(DecimalNumber::shortestText(1.5e-07), "1.5e-07");
    EXPECT_EQ(DecimalNumber::shortestText(-2.5e-300), "-2.5e-300");
    EXPECT_EQ(DecimalNumber::shortestText(1e15), "1000000000000000.0");
    EXPECT_EQ(DecimalNumber::shortestText(9999999999999998.0), "9999999999999998.0");
    EXPECT_EQ(DecimalNumber::shortestText(1e16), "1e+16");
    EXPECT_EQ(DecimalNumber::shortestText(1.25e22), "1.25e+22");
    EXPECT_EQ(DecimalNumber::shortestText(9.332621544394418e157), "9.332621544394418e+157");
    EXPECT_EQ(DecimalNumber::shortestText(std::numeric_limits<double>::denorm_min()), "5e-324");
    EXPECT_EQ(DecimalNumber::shortestText(std::numeric_limits<double>::max()), "1.7976931348623157e+308");
}

TEST(DecimalNumber, ShortestTextOfNonFiniteValues) {
    EXPECT_EQ(DecimalNumber::shortestText(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(DecimalNumber::shortestText(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(DecimalNumber::shortestText(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(DecimalNumber, ShortestTextReadsBackAsTheSameDouble) {
    for (double x : {0.1, 1.0 / 3.0, 2.0 / 3.0 * 1e-5, 123456789.123, 5e-324, 1e300, 4.35, 0.7}) {
        const std::string text = DecimalNumber::shortestText(x);
        double back = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(bits(back), bits(x)) << text;
    }
}

TEST(DecimalNumber, CutTowardZeroUsesTheShortestDigits) {
    EXPECT_EQ(DecimalNumber::cutTowardZero(0.7, 1), 0.7);  // not 0.6 from 0.69999999999999996
    EXPECT_EQ(DecimalNumber::cutTowardZero(0.1 + 0.2, 1), 0.3);
    EXPECT_EQ(DecimalNumber::cutTowardZero(1.0 / 3.0, 17), 0.33333333333333331);
    EXPECT_EQ(DecimalNumber::cutTowardZero(1.0 / 3.0, 2), 0.33);
    EXPECT_EQ(DecimalNumber::cutTowardZero(2.0 / 3.0, 2), 0.66);
    EXPECT_EQ(DecimalNumber::cutTowardZero(1.25, 1), 1.2);
    EXPECT_EQ(DecimalNumber::cutTowardZero(-1.25, 1), -1.2);
    EXPECT_EQ(DecimalNumber::cutTowardZero(-2.0 / 3.0, 3), -0.666);
    EXPECT_EQ(DecimalNumber::cutTowardZero(123.456, 14), 123.456);
    EXPECT_EQ(DecimalNumber::cutTowardZero(99.99, 0), 99.0);
    EXPECT_EQ(DecimalNumber::cutTowardZero(1e-9, 3), 0.0);
    EXPECT_EQ(DecimalNumber::cutTowardZero(1e20 + 0.5, 2), 1e20);
}

TEST(DecimalNumber, RoundHalfAwayFromZeroUsesTheShortestDigits) {
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(114.14999999999999, 2), 114.15);
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(-0.125, 2), -0.13);
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(0.7, 1), 0.7);
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(0.1 + 0.2, 1), 0.3);
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(9.996, 2), 10.0);
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(0.6, 0), 1.0);
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(0.4, 0), 0.0);
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(0.004, 2), 0.0);
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(0.0006, 2), 0.0);
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(123.456, 14), 123.456);
    EXPECT_EQ(DecimalNumber::roundHalfAwayFromZero(-std::numeric_limits<double>::infinity(), 3),
              -std::numeric_limits<double>::infinity());
}

TEST(DecimalNumber, CutTowardZeroLeavesNonFiniteValuesAndClampsPlaces) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(DecimalNumber::cutTowardZero(inf, 3), inf);
    EXPECT_EQ(DecimalNumber::cutTowardZero(-inf, 3), -inf);
    EXPECT_TRUE(std::isnan(DecimalNumber::cutTowardZero(std::numeric_limits<double>::quiet_NaN(), 3)));
    EXPECT_EQ(DecimalNumber::cutTowardZero(1.99, -4), 1.0);
    EXPECT_EQ(DecimalNumber::cutTowardZero(0.1234567890123456789, 40), 0.1234567890123456789);
}
