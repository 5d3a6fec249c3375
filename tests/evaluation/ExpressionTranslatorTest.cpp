#include "engine/ExpressionTranslator.h"

#include <gtest/gtest.h>

#include <string>

using ostrelo::ExpressionTranslator;

namespace {

std::string degrees(const std::string& text) { return ExpressionTranslator::expressionFormat(text, true, false); }
std::string radians(const std::string& text) { return ExpressionTranslator::expressionFormat(text, true, true); }
std::string tidy(const std::string& text) { return ExpressionTranslator::removeRedundantParentheses(text, true); }

}  // namespace

TEST(ExpressionFormat, PlainArithmeticInTheEvaluatorsSpelling) {
    EXPECT_EQ(degrees("2.0+3.0"), "2.0+3.0");
    EXPECT_EQ(degrees("5.0\u22122.0\u00D74.0\u00F78.0"), "5.0-2.0*4.0/8.0");
    EXPECT_EQ(degrees("3.0\u00B2"), "3.0**2");
    EXPECT_EQ(degrees("2.0^3.0"), "2.0**3.0");
    EXPECT_EQ(degrees("1e-05\u00D71e+16"), "1e-05*1e+16");
    EXPECT_EQ(degrees(""), "");
}

TEST(ExpressionFormat, UnbalancedParenthesesBecomeADivisionByZero) {
    EXPECT_EQ(ExpressionTranslator::expressionFormat("(2.0+3.0", true, false), "(2.0+3.0)");
    EXPECT_EQ(ExpressionTranslator::expressionFormat("((2.0+3.0", true, false), "((2.0+3.0))");
    EXPECT_EQ(ExpressionTranslator::expressionFormat("(2.0+3.0", false, false), "1.0/0.0");
    EXPECT_EQ(ExpressionTranslator::expressionFormat("2.0+3.0)", true, false), "1.0/0.0");
    EXPECT_EQ(ExpressionTranslator::expressionFormat("2.0+3.0)", false, false), "1.0/0.0");
    EXPECT_EQ(ExpressionTranslator::expressionFormat(")(", true, false), "1.0/0.0");  // the count drops below 0 first
    EXPECT_EQ(ExpressionTranslator::expressionFormat("sin(30.0", true, false), "FUNCTION(30.0,'sine')");
}

TEST(ExpressionFormat, PercentTakesAShareOfTheOperandBeforeAPlusOrMinus) {
    EXPECT_EQ(degrees("200.0+10.0%"), "(200.0+(200.0*10.0/100.0))");
    EXPECT_EQ(degrees("200.0\u221210.0%"), "(200.0-(200.0*10.0/100.0))");
    EXPECT_EQ(degrees("50.0\u00D710.0%"), "50.0*(10.0/100.0)");
    EXPECT_EQ(degrees("50.0\u00F710.0%"), "50.0/(10.0/100.0)");
    EXPECT_EQ(degrees("10.0%"), "(10.0/100.0)");
    EXPECT_EQ(degrees("2.0\u00D7sin(30.0)%"), "2.0*(FUNCTION(30.0,'sine')/100.0)");
    EXPECT_EQ(degrees("(1.0+2.0)+10.0%"), "((1.0+2.0)+((1.0+2.0)*10.0/100.0))");
    EXPECT_EQ(degrees("4.0\u00D72.0+10.0%"), "4.0*(2.0+(2.0*10.0/100.0))");
    EXPECT_EQ(degrees("(200.0+10.0%"), "((200.0+(200.0*10.0/100.0)))");
    EXPECT_EQ(degrees("200.0+10.0%+10.0%"),
              "((200.0+(200.0*10.0/100.0))+((200.0+(200.0*10.0/100.0))*10.0/100.0))");
    EXPECT_EQ(degrees("10.0%%"), "((10.0/100.0)/100.0)");
}

TEST(ExpressionFormat, PercentAfterASubtractionKeepsTheSign) {
    EXPECT_EQ(degrees("5.0\u22122.0+10.0%"), "5.0-2.0+(2.0*10.0/100.0)");
    EXPECT_EQ(degrees("5.0\u22122.0\u221210.0%"), "5.0-2.0-(2.0*10.0/100.0)");
    EXPECT_EQ(degrees("5.0\u2212(1.0+1.0)+10.0%"), "5.0-(1.0+1.0)+((1.0+1.0)*10.0/100.0)");
}

TEST(ExpressionFormat, PercentWithoutAnOperandTranslatesToUnreadableText) {
    EXPECT_EQ(degrees("%"), "(/100.0)");
    EXPECT_EQ(degrees("%5.0"), "(/100.0)5.0");
    EXPECT_EQ(degrees("\u221210.0%"), "(-(*10.0/100.0))");
    EXPECT_EQ(degrees("+10.0%"), "(+(*10.0/100.0))");
}

TEST(ExpressionFormat, NamedFunctionsInDegreesAndRadians) {
    EXPECT_EQ(degrees("sin(90.0)"), "FUNCTION(90.0,'sine')");
    EXPECT_EQ(radians("sin(90.0)"), "FUNCTION(90.0,'radiant_sine')");
    EXPECT_EQ(degrees("sin(cos(30.0))"), "FUNCTION(FUNCTION(30.0,'cosine'),'sine')");
    EXPECT_EQ(degrees("cos(sin(30.0))"), "FUNCTION(FUNCTION(30.0,'sine'),'cosine')");
    EXPECT_EQ(degrees("sin(sin(30.0)+sin(60.0))"),
              "FUNCTION(FUNCTION(30.0,'sine')+FUNCTION(60.0,'sine'),'sine')");
    EXPECT_EQ(degrees("tan(45.0)"), "FUNCTION(45.0,'tangent')");
    EXPECT_EQ(radians("tan(45.0)"), "FUNCTION(45.0,'radiant_tangent')");
    EXPECT_EQ(degrees("sin\u207B\u00B9(0.5)"), "FUNCTION(0.5,'arcsine')");
    EXPECT_EQ(radians("cos\u207B\u00B9(0.5)"), "FUNCTION(0.5,'radiant_arccosine')");
    EXPECT_EQ(radians("tan\u207B\u00B9(1.0)"), "FUNCTION(1.0,'radiant_arctangent')");
    EXPECT_EQ(radians("\u33D1(2.0)"), "FUNCTION(2.0,'ln')");
    EXPECT_EQ(radians("\u221A(4.0+5.0)"), "FUNCTION(4.0+5.0,'squareroot')");
    EXPECT_EQ(radians("sinh(1.0)"), "FUNCTION(1.0,'hypsine')");
    EXPECT_EQ(radians("cosh(1.0)\u2212tanh(1.0)"), "FUNCTION(1.0,'hypcosine')-FUNCTION(1.0,'hyptangent')");
    EXPECT_EQ(radians("sinh\u207B\u00B9(1.0)"), "FUNCTION(1.0,'archypsine')");
    EXPECT_EQ(degrees("cosh\u207B\u00B9(2.0)"), "FUNCTION(2.0,'archypcosine')");
    EXPECT_EQ(degrees("tanh\u207B\u00B9(0.5)"), "FUNCTION(0.5,'archyptangent')");
    EXPECT_EQ(degrees("log(100.0)"), "log(100.0)");
    EXPECT_EQ(degrees("2.0\u00D7(sin(30.0))"), "2.0*(FUNCTION(30.0,'sine'))");
}

TEST(ExpressionFormat, FactorialOperands) {
    EXPECT_EQ(degrees("5.0!"), "FUNCTION(5.0,'factorial')");
    EXPECT_EQ(degrees("3.0+4.0!"), "3.0+FUNCTION(4.0,'factorial')");
    EXPECT_EQ(degrees("2.0\u00D7(3.0+4.0)!"), "2.0*FUNCTION((3.0+4.0),'factorial')");
    EXPECT_EQ(degrees("sin(30.0)!"), "FUNCTION(FUNCTION(30.0,'sine'),'factorial')");
    EXPECT_EQ(degrees("3.0!!"), "FUNCTION(FUNCTION(3.0,'factorial'),'factorial')");
    EXPECT_EQ(degrees("3.0!\u00B2"), "FUNCTION(3.0,'factorial')**2");
    EXPECT_EQ(degrees("\u22123.0!"), "FUNCTION(-3.0,'factorial')");  // the first character is not an operator here
    EXPECT_EQ(degrees("!"), "FUNCTION(,'factorial')");
    EXPECT_EQ(degrees("2.0+!"), "2.0+FUNCTION(,'factorial')");
}

TEST(ExpressionFormat, FactorialAfterALeadingParenthesisAndAfterLog) {
    EXPECT_EQ(degrees("(5.0!)"), "(FUNCTION(5.0,'factorial'))");
    EXPECT_EQ(degrees("(5.0!+1.0)"), "(FUNCTION(5.0,'factorial')+1.0)");
    EXPECT_EQ(degrees("5.0!%"), "(FUNCTION(5.0,'factorial')/100.0)");
    EXPECT_EQ(degrees("log(100.0)!"), "FUNCTION(log(100.0),'factorial')");
    EXPECT_EQ(degrees("2.0\u00D7log(100.0)!!"), "2.0*FUNCTION(FUNCTION(log(100.0),'factorial'),'factorial')");
    EXPECT_EQ(degrees("(3.0!)!"), "FUNCTION((FUNCTION(3.0,'factorial')),'factorial')");
    EXPECT_EQ(degrees("\u22123.0!2.0!"), "FUNCTION(FUNCTION(-3.0,'factorial')2.0,'factorial')");
    EXPECT_EQ(degrees("(2.0)3.0!"), "FUNCTION((2.0)3.0,'factorial')");  // a group met on the way is taken whole
    EXPECT_EQ(degrees("2.0\u00D7(3.0)(4.0)!"), "2.0*(3.0)FUNCTION((4.0),'factorial')");
}

// The operand scans of percent and factorial take a parenthesised group met on the way
// back whole, with the name in front of it, so a postfix symbol after the group binds it.
TEST(ExpressionFormat, OperandScansTakeWholeGroups) {
    EXPECT_EQ(degrees("(2.0+3.0)\u00B2+10.0%"), "((2.0+3.0)**2+((2.0+3.0)**2*10.0/100.0))");
    EXPECT_EQ(degrees("(2.0+3.0)\u00B2%"), "((2.0+3.0)**2/100.0)");
    EXPECT_EQ(degrees("1.0\u2212(2.0+3.0)\u00B2\u221210.0%"), "1.0-(2.0+3.0)**2-((2.0+3.0)**2*10.0/100.0)");
    EXPECT_EQ(degrees("2.0\u00D7sin(30.0)\u00B2%"), "2.0*(FUNCTION(30.0,'sine')**2/100.0)");
    EXPECT_EQ(degrees("(2.0+3.0)\u00B2!"), "FUNCTION((2.0+3.0)**2,'factorial')");
    EXPECT_EQ(degrees("5.0\u00B2!"), "FUNCTION(5.0**2,'factorial')");
    EXPECT_EQ(degrees("(2.0)^3.0!"), "(2.0)**FUNCTION(3.0,'factorial')");  // "^" ends the operand
    EXPECT_EQ(degrees("2.0\u00D7(1.0+(2.0))\u00B2!+1.0"), "2.0*FUNCTION((1.0+(2.0))**2,'factorial')+1.0");
    EXPECT_EQ(degrees("((2.0+3.0)\u00B2!)"), "(FUNCTION((2.0+3.0)**2,'factorial'))");
    EXPECT_EQ(degrees("\u2212(3.0)\u00B2!"), "FUNCTION(-(3.0)**2,'factorial')");
    EXPECT_EQ(degrees("1.0+log(100.0)\u00B2!"), "1.0+FUNCTION(log(100.0)**2,'factorial')");
    EXPECT_EQ(degrees("\u33D1(10.0\u22123.0)\u00B2!!"),
              "FUNCTION(FUNCTION(FUNCTION(10.0-3.0,'ln')**2,'factorial'),'factorial')");
    EXPECT_EQ(degrees("2.0\u00D7sin(1.0+2.0)^2.0!!"),
              "2.0*FUNCTION(1.0+2.0,'sine')**FUNCTION(FUNCTION(2.0,'factorial'),'factorial')");
    EXPECT_EQ(degrees("2.0^2.0!^2.0!"), "2.0**FUNCTION(2.0,'factorial')**FUNCTION(2.0,'factorial')");
    EXPECT_EQ(degrees("(2.0)^3.0!+log(100.0)!+(4.0)!"),
              "(2.0)**FUNCTION(3.0,'factorial')+FUNCTION(log(100.0),'factorial')+FUNCTION((4.0),'factorial')");
    EXPECT_EQ(degrees("(2.0)\u00B2!\u00B2!"), "FUNCTION(FUNCTION((2.0)**2,'factorial')**2,'factorial')");
}

// A "+" after an "e" that follows a digit is the sign of an exponent, not an addition.
TEST(ExpressionFormat, OperandScansKeepAnExponentsSign) {
    EXPECT_EQ(degrees("1e+16%"), "(1e+16/100.0)");
    EXPECT_EQ(degrees("2.0+1e+16%"), "(2.0+(2.0*1e+16/100.0))");
    EXPECT_EQ(degrees("1e+16+10.0%"), "(1e+16+(1e+16*10.0/100.0))");
    EXPECT_EQ(degrees("3.0\u22121e+16\u221210.0%"), "3.0-1e+16-(1e+16*10.0/100.0)");
    EXPECT_EQ(degrees("1e+16!"), "FUNCTION(1e+16,'factorial')");
    EXPECT_EQ(degrees("2.0\u00D71E+2!"), "2.0*FUNCTION(1E+2,'factorial')");
    EXPECT_EQ(degrees("1.0+1e+2\u00B2!"), "1.0+FUNCTION(1e+2**2,'factorial')");
    EXPECT_EQ(degrees("1e-05%"), "(1e-05/100.0)");
    // Not after a digit: an ordinary plus.
    EXPECT_EQ(degrees("(e+2.0!)"), "(e+FUNCTION(2.0,'factorial'))");
}

TEST(ExpressionFormat, BareSquareRoots) {
    EXPECT_EQ(degrees("\u221A9.0"), "FUNCTION(9.0,'squareroot')");
    EXPECT_EQ(degrees("\u221A1e-05"), "FUNCTION(1e-05,'squareroot')");
    EXPECT_EQ(degrees("\u221A1e+16\u22121.0"), "FUNCTION(1e+16,'squareroot')-1.0");
    EXPECT_EQ(degrees("\u221A9.0+1.0"), "FUNCTION(9.0,'squareroot')+1.0");
    EXPECT_EQ(degrees("2.0\u00D7\u221A9.0\u00B2"), "2.0*FUNCTION(9.0,'squareroot')**2");
    EXPECT_EQ(degrees("\u221Asin(30.0)"), "FUNCTION(FUNCTION(30.0,'sine'),'squareroot')");
    EXPECT_EQ(degrees("\u221A\u221A16.0"), "FUNCTION(FUNCTION(16.0,'squareroot'),'squareroot')");
    EXPECT_EQ(degrees("\u221A5.0!"), "FUNCTION(FUNCTION(5.0,'squareroot'),'factorial')");
    EXPECT_EQ(degrees("(\u221A4.0)"), "(FUNCTION(4.0,'squareroot'))");
    EXPECT_EQ(degrees("\u221A\u221A(16.0)"), "FUNCTION(FUNCTION(16.0,'squareroot'),'squareroot')");
    EXPECT_EQ(degrees("\u221A\u22124.0"), "FUNCTION(,'squareroot')-4.0");
    EXPECT_EQ(degrees("\u221A"), "FUNCTION(,'squareroot')");
}

TEST(ExpressionFormat, CharactersAreWholeClusters) {
    // A combining accent on "%" makes another character: no percent is found.
    EXPECT_EQ(degrees("10.0%\u0301"), "10.0%\u0301");
    // Text that is not UTF-8 passes through byte for byte.
    const std::string bad("2.0\xFF+1.0", 8);
    EXPECT_EQ(degrees(bad), bad);
}

TEST(RemoveRedundantParentheses, EnclosingPairs) {
    EXPECT_EQ(tidy(""), "");
    EXPECT_EQ(tidy("(2+3)"), "2+3");
    EXPECT_EQ(tidy("(\u22125)"), "\u22125");
    EXPECT_EQ(tidy("((2+3))"), "2+3");
    EXPECT_EQ(tidy("(((7)))"), "7");
    EXPECT_EQ(tidy("((2+3)"), "(2+3");
    EXPECT_EQ(tidy("(2+3)\u00D7(4+5)"), "(2+3)\u00D7(4+5)");
    EXPECT_EQ(tidy("((2)+(3))"), "(2)+(3)");
    EXPECT_EQ(tidy("\u221A(2+3)"), "\u221A(2+3)");
    EXPECT_EQ(tidy("\u33D1(2)"), "\u33D1(2)");
    EXPECT_EQ(tidy("(e\u0301)"), "e\u0301");
    EXPECT_EQ(tidy("()"), "");
    EXPECT_EQ(tidy("(()"), "(");
    EXPECT_EQ(tidy("2+3"), "2+3");
}

TEST(RemoveRedundantParentheses, DoubledPairs) {
    EXPECT_EQ(tidy("2\u00D7((3+4))"), "2\u00D7(3+4)");
    EXPECT_EQ(tidy("2\u00D7(((7)))"), "2\u00D7(7)");
    EXPECT_EQ(tidy("\u221A((2+3))"), "\u221A(2+3)");
    EXPECT_EQ(tidy("1+((2)+(3))"), "1+((2)+(3))");
    EXPECT_EQ(tidy("1+((2))\u00D7((3))"), "1+(2)\u00D7(3)");
    EXPECT_EQ(tidy("1+(((2)+3))"), "1+((2)+3)");
    EXPECT_EQ(tidy("1+((2+3)"), "1+((2+3)");
}

TEST(RemoveRedundantParentheses, WithoutAutomaticParenthesesTheTextStays) {
    for (const char* text : {"(2+3)", "((2+3))", "2\u00D7((3+4))", "(((7)))"})
        EXPECT_EQ(ExpressionTranslator::removeRedundantParentheses(text, false), text);
    EXPECT_EQ(ExpressionTranslator::removeRedundantParentheses("", false), "");
}
