#include "platform/foundation/Expression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using foundation::Expression;
using foundation::ExpressionException;

namespace {

// A small table of its own: the evaluator knows no function names itself.
std::optional<double> table(const std::string& name, double x) {
    if (name == "double") return 2 * x;
    if (name == "negate") return -x;
    return std::nullopt;
}

// Its value; read() must read the text too.
double eval(const std::string& text) {
    EXPECT_TRUE(Expression::read(text).has_value()) << text;
    return Expression(text).evaluate(table);
}

}  // namespace

TEST(Expression, LiteralsInTheFormsTheStackTextWrites) {
    EXPECT_EQ(eval("3.0"), 3.0);
    EXPECT_EQ(eval("2"), 2.0);
    EXPECT_EQ(eval("0.5"), 0.5);
    EXPECT_EQ(eval("1e-05"), 1e-05);
    EXPECT_EQ(eval("1.5e-07"), 1.5e-07);
    EXPECT_EQ(eval("1e+16"), 1e16);
    EXPECT_EQ(eval("2.5E3"), 2500.0);
    EXPECT_EQ(eval("0.30000000000000004"), 0.1 + 0.2);
    EXPECT_EQ(eval("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(eval("1e-400"), 0.0);
    EXPECT_EQ(eval("0.000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                   "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                   "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
                   "00000000000000000000000000000000000000000000000000000000000000001"),
              0.0);
}

TEST(Expression, PrecedenceOfTheOperators) {
    EXPECT_EQ(eval("2.0+3.0*4.0"), 14.0);
    EXPECT_EQ(eval("2.0*3.0+4.0"), 10.0);
    EXPECT_EQ(eval("2.0*3.0**2"), 18.0);
    EXPECT_EQ(eval("(2.0+3.0)*4.0"), 20.0);
    EXPECT_EQ(eval("10.0-4.0-3.0"), 3.0);    // left-associative
    EXPECT_EQ(eval("64.0/4.0/2.0"), 8.0);    // left-associative
    EXPECT_EQ(eval("8.0/2.0*4.0"), 16.0);
    EXPECT_EQ(eval(" 1.0 + 2.0 "), 3.0);
}

TEST(Expression, PowerIsRightAssociativeAndUnaryMinusBindsTighter) {
    EXPECT_EQ(eval("2**3**2"), 512.0);
    EXPECT_EQ(eval("(2**3)**2"), 64.0);
    EXPECT_EQ(eval("-2.0**2"), 4.0);
    EXPECT_EQ(eval("-(2.0**2)"), -4.0);
    EXPECT_EQ(eval("2.0**-1.0"), 0.5);
    EXPECT_EQ(eval("--3.0"), 3.0);
    EXPECT_EQ(eval("5.0-(-2.0)"), 7.0);
    EXPECT_EQ(eval("5.0--2.0"), 7.0);
    EXPECT_EQ(eval("2.0*-3.0"), -6.0);
}

TEST(Expression, IeeeArithmetic) {
    EXPECT_EQ(eval("1.0/0.0"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(eval("-1.0/0.0"), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(eval("0.0/0.0")));
    EXPECT_EQ(eval("0.1+0.2"), 0.1 + 0.2);
    EXPECT_EQ(eval("10.0**400"), std::numeric_limits<double>::infinity());
}

TEST(Expression, FunctionsComeFromTheTableAndLogIsBaseTen) {
    EXPECT_EQ(eval("FUNCTION(21.0,'double')"), 42.0);
    EXPECT_EQ(eval("FUNCTION(FUNCTION(1.5+0.5,'double'),'negate')*2"), -8.0);
    EXPECT_EQ(eval("log(1000.0)"), 3.0);
    EXPECT_EQ(eval("log(100.0)+1.0"), 3.0);
    EXPECT_EQ(eval("-log(0.01)"), 2.0);
    EXPECT_EQ(eval("log(0.0)"), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(eval("log(-1.0)")));
    const Expression unknown("FUNCTION(2.0,'triple')");  // reads, but cannot run
    EXPECT_THROW(unknown.evaluate(table), ExpressionException);
    EXPECT_THROW(unknown.evaluate(nullptr), ExpressionException);
}

TEST(Expression, UnreadableTextRaisesTheOneException) {
    for (const char* text : {"", " ", "2.0+", "2.0*", "*2.0", "2.0**", "(2.0", "2.0)", "()", "+2.0", ".5", "5.",
                             "1e", "1e+", "2.0 3.0", "2.0x", "FUNCTION(,'double')", "FUNCTION(2.0,'')",
                             "FUNCTION(2.0,double)", "FUNCTION(2.0,'double'", "FUNCTION(2.0)", "FUNCTION 2.0",
                             "log()", "log 2.0", "ln(2.0)", "2.0,3.0", "sin(30.0)", "2.0\xE2\x88\x92" "1.0",
                             "(/100.0)", "(-(*10.0/100.0))", "1.0/0.0/", "2***3"}) {
        EXPECT_THROW(Expression{text}, ExpressionException) << text;
        EXPECT_FALSE(Expression::read(text).has_value()) << text;
    }
}

TEST(Expression, NestingBeyondTheBoundIsUnreadableNotAStackOverflow) {
    const auto nested = [](int depth) {
        return std::string(static_cast<std::size_t>(depth), '(') + "1.0" + std::string(static_cast<std::size_t>(depth), ')');
    };
    EXPECT_EQ(eval(nested(Expression::maxDepth)), 1.0);
    EXPECT_THROW(Expression{nested(Expression::maxDepth + 1)}, ExpressionException);
    EXPECT_THROW(Expression{nested(100000)}, ExpressionException);
    EXPECT_THROW(Expression{std::string(100000, '-') + "1.0"}, ExpressionException);
    std::string tower = "1.0";
    for (int i = 0; i < 100000; ++i) tower += "**1.0";
    EXPECT_THROW(Expression{tower}, ExpressionException);
    std::string calls = "1.0";
    for (int i = 0; i < 1000; ++i) calls = "FUNCTION(" + calls + ",'double')";
    EXPECT_THROW(Expression{calls}, ExpressionException);
    for (const auto& deep : {nested(100000), std::string(100000, '-') + "1.0", tower, calls})
        EXPECT_FALSE(Expression::read(deep).has_value());
    // A long flat sum is not deep.
    std::string sum = "1.0";
    for (int i = 0; i < 100000; ++i) sum += "+1.0";
    EXPECT_EQ(eval(sum), 100001.0);
}

TEST(Expression, MovedExpressionEvaluates) {
    Expression a("2.0+2.0");
    Expression b(std::move(a));
    EXPECT_EQ(b.evaluate(table), 4.0);
    Expression c("1.0");
    c = std::move(b);
    EXPECT_EQ(c.evaluate(table), 4.0);
}
