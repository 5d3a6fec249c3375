#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace foundation {

// The phone's number formatter over ICU. A new formatter takes the current locale
// (read afresh at creation), decimal style, grouping as the locale has it for the
// decimal style, fraction digits 0...3 like the phone, rounding half to even.
//
// Scientific style writes mantissa "E" exponent: "1.5E2", "1E-5", "3.25E0" (no "+",
// no leading zeros in the exponent, one integer digit). As on the phone, in
// scientific style the fraction-digit settings count significant digits of the
// mantissa: maximum 8 shows at most 8 significant digits (7 after the separator),
// minimum = maximum = 4 shows exactly 4 (1.234E2); a maximum of 0 shows every digit
// of the number, as a scientific pattern without fraction digits does.
//
// Changing the style keeps the fraction-digit and grouping settings. Raising the
// minimum above the maximum raises the maximum, and lowering the maximum below the
// minimum lowers the minimum (digit counts are kept within 0...999). setLocale drops
// a decimal separator set earlier. Negative numbers take the locale's minus sign
// ("-" in en_US and de_DE; -0.0 gives "-0").
class NumberFormatter {
public:
    enum class Style { decimal, scientific };
    enum class RoundingMode { ceiling, floor, down, up, halfEven, halfDown, halfUp };

    NumberFormatter();
    explicit NumberFormatter(const std::string& localeIdentifier);
    ~NumberFormatter();
    NumberFormatter(const NumberFormatter&) = delete;
    NumberFormatter& operator=(const NumberFormatter&) = delete;

    void setLocale(const std::string& localeIdentifier);
    void setNumberStyle(Style style);
    Style numberStyle() const;
    void setUsesGroupingSeparator(bool uses);
    bool usesGroupingSeparator() const;
    void setMinimumFractionDigits(int digits);
    void setMaximumFractionDigits(int digits);
    int minimumFractionDigits() const;
    int maximumFractionDigits() const;
    void setRoundingMode(RoundingMode mode);

    // The locale's separators, or the ones set here.
    std::string decimalSeparator() const;
    void setDecimalSeparator(const std::string& separator);
    std::string groupingSeparator() const;

    // The text with this formatter's locale digits ("٠"..."٩" in ar_EG, "۰"..."۹" in fa_IR)
    // written as Latin "0"..."9"; every other character stays as it is.
    std::string latinDigits(const std::string& text) const;
    // The locale's own digits for 0 to 9 ("" for a digit the locale writes as the Latin one).
    std::array<std::string, 10> ownDigits() const;

    std::string stringFromNumber(double value) const;
    // Strict parse of the whole text in this formatter's locale, style and decimal separator
    // (grouping separators only where the locale puts them, no blanks, in decimal style no
    // exponent); none when it is no number.
    std::optional<double> numberFromString(const std::string& text) const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace foundation
