#include "platform/foundation/DecimalNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace foundation {

namespace {

// The shortest round-trip digits of a finite double: sign, significant digits
// (no leading or trailing zeros, except "0" for zero) and the decimal exponent of
// the first digit, so that |value| = d.ddd × 10^exponent.
struct ShortestDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

ShortestDigits shortestDigits(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    ShortestDigits out;
    if (!text.empty() && text.front() == '-') {
        out.negative = true;
        text.remove_prefix(1);
    }
    const auto e = text.find('e');
    const std::string_view mantissa = text.substr(0, e);
    for (char c : mantissa)
        if (c != '.') out.digits.push_back(c);
    const std::string_view exponent = text.substr(e + 1);
    const char* first = exponent.data();
    if (*first == '+') ++first;
    std::from_chars(first, exponent.data() + exponent.size(), out.exponent);
    while (out.digits.size() > 1 && out.digits.back() == '0') out.digits.pop_back();
    return out;
}

}  // namespace

std::string DecimalNumber::shortestText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    const ShortestDigits d = shortestDigits(value);
    std::string text = d.negative ? "-" : "";
    const int digitCount = static_cast<int>(d.digits.size());
    if (d.exponent >= -4 && d.exponent < 16) {
        if (d.exponent >= 0) {
            const int integerDigits = d.exponent + 1;
            if (digitCount <= integerDigits) {
                text += d.digits;
                text.append(static_cast<std::size_t>(integerDigits - digitCount), '0');
                text += ".0";
            } else {
                text += d.digits.substr(0, static_cast<std::size_t>(integerDigits));
                text += '.';
                text += d.digits.substr(static_cast<std::size_t>(integerDigits));
            }
        } else {
            text += "0.";
            text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
            text += d.digits;
        }
        return text;
    }
    text += d.digits.front();
    if (digitCount > 1) {
        text += '.';
        text += d.digits.substr(1);
    }
    text += d.exponent < 0 ? "e-" : "e+";
    const int magnitude = std::abs(d.exponent);
    if (magnitude < 10) text += '0';
    text += std::to_string(magnitude);
    return text;
}

double DecimalNumber::cutTowardZero(double value, int places) {
    if (!std::isfinite(value) || value == 0.0) return value;
    places = std::clamp(places, 0, 18);
    const ShortestDigits d = shortestDigits(value);
    const int keep = d.exponent + 1 + places;  // digits in front of the cut
    if (keep >= static_cast<int>(d.digits.size())) return value;
    if (keep <= 0) return 0.0;
    std::string text = d.negative ? "-" : "";
    text += d.digits.substr(0, static_cast<std::size_t>(keep));
    text += 'e';
    text += std::to_string(d.exponent - keep + 1);
    double cut = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), cut);
    if (result.ec != std::errc()) return value;
    return cut;
}

double DecimalNumber::roundHalfAwayFromZero(double value, int places) {
    if (!std::isfinite(value) || value == 0.0) return value;
    places = std::clamp(places, 0, 18);
    const ShortestDigits d = shortestDigits(value);
    const int keep = d.exponent + 1 + places;  // digits in front of the rounding place
    if (keep >= static_cast<int>(d.digits.size())) return value;
    if (keep < 0) return 0.0;
    std::string kept = d.digits.substr(0, static_cast<std::size_t>(keep));
    if (d.digits[static_cast<std::size_t>(keep)] >= '5') {
        // Add one unit in the last kept place, carrying through nines.
        auto position = kept.rbegin();
        while (position != kept.rend() && *position == '9') *position++ = '0';
        if (position == kept.rend())
            kept.insert(kept.begin(), '1');
        else
            ++*position;
    }
    if (kept.empty()) return 0.0;
    // `kept` counts units of 10^-places; a carry into a new digit only lengthens it.
    std::string text = d.negative ? "-" : "";
    text += kept;
    text += "e-";
    text += std::to_string(places);
    double rounded = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), rounded);
    if (result.ec != std::errc()) return value;
    return rounded;
}

}  // namespace foundation
