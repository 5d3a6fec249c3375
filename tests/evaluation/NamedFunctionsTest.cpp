#include "engine/NamedFunctions.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

using ostrelo::NamedFunctions;

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

double call(const std::string& name, double x) {
    const auto result = NamedFunctions::call(name, x);
    EXPECT_TRUE(result.has_value()) << name;
    return result.value_or(-12345.0);
}

// Library values computed at run time, as the functions compute them (not folded by the compiler).
double runtime(double x) {
    volatile double v = x;
    return v;
}

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

#define EXPECT_BITS(actual, expected) EXPECT_EQ(bits(actual), bits(expected)) << (actual) << " vs " << (expected)

}  // namespace

TEST(NamedFunctions, TheTableHasTheTwentyOneOneArgumentNames) {
    for (const char* name : {"squareroot", "sine", "radiant_sine", "cosine", "radiant_cosine", "tangent",
                             "radiant_tangent", "ln", "arcsine", "radiant_arcsine", "arccosine", "radiant_arccosine",
                             "arctangent", "radiant_arctangent", "hypsine", "hypcosine", "hyptangent", "archypsine",
                             "archypcosine", "archyptangent", "factorial"}) {
        EXPECT_TRUE(NamedFunctions::call(name, 0.5).has_value()) << name;
    }
    for (const char* name : {"", "log", "sin", "Sine", "powerWithPower:", "powerWithPower", "squareroot "}) {
        EXPECT_FALSE(NamedFunctions::call(name, 0.5).has_value()) << name;
    }
    EXPECT_EQ(NamedFunctions::powerWithPower(2.0, 10.0), 1024.0);
    EXPECT_EQ(NamedFunctions::powerWithPower(4.0, 0.5), 2.0);
}

TEST(NamedFunctions, SineInDegreesIsExactAtMultiplesOfNinety) {
    EXPECT_BITS(call("sine", 90), 1.0);
    EXPECT_BITS(call("sine", 450), 1.0);
    EXPECT_BITS(call("sine", -270), 1.0);
    EXPECT_BITS(call("sine", 180), 0.0);
    EXPECT_BITS(call("sine", -180), 0.0);
    EXPECT_BITS(call("sine", 0), 0.0);
    EXPECT_BITS(call("sine", 270), -1.0);
    EXPECT_BITS(call("sine", -90), -1.0);
    EXPECT_BITS(call("sine", 630), -1.0);
    EXPECT_BITS(call("sine", 30), 0.49999999999999994);
    EXPECT_BITS(call("radiant_sine", 0.5), std::sin(runtime(0.5)));
}

TEST(NamedFunctions, CosineInDegreesIsExactAtMultiplesOfNinety) {
    EXPECT_BITS(call("cosine", 90), 0.0);
    EXPECT_BITS(call("cosine", 270), 0.0);
    EXPECT_BITS(call("cosine", -90), 0.0);
    EXPECT_BITS(call("cosine", 0), 1.0);
    EXPECT_BITS(call("cosine", 360), 1.0);
    EXPECT_BITS(call("cosine", -720), 1.0);
    EXPECT_BITS(call("cosine", 180), -1.0);
    EXPECT_BITS(call("cosine", -180), -1.0);
    EXPECT_BITS(call("cosine", 540), -1.0);
    EXPECT_BITS(call("cosine", 60), 0.5000000000000001);
    EXPECT_BITS(call("radiant_cosine", 0.5), std::cos(runtime(0.5)));
}

TEST(NamedFunctions, TangentInDegreesIsUndefinedAtOddMultiplesOfNinety) {
    EXPECT_TRUE(std::isnan(call("tangent", 90)));
    EXPECT_TRUE(std::isnan(call("tangent", 270)));
    EXPECT_TRUE(std::isnan(call("tangent", -90)));
    EXPECT_BITS(call("tangent", 45), 0.9999999999999999);
    EXPECT_BITS(call("tangent", 180), -1.2246467991473532e-16);
    EXPECT_BITS(call("tangent", 0), 0.0);
    EXPECT_BITS(call("radiant_tangent", 1.0), std::tan(runtime(1.0)));
    EXPECT_BITS(call("radiant_tangent", 3.141592653589793 / 2), std::tan(runtime(3.141592653589793 / 2)));
}

TEST(NamedFunctions, InverseFunctionsInDegrees) {
    EXPECT_BITS(call("arcsine", 1), 90.0);
    EXPECT_BITS(call("arcsine", -1), -90.0);
    EXPECT_BITS(call("arcsine", 0), 0.0);
    EXPECT_BITS(call("arcsine", -0.0), 0.0);
    EXPECT_TRUE(std::isnan(call("arcsine", 1.5)));
    EXPECT_TRUE(std::isnan(call("arcsine", -1.0000001)));
    EXPECT_BITS(call("arcsine", 0.5), 30.000000000000004);
    EXPECT_BITS(call("arccosine", -1), 180.0);
    EXPECT_BITS(call("arccosine", 0), 90.0);
    EXPECT_BITS(call("arccosine", 1), 0.0);
    EXPECT_TRUE(std::isnan(call("arccosine", 2)));
    EXPECT_BITS(call("arccosine", 0.5), (std::acos(runtime(0.5)) * 180) / 3.141592653589793);
    EXPECT_BITS(call("arctangent", 1), 45.0);
    EXPECT_BITS(call("arctangent", 0), 0.0);
    EXPECT_BITS(call("arctangent", -0.0), 0.0);
    EXPECT_BITS(call("arctangent", -1), -45.0);
}

TEST(NamedFunctions, InverseFunctionsInRadians) {
    EXPECT_BITS(call("radiant_arcsine", 1), std::asin(runtime(1.0)));
    EXPECT_TRUE(std::isnan(call("radiant_arcsine", 1.5)));
    EXPECT_TRUE(std::isnan(call("radiant_arcsine", -2)));
    EXPECT_BITS(call("radiant_arccosine", -1), std::acos(runtime(-1.0)));
    EXPECT_TRUE(std::isnan(call("radiant_arccosine", 1.01)));
    EXPECT_BITS(call("radiant_arctangent", -0.0), 0.0);
    EXPECT_BITS(call("radiant_arctangent", 1), std::atan(runtime(1.0)));
}

TEST(NamedFunctions, RootAndLogarithm) {
    EXPECT_BITS(call("squareroot", 9), 3.0);
    EXPECT_BITS(call("squareroot", 2), std::sqrt(runtime(2.0)));
    EXPECT_BITS(call("squareroot", -4), inf);
    EXPECT_BITS(call("squareroot", -0.0), -0.0);
    EXPECT_TRUE(std::isnan(call("ln", 0)));
    EXPECT_TRUE(std::isnan(call("ln", -0.0)));
    EXPECT_TRUE(std::isnan(call("ln", -1)));
    EXPECT_BITS(call("ln", 1), 0.0);
    EXPECT_BITS(call("ln", 2), std::log(runtime(2.0)));
}

TEST(NamedFunctions, GuardedFunctionsPassNonFiniteValuesThrough) {
    for (const char* name : {"squareroot", "sine", "radiant_sine", "cosine", "radiant_cosine", "tangent",
                             "radiant_tangent", "ln", "arcsine", "radiant_arcsine", "arccosine", "radiant_arccosine",
                             "arctangent", "radiant_arctangent"}) {
        EXPECT_BITS(call(name, inf), inf);
        EXPECT_BITS(call(name, -inf), -inf);  // also past the range tests of the inverse functions
        EXPECT_TRUE(std::isnan(call(name, notANumber))) << name;
    }
}

TEST(NamedFunctions, HyperbolicFunctionsAreTheLibrarys) {
    EXPECT_BITS(call("hypsine", inf), inf);
    EXPECT_BITS(call("hypsine", 1), std::sinh(runtime(1.0)));
    EXPECT_BITS(call("hypcosine", -inf), inf);
    EXPECT_BITS(call("hypcosine", 1), std::cosh(runtime(1.0)));
    EXPECT_BITS(call("hyptangent", 0.5), std::tanh(runtime(0.5)));
    EXPECT_BITS(call("archypsine", 1), std::asinh(runtime(1.0)));
    EXPECT_TRUE(std::isnan(call("archypcosine", 0.5)));
    EXPECT_BITS(call("archypcosine", 2), std::acosh(runtime(2.0)));
    EXPECT_TRUE(std::isnan(call("archyptangent", 2)));
    EXPECT_BITS(call("archyptangent", 1), inf);
}

TEST(NamedFunctions, FactorialMultipliesDownFromXUpToOneHundred) {
    EXPECT_BITS(call("factorial", 0), 1.0);
    EXPECT_BITS(call("factorial", 1), 1.0);
    EXPECT_BITS(call("factorial", 2), 2.0);
    EXPECT_BITS(call("factorial", 5), 120.0);
    EXPECT_BITS(call("factorial", 100), 9.332621544394418e157);  // not the correctly rounded ...415e157
    EXPECT_BITS(call("factorial", 22), 1.1240007277776077e21);
    EXPECT_TRUE(std::isnan(call("factorial", 101)));
    EXPECT_TRUE(std::isnan(call("factorial", 2.5)));
    EXPECT_TRUE(std::isnan(call("factorial", -1)));
    EXPECT_TRUE(std::isnan(call("factorial", inf)));
    EXPECT_TRUE(std::isnan(call("factorial", -inf)));
    EXPECT_TRUE(std::isnan(call("factorial", notANumber)));
    EXPECT_BITS(call("factorial", -0.0), 1.0);
}
