#include "engine/ExpressionEvaluation.h"

#include "platform/foundation/Expression.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <thread>

using ostrelo::EvaluationResult;
using ostrelo::ExpressionEvaluation;

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

EvaluationResult degrees(const std::string& text) { return ExpressionEvaluation::evaluate(text, true, false); }
EvaluationResult radians(const std::string& text) { return ExpressionEvaluation::evaluate(text, true, true); }

#define EXPECT_RESULT(result, expectedValue, expectedStatus)                 \
    do {                                                                     \
        const EvaluationResult r_ = (result);                                \
        EXPECT_EQ(r_.value, (expectedValue)) << #result;                     \
        EXPECT_EQ(r_.status, (expectedStatus)) << #result;                   \
    } while (false)

class ExpressionEvaluationTest : public testsupport::SuiteTest {};

}  // namespace

TEST_F(ExpressionEvaluationTest, EmptyTextFailsWithoutTheEvaluator) {
    EXPECT_RESULT(degrees(""), 0.0, "FAILED");
    EXPECT_RESULT(ExpressionEvaluation::evaluate("", false, true), 0.0, "FAILED");
}

TEST_F(ExpressionEvaluationTest, ArithmeticAndDivisionByZero) {
    EXPECT_RESULT(degrees("2.0+3.0"), 5.0, "OK");
    EXPECT_RESULT(degrees("1.0\u00F70.0"), inf, "ERROR");
    EXPECT_RESULT(degrees("\u22121.0\u00F70.0"), -inf, "ERROR");
    const EvaluationResult nan = degrees("0.0\u00F70.0");
    EXPECT_TRUE(std::isnan(nan.value));
    EXPECT_EQ(nan.status, "ERROR");
    EXPECT_RESULT(degrees("2.0\u00D73.0\u22124.0\u00F78.0"), 5.5, "OK");
    EXPECT_RESULT(degrees("1e+16\u00D710.0"), 1e17, "OK");
}

TEST_F(ExpressionEvaluationTest, UnbalancedParentheses) {
    EXPECT_RESULT(ExpressionEvaluation::evaluate("(2.0+3.0", true, false), 5.0, "OK");
    EXPECT_RESULT(ExpressionEvaluation::evaluate("(2.0+3.0", false, false), inf, "ERROR");
    EXPECT_RESULT(ExpressionEvaluation::evaluate("2.0+3.0)", true, false), inf, "ERROR");
    EXPECT_RESULT(ExpressionEvaluation::evaluate("2.0+3.0)", false, false), inf, "ERROR");
}

TEST_F(ExpressionEvaluationTest, Percent) {
    EXPECT_RESULT(degrees("200.0+10.0%"), 220.0, "OK");
    EXPECT_RESULT(degrees("200.0\u221210.0%"), 180.0, "OK");
    EXPECT_RESULT(degrees("50.0\u00D710.0%"), 5.0, "OK");
    EXPECT_RESULT(degrees("10.0%"), 0.1, "OK");
    EXPECT_RESULT(degrees("200.0+10.0%+10.0%"), 242.0, "OK");
    EXPECT_RESULT(degrees("2.0\u00D7200.0+10.0%"), 440.0, "OK");
}

TEST_F(ExpressionEvaluationTest, PercentAfterASubtractionKeepsTheSign) {
    EXPECT_RESULT(degrees("5.0\u22122.0+10.0%"), 3.2, "OK");
    EXPECT_RESULT(degrees("5.0\u22122.0\u221210.0%"), 2.8, "OK");
    EXPECT_RESULT(degrees("10.0\u22124.0\u221250.0%"), 4.0, "OK");
}

TEST_F(ExpressionEvaluationTest, PercentWithNothingToTakeItOfFails) {
    for (const char* text : {"%", "%%", "%5.0", "\u221210.0%", "+10.0%", "(%)", "2.0\u00D7%"}) {
        EXPECT_RESULT(degrees(text), 0.0, "FAILED");
        EXPECT_RESULT(ExpressionEvaluation::evaluate(text, false, true), 0.0, "FAILED");
    }
}

TEST_F(ExpressionEvaluationTest, FactorialPowersAndRoots) {
    EXPECT_RESULT(degrees("5.0!"), 120.0, "OK");
    EXPECT_RESULT(degrees("3.0!!"), 720.0, "OK");
    EXPECT_RESULT(degrees("3.0\u00B2"), 9.0, "OK");
    EXPECT_RESULT(degrees("2.0^3.0"), 8.0, "OK");
    EXPECT_RESULT(degrees("2.0^3.0^2.0"), 512.0, "OK");
    EXPECT_RESULT(degrees("\u22122.0\u00B2"), 4.0, "OK");
    EXPECT_RESULT(degrees("\u221A9.0"), 3.0, "OK");
    EXPECT_RESULT(degrees("\u221A(4.0+5.0)"), 3.0, "OK");
    EXPECT_RESULT(degrees("\u221A1e-04"), 0.01, "OK");
    EXPECT_RESULT(degrees("\u221A16.0+\u221A9.0"), 7.0, "OK");
    EXPECT_RESULT(degrees("\u221A\u22124.0"), 0.0, "FAILED");
    EXPECT_RESULT(degrees("\u221A(\u22124.0)"), inf, "ERROR");
    EXPECT_TRUE(std::isnan(degrees("2.5!").value));
    EXPECT_EQ(degrees("2.5!").status, "ERROR");
    EXPECT_RESULT(degrees("!"), 0.0, "FAILED");
}

TEST_F(ExpressionEvaluationTest, FactorialAfterALeadingParenthesisAndAfterLog) {
    EXPECT_RESULT(degrees("(5.0!)"), 120.0, "OK");
    EXPECT_RESULT(degrees("(5.0!+1.0)"), 121.0, "OK");
    EXPECT_RESULT(degrees("5.0!%"), 1.2, "OK");
    EXPECT_RESULT(degrees("log(100.0)!"), 2.0, "OK");
    EXPECT_RESULT(degrees("((3.0!)!)"), 720.0, "OK");
    EXPECT_RESULT(ExpressionEvaluation::evaluate("(5.0!", true, false), 120.0, "OK");
}

// A factorial takes its operand before a power is raised: 2^3! is 2^6.
TEST_F(ExpressionEvaluationTest, FactorialBindsTighterThanAPower) {
    const std::pair<const char*, double> cases[] = {
        {"2.0^3.0!", 64.0},
        {"2.0^(3.0)!", 64.0},
        {"(2.0)^3.0!", 64.0},
        {"2.0^3.0!+1.0", 65.0},
        {"2.0^3.0^2.0!", 512.0},
        {"1.0+2.0^3.0!\u00D72.0", 129.0},
        {"3.0!^2.0", 36.0},
    };
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        EXPECT_RESULT(degrees(text), value, "OK");
    }
}

TEST_F(ExpressionEvaluationTest, PostfixSymbolsAfterAGroupTakeTheGroup) {
    EXPECT_RESULT(degrees("(2.0+3.0)\u00B2+10.0%"), 27.5, "OK");
    EXPECT_RESULT(degrees("(2.0+3.0)\u00B2\u221210.0%"), 22.5, "OK");
    EXPECT_RESULT(degrees("(2.0+3.0)\u00B2%"), 0.25, "OK");
    EXPECT_RESULT(degrees("30.0\u2212(2.0+3.0)\u00B2+10.0%"), 7.5, "OK");
    EXPECT_RESULT(degrees("(2.0+3.0)\u00B2!"), degrees("25.0!").value, "OK");
    EXPECT_RESULT(degrees("5.0\u00B2!"), degrees("25.0!").value, "OK");
    EXPECT_RESULT(degrees("2.0\u00D7(1.0+2.0)\u00B2!"), 725760.0, "OK");
    EXPECT_RESULT(degrees("log(100.0)\u00B2!"), 24.0, "OK");
    EXPECT_RESULT(degrees("(1.0+2.0)!\u00B2!"), degrees("36.0!").value, "OK");
}

TEST_F(ExpressionEvaluationTest, PostfixSymbolsAfterANumberWithAnExponent) {
    EXPECT_RESULT(degrees("1e+16%"), 1e14, "OK");
    EXPECT_RESULT(degrees("1e+16+10.0%"), 1.1e16, "OK");
    EXPECT_RESULT(degrees("2.0+1e+16%"), 200000000000002.0, "OK");
    EXPECT_RESULT(degrees("1e+2!"), degrees("100.0!").value, "OK");
    EXPECT_EQ(degrees("1e+16!").status, "ERROR");  // far beyond the largest double
}

TEST_F(ExpressionEvaluationTest, FunctionsInDegreesAndRadians) {
    EXPECT_RESULT(degrees("sin(90.0)"), 1.0, "OK");
    EXPECT_RESULT(degrees("cos(90.0)"), 0.0, "OK");
    EXPECT_RESULT(degrees("sin(30.0)"), 0.4999999999999999, "OK");   // 0.49999999999999994 cut at 16 places
    EXPECT_RESULT(degrees("cos(60.0)"), 0.5, "OK");                  // 0.5000000000000001 cut at 1 place
    EXPECT_RESULT(degrees("tan(45.0)"), 0.9999999999999999, "OK");
    EXPECT_EQ(degrees("tan(90.0)").status, "ERROR");
    EXPECT_RESULT(degrees("sin\u207B\u00B9(0.5)"), 30.000000000000004, "OK");  // integral within 1e-7: no cut
    EXPECT_RESULT(degrees("tan\u207B\u00B9(1.0)"), 45.0, "OK");
    EXPECT_RESULT(degrees("\u33D1(1.0)"), 0.0, "OK");
    EXPECT_EQ(degrees("\u33D1(0.0)").status, "ERROR");
    EXPECT_RESULT(degrees("log(1000.0)"), 3.0, "OK");
    EXPECT_RESULT(degrees("sinh(0.0)+cosh(0.0)"), 1.0, "OK");
    const EvaluationResult sine90 = radians("sin(90.0)");
    EXPECT_EQ(sine90.status, "OK");
    EXPECT_NEAR(sine90.value, std::sin(90.0), 1e-15);
    EXPECT_NE(sine90.value, 1.0);
    EXPECT_RESULT(radians("cos(0.0)"), 1.0, "OK");
    EXPECT_EQ(radians("sin\u207B\u00B9(2.0)").status, "ERROR");
}

TEST_F(ExpressionEvaluationTest, ResultsAreCutToTheirDecimalPlaces) {
    EXPECT_RESULT(degrees("0.1+0.2"), 0.3, "OK");
    EXPECT_RESULT(degrees("0.7"), 0.7, "OK");
    EXPECT_RESULT(degrees("1e-09"), 1e-09, "OK");
    EXPECT_RESULT(degrees("1.0\u00F73.0"), 0.33333333333333331, "OK");
    EXPECT_RESULT(degrees("\u22120.1\u22120.2"), -0.3, "OK");
    EXPECT_RESULT(degrees("123.456"), 123.456, "OK");
}

TEST_F(ExpressionEvaluationTest, AValueJustBelowItsDecimalPlacesKeepsItsLastDigit) {
    // 100 × 1.1415 is 114.14999999999999 in binary; its places are found at 2.
    EXPECT_RESULT(degrees("100.0\u00D71.1415"), 114.15, "OK");
    EXPECT_RESULT(degrees("\u2212100.0\u00D71.1415"), -114.15, "OK");
    EXPECT_RESULT(degrees("1.1\u00D71.1"), 1.21, "OK");
    EXPECT_RESULT(degrees("0.1\u00D73.0"), 0.3, "OK");
}

TEST_F(ExpressionEvaluationTest, UnreadableTextFailsAndLeavesTheValueZero) {
    for (const char* text : {"2.0+", "\u00D72.0", "abc", "2.0 3.0", "FUNCTION(2.0,'cube')",
                             "sin()", "log()", "\u221A", "2.0+\u00B2", ".5"}) {
        EXPECT_RESULT(degrees(text), 0.0, "FAILED");
    }
}

TEST_F(ExpressionEvaluationTest, TheTextDoesNotDependOnTheLocale) {
    setLocale("de_DE");
    EXPECT_RESULT(degrees("2.5+0.25"), 2.75, "OK");
    EXPECT_RESULT(degrees("1e-05\u00D72.0"), 2e-05, "OK");
    EXPECT_RESULT(degrees("2,5+0,25"), 0.0, "FAILED");
    setLocale("en_US");
    EXPECT_RESULT(degrees("2.5+0.25"), 2.75, "OK");
}

TEST(DecimalPlaces, CountsPlacesUntilTheValueIsIntegralWithin1eMinus7) {
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(5.0), 0);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(-5.0), 0);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(0.1 + 0.2), 1);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(0.5), 1);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(-0.5), 1);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(0.25), 2);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(1e-9), 0);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(1.0 / 3.0), 17);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(123.456), 14);  // a fraction near 1 is not integral
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(inf), 0);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(-inf), 0);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(1e300), 0);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(std::sqrt(2.0)), 16);
    EXPECT_EQ(ExpressionEvaluation::decimalPlaces(1.0 / 3.0 * 1e-3), 18);  // the most places counted
}

TEST(ExceptionGuard, ParksTheEvaluatorsExceptionForThisThread) {
    std::string seen;
    ExpressionEvaluation::runCatchingException([] { throw foundation::ExpressionException("unreadable"); });
    ExpressionEvaluation::handleCaughtException([&](const std::string& message) { seen = message; });
    EXPECT_EQ(seen, "unreadable");
    // Handling does not clear the slot.
    int calls = 0;
    ExpressionEvaluation::handleCaughtException([&](const std::string&) { ++calls; });
    EXPECT_EQ(calls, 1);
    // Another thread sees nothing of it.
    std::thread([&] {
        ExpressionEvaluation::handleCaughtException([&](const std::string&) { ++calls; });
    }).join();
    EXPECT_EQ(calls, 1);
    // The next guarded run clears it.
    ExpressionEvaluation::runCatchingException([] {});
    ExpressionEvaluation::handleCaughtException([&](const std::string&) { ++calls; });
    EXPECT_EQ(calls, 1);
}

TEST(ExceptionGuard, OtherExceptionsAreNotCaught) {
    EXPECT_THROW(ExpressionEvaluation::runCatchingException([] { throw std::runtime_error("other"); }),
                 std::runtime_error);
    EXPECT_THROW(ExpressionEvaluation::runCatchingException([] { throw std::logic_error("other"); }),
                 std::logic_error);
}

TEST(ExceptionGuard, EvaluateExpressionFormatRaisesForUnreadableText) {
    double value = 7.0;
    std::string status = "OK";
    EXPECT_THROW(ExpressionEvaluation::evaluateExpressionFormat("2.0+", value, status), foundation::ExpressionException);
    EXPECT_THROW(ExpressionEvaluation::evaluateExpressionFormat("FUNCTION(1.0,'nope')", value, status),
                 foundation::ExpressionException);
    EXPECT_EQ(value, 7.0);
    EXPECT_EQ(status, "OK");
    ExpressionEvaluation::evaluateExpressionFormat("1.0/0.0", value, status);
    EXPECT_EQ(value, inf);
    EXPECT_EQ(status, "ERROR");
    status = "OK";
    ExpressionEvaluation::evaluateExpressionFormat("FUNCTION(0.5,'arcsine')", value, status);
    EXPECT_EQ(value, 30.000000000000004);
    EXPECT_EQ(status, "OK");
    ExpressionEvaluation::evaluateExpressionFormat("2.0/3.0", value, status);
    EXPECT_EQ(value, 0.6666666666666666);
}

TEST(LongTexts, EndWithAStatus) {
    // Long chains and deep nests end as a status, never a crash, a hang or an exhausted stack.
    EXPECT_EQ(degrees("1.0" + std::string(4000, '!')).status, "FAILED");
    std::string roots;
    for (int i = 0; i < 1000; ++i) roots += "\u221A";
    EXPECT_EQ(degrees(roots + "2.0").status, "FAILED");
    EXPECT_EQ(degrees(std::string(5000, '(') + "2.0").status, "FAILED");
    EXPECT_EQ(degrees("2.0" + std::string(4000, '%')).status, "FAILED");
    std::string sines;
    for (int i = 0; i < 1000; ++i) sines += "sin(";
    EXPECT_EQ(degrees(sines + "30.0").status, "FAILED");
    // Every percent after a sum takes the share of the whole sum before it, so the
    // translation doubles with each; a chain too long to write out fails.
    std::string chain = "1.0";
    for (int i = 0; i < 40; ++i) chain += "+1.0%";
    EXPECT_RESULT(degrees(chain), 0.0, "FAILED");
    std::string shortChain = "100.0";
    for (int i = 0; i < 3; ++i) shortChain += "+10.0%";
    EXPECT_RESULT(degrees(shortChain), 133.1, "OK");
    for (int i = 3; i < 10; ++i) shortChain += "+10.0%";
    EXPECT_RESULT(degrees(shortChain), 259.37424601, "OK");
    std::string sum = "1.0";
    for (int i = 0; i < 2000; ++i) sum += "+1.0";
    EXPECT_RESULT(degrees(sum), 2001.0, "OK");
    EXPECT_RESULT(degrees(std::string(20000, '1') + ".0"), 0.0, "FAILED");  // beyond the longest text read
}
