#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ostrelo {

// The parts of currency conversion that do not need a calculation: the stored rate of a
// pair and the digit counts of the rate's number line (Calculator::enterCurrencyConversion).
class CurrencyConversion {
public:
    // The number of units of `to` for one unit of `from`, read from the suite under
    // from + to; 1.0 when the key is absent or holds no number.
    static double storedRate(const std::string& from, const std::string& to);
    // The same rate, none when the key is absent or holds no number.
    static std::optional<double> pairRate(const std::string& from, const std::string& to);

    // Digit counts of the rate as a number line, from its shortest decimal text:
    // fraction = characters after ".", digits = characters without the "."
    // (1.085 gives 4 and 3, 2.0 gives 2 and 1).
    struct RateDigits {
        std::int64_t digits = 0;
        std::int64_t fraction = 0;
    };
    static RateDigits rateDigits(double rate);
};

}  // namespace ostrelo
