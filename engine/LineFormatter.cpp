#include "engine/LineFormatter.h"

#include "platform/foundation/NumberFormatter.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace ostrelo {

namespace {

using foundation::NumberFormatter;

constexpr double kLargestPlainNumber = 999999999.0;
constexpr std::string_view kMinus = "\u2212";  // "−", the true minus sign

// Digit counts handed to the formatter; stored lines may carry any 64-bit value.
int digitSetting(std::int64_t digits) { return static_cast<int>(std::clamp<std::int64_t>(digits, 0, 999)); }

void setFractionDigits(NumberFormatter& formatter, std::int64_t digits) {
    formatter.setMinimumFractionDigits(digitSetting(digits));
    formatter.setMaximumFractionDigits(digitSetting(digits));
}

// User-visible characters of formatted numbers: digits, signs and separators are one
// code point each, so code points are counted (a separator may take several bytes).
std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The exponent written after "E" in a scientific text; 0 when there is none.
std::int64_t exponentOf(std::string_view text) {
    const std::size_t e = text.rfind('E');
    if (e == std::string_view::npos) return 0;
    std::string_view rest = text.substr(e + 1);
    bool negative = false;
    std::size_t i = 0;
    while (i < rest.size() && (rest[i] < '0' || rest[i] > '9')) {
        if (rest[i] == '-' || rest.substr(i).starts_with(kMinus)) negative = true;
        ++i;
    }
    std::int64_t value = 0;
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) value = std::min<std::int64_t>(value * 10 + (rest[i] - '0'), 100000);
    return negative ? -value : value;
}

// The formatted magnitude behind "−", or inside "(−" ")", when it is negative.
std::string withSign(const std::string& magnitudeText, bool negative, bool parenthesizeNegative) {
    if (!negative) return magnitudeText;
    if (parenthesizeNegative) return "(" + std::string(kMinus) + magnitudeText + ")";
    return std::string(kMinus) + magnitudeText;
}

std::string cleanNegativeZero(std::string text) {
    static const std::string minusZero = std::string(kMinus) + "0";
    if (text == "-0" || text == minusZero || text == "(" + minusZero + ")") return "0";
    if (text == "-0E0" || text == minusZero + "E0" || text == "(" + minusZero + "E0)") return "0E0";
    return text;
}

// The sign is always written here, never by the formatter, so no text carries the
// locale's own minus (an ASCII hyphen in most locales). A zero is negative only where
// `keepZeroSign` says so: a number being typed keeps the sign typed for it.
std::string signRule(const NumberFormatter& formatter, double number, bool parenthesizeNegative,
                     bool keepZeroSign = false) {
    const bool negative = number < 0 || (keepZeroSign && std::signbit(number));
    return cleanNegativeZero(withSign(formatter.stringFromNumber(std::fabs(number)), negative, parenthesizeNegative));
}

// The number still being typed, shown as typed.
// Enough significant digits to show any double without rounding its exponent.
constexpr std::int64_t kAllSignificantDigits = 17;

std::string typingText(NumberFormatter& formatter, std::int64_t digits, bool separator, std::int64_t fraction,
                       double number, bool scientific, bool parenthesizeNegative) {
    const double magnitude = std::fabs(number);
    formatter.setNumberStyle(scientific ? NumberFormatter::Style::scientific : NumberFormatter::Style::decimal);
    setFractionDigits(formatter, fraction);
    if (scientific) {
        if (magnitude <= kLargestPlainNumber) {
            // Scientific digit settings count significant digits: read the number's own
            // exponent from a first text with every significant digit (a text cut to the
            // typed digits could round up: 9.6 would read as 1E1) and show every typed
            // digit of the mantissa.
            setFractionDigits(formatter, kAllSignificantDigits);
            const std::int64_t exponent = exponentOf(formatter.latinDigits(formatter.stringFromNumber(number)));
            setFractionDigits(formatter, std::max<std::int64_t>(digitSetting(fraction) + exponent + 1, 1));
        } else {
            formatter.setMinimumFractionDigits(0);
            formatter.setMaximumFractionDigits(9);
        }
    }
    // Typed fraction digits show the sign of a zero too (0.0001, "±", "C" shows −0.000).
    if (!separator || fraction > 0) return signRule(formatter, number, parenthesizeNegative, fraction > 0);

    // The separator has just been typed.
    if (!scientific) {
        const std::string text = formatter.stringFromNumber(magnitude) + formatter.decimalSeparator();
        return cleanNegativeZero(withSign(text, number < 0, parenthesizeNegative));
    }
    if (digits != 1) return signRule(formatter, number, parenthesizeNegative);
    formatter.setNumberStyle(NumberFormatter::Style::decimal);
    setFractionDigits(formatter, 0);
    const std::string text = formatter.stringFromNumber(magnitude) + formatter.decimalSeparator() + "E0";
    return cleanNegativeZero(withSign(text, number < 0, true));
}

// Results, and numbers followed by other lines.
std::string generalText(NumberFormatter& formatter, bool separator, double number, bool scientific,
                        bool parenthesizeNegative) {
    const double magnitude = std::fabs(number);
    formatter.setNumberStyle(NumberFormatter::Style::decimal);
    if (magnitude <= kLargestPlainNumber) {
        const bool grouping = formatter.usesGroupingSeparator();
        formatter.setUsesGroupingSeparator(false);
        if (scientific) {
            formatter.setNumberStyle(NumberFormatter::Style::scientific);
            const std::string text = formatter.stringFromNumber(magnitude);
            const std::string mantissa = text.substr(0, text.find('E'));
            if (characterCount(mantissa) >= 3) {
                const std::size_t at = mantissa.find(formatter.decimalSeparator());
                const std::size_t after =
                    at == std::string::npos ? 0 : characterCount(mantissa.substr(at + formatter.decimalSeparator().size()));
                setFractionDigits(formatter, std::min<std::int64_t>(static_cast<std::int64_t>(after) + 1, 9));
            }
        } else if (magnitude == std::trunc(magnitude)) {
            // A whole number shows no fraction digits whatever its length (its zero fraction
            // formats to a single digit), so nothing is formatted to measure it.
            setFractionDigits(formatter, 0);
        } else {
            const double integerPart = std::trunc(magnitude);
            const auto k = static_cast<std::int64_t>(characterCount(formatter.stringFromNumber(integerPart)));
            if (k >= 9) {
                setFractionDigits(formatter, 0);
            } else {
                const auto length = static_cast<std::int64_t>(characterCount(formatter.stringFromNumber(magnitude - integerPart)));
                setFractionDigits(formatter, length < 3 ? 0 : std::min(length - 2, 9 - k));
                if (separator && formatter.maximumFractionDigits() > 0) {
                    // Trailing zeros in the locale's own digits too ("٫٧٠٠" in ar_EG).
                    const std::string text = formatter.latinDigits(formatter.stringFromNumber(magnitude));
                    int zeros = 0;
                    while (zeros < formatter.maximumFractionDigits() &&
                           text.size() > static_cast<std::size_t>(zeros) && text[text.size() - 1 - zeros] == '0')
                        ++zeros;
                    formatter.setMinimumFractionDigits(formatter.minimumFractionDigits() - zeros);
                    formatter.setMaximumFractionDigits(formatter.maximumFractionDigits() - zeros);
                }
            }
        }
        formatter.setUsesGroupingSeparator(grouping);
    } else {
        setFractionDigits(formatter, 0);
        if (scientific) {
            formatter.setNumberStyle(NumberFormatter::Style::scientific);
            formatter.setMaximumFractionDigits(9);
        }
    }
    return signRule(formatter, number, parenthesizeNegative);
}

}  // namespace

std::string LineFormatter::formatLine(const std::string& item, const std::string& type, std::int64_t digits,
                                      bool separator, std::int64_t fraction, std::int64_t linesAfter, double number,
                                      bool scientific, bool parenthesizeNegative, bool plainFormat) {
    if (type != "N" && type != "R") return item;
    if (!item.empty()) return item;

    NumberFormatter formatter;  // the current locale, read afresh
    if (plainFormat) {
        formatter.setUsesGroupingSeparator(false);
        formatter.setDecimalSeparator(".");
    }
    formatter.setMinimumFractionDigits(0);
    formatter.setMaximumFractionDigits(8);

    const std::string text =
        type == "N" && linesAfter == 0
            ? typingText(formatter, digits, separator, fraction, number, scientific, parenthesizeNegative)
            : generalText(formatter, separator, number, scientific, parenthesizeNegative);
    // Machine-readable texts are read in any locale: Latin digits whatever the locale writes.
    return plainFormat ? formatter.latinDigits(text) : text;
}

std::string LineFormatter::memoryLineText(const std::string& item, const std::string& type, std::int64_t digits,
                                          bool separator, std::int64_t fraction, std::int64_t linesAfter,
                                          double number, bool scientific, bool parenthesizeNegative) {
    return formatLine(item, type, digits, separator, fraction, linesAfter, number, scientific, parenthesizeNegative,
                      false);
}

}  // namespace ostrelo
