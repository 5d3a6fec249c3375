#pragma once

#include <string>

namespace foundation {

// Decimal views of a double, as the phone's decimal number type gives them.
class DecimalNumber {
public:
    // Shortest text that reads back as the same double, always with a fraction part
    // or an exponent: "3.0", "0.5", "-2.0", "0.0001", "1e-05", "1.5e-07",
    // "1000000000000000.0", "1e+16", "inf", "-inf", "nan".
    // Exponent form below 1e-4 and from 1e16 on; the exponent has a sign and at least two digits.
    static std::string shortestText(double value);

    // The value's shortest decimal digits cut toward zero at `places` decimal places
    // (0 to 18): 0.7 at 1 place stays 0.7, 0.30000000000000004 gives 0.3, -1.25 at 1 gives -1.2.
    // Non-finite values come back unchanged.
    static double cutTowardZero(double value, int places);

    // The value's shortest decimal digits rounded at `places` decimal places (0 to 18),
    // halves away from zero: 114.14999999999999 at 2 places gives 114.15, -0.125 at 2
    // gives -0.13. Non-finite values come back unchanged.
    static double roundHalfAwayFromZero(double value, int places);
};

}  // namespace foundation
