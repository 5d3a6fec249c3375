#include "engine/NamedFunctions.h"

#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_map>

namespace ostrelo {

namespace {

constexpr double pi = 3.141592653589793;
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

double degreesToRadians(double x) { return (x * pi) / 180; }
double radiansToDegrees(double r) { return (r * 180) / pi; }

bool passesThrough(double x) { return std::isinf(x) || std::isnan(x); }

double squareroot(double x) {
    if (passesThrough(x)) return x;
    if (x < 0) return infinity;
    return std::sqrt(x);
}

double sine(double x) {
    if (passesThrough(x)) return x;
    if (std::fmod(x - 90, 360) == 0) return 1.0;
    if (std::fmod(x, 180) == 0) return 0.0;
    if (std::fmod(x - 270, 360) == 0) return -1.0;
    return std::sin(degreesToRadians(x));
}

double cosine(double x) {
    if (passesThrough(x)) return x;
    if (std::fmod(x - 90, 180) == 0) return 0.0;
    if (std::fmod(x, 360) == 0) return 1.0;
    if (std::fmod(x - 180, 360) == 0) return -1.0;
    return std::cos(degreesToRadians(x));
}

double tangent(double x) {
    if (passesThrough(x)) return x;
    if (std::fmod(x - 90, 180) == 0) return notANumber;
    return std::tan(degreesToRadians(x));
}

double radiantSine(double x) { return passesThrough(x) ? x : std::sin(x); }
double radiantCosine(double x) { return passesThrough(x) ? x : std::cos(x); }

double radiantTangent(double x) {
    if (passesThrough(x)) return x;
    if (std::cos(x) == 0) return notANumber;
    return std::tan(x);
}

double ln(double x) {
    if (passesThrough(x)) return x;
    if (x == 0) return notANumber;
    return std::log(x);
}

// arcsine and arccosine in degrees: the range test, then exact values at 1, 0 and -1.
double degreeInverse(double x, double (*function)(double), double atOne, double atZero, double atMinusOne) {
    if (passesThrough(x)) return x;
    if (x > 1) return notANumber;
    if (x < -1) return notANumber;
    if (x == 1) return atOne;
    if (x == 0) return atZero;
    if (x == -1) return atMinusOne;
    return radiansToDegrees(function(x));
}

double radiantInverse(double x, double (*function)(double)) {
    if (passesThrough(x)) return x;
    if (x > 1) return notANumber;
    if (x < -1) return notANumber;
    return function(x);
}

double arcsine(double x) { return degreeInverse(x, [](double v) { return std::asin(v); }, 90.0, 0.0, -90.0); }
double arccosine(double x) { return degreeInverse(x, [](double v) { return std::acos(v); }, 0.0, 90.0, 180.0); }
double radiantArcsine(double x) { return radiantInverse(x, [](double v) { return std::asin(v); }); }
double radiantArccosine(double x) { return radiantInverse(x, [](double v) { return std::acos(v); }); }

double arctangent(double x) {
    if (passesThrough(x)) return x;
    if (x == 0) return 0.0;
    return radiansToDegrees(std::atan(x));
}

double radiantArctangent(double x) {
    if (passesThrough(x)) return x;
    if (x == 0) return 0.0;
    return std::atan(x);
}

// The hyperbolic functions apply the library function with no test at all.
double hyperbolic(double x, double (*function)(double)) { return function(x); }

double factorial(double x) {
    if (std::floor(x) != x) return notANumber;
    if (x < 0) return notANumber;
    if (x > 100) return notANumber;
    double r = 1.0;
    if (x > 1) {
        while (x > 0) {
            r = r * x;
            x = x - 1;
        }
    }
    return r;
}

using Function = double (*)(double);

const std::unordered_map<std::string_view, Function>& table() {
    static const std::unordered_map<std::string_view, Function> functions = {
        {"squareroot", squareroot},
        {"sine", sine},
        {"radiant_sine", radiantSine},
        {"cosine", cosine},
        {"radiant_cosine", radiantCosine},
        {"tangent", tangent},
        {"radiant_tangent", radiantTangent},
        {"ln", ln},
        {"arcsine", arcsine},
        {"radiant_arcsine", radiantArcsine},
        {"arccosine", arccosine},
        {"radiant_arccosine", radiantArccosine},
        {"arctangent", arctangent},
        {"radiant_arctangent", radiantArctangent},
        {"hypsine", [](double x) { return hyperbolic(x, [](double v) { return std::sinh(v); }); }},
        {"hypcosine", [](double x) { return hyperbolic(x, [](double v) { return std::cosh(v); }); }},
        {"hyptangent", [](double x) { return hyperbolic(x, [](double v) { return std::tanh(v); }); }},
        {"archypsine", [](double x) { return hyperbolic(x, [](double v) { return std::asinh(v); }); }},
        {"archypcosine", [](double x) { return hyperbolic(x, [](double v) { return std::acosh(v); }); }},
        {"archyptangent", [](double x) { return hyperbolic(x, [](double v) { return std::atanh(v); }); }},
        {"factorial", factorial},
    };
    return functions;
}

}  // namespace

std::optional<double> NamedFunctions::call(const std::string& name, double x) {
    const auto& functions = table();
    const auto found = functions.find(name);
    if (found == functions.end()) return std::nullopt;
    return found->second(x);
}

double NamedFunctions::powerWithPower(double x, double y) { return std::pow(x, y); }

}  // namespace ostrelo
