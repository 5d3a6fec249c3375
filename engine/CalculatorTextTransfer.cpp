// The calculation as text for the pasteboard, and one pasted or handed-over number taken
// back into the calculation.

#include "engine/Calculator.h"

#include "platform/foundation/Characters.h"
#include "platform/foundation/NumberFormatter.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace ostrelo {

namespace {

constexpr std::string_view kMinus = "\u2212";  // "−", as the export writes negatives

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The characters people type for a locale's grouping separator: any space where it is a
// space, either apostrophe where it is an apostrophe, else the separator itself.
std::vector<std::string> groupingSeparators(const std::string& separator) {
    static const std::vector<std::string> spaces{" ", "\u00A0", "\u202F"};
    static const std::vector<std::string> apostrophes{"'", "\u2019"};
    for (const auto* family : {&spaces, &apostrophes}) {
        for (const std::string& member : *family)
            if (member == separator) return *family;
    }
    return {separator};
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// ASCII letters in lower case; other characters (the "−" among them) as they are.
std::string lowerCased(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// The number at the start of the text: optional blanks, an optional sign ("+", "-" or
// "−"), digits with an optional "." and fraction digits, an optional exponent "e" with an
// optional sign and digits. A negative may also come wrapped as "(−3.5)", as the export
// writes it. The rest of the text is ignored. None when the text does not start with a
// number (also "inf", "nan" and hexadecimal forms) or the number overflows.
std::optional<double> leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool wrapped = false;
    if (i < text.size() && text[i] == '(') {
        wrapped = true;
        ++i;
    }
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') number += '-';
        ++i;
    } else if (text.substr(i).starts_with(kMinus)) {
        number += '-';
        i += kMinus.size();
    }
    std::size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        number += text[i++];
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == '.') {
        number += '.';
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            number += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < text.size() && text[i] == 'e') {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        else if (text.substr(j).starts_with(kMinus)) {
            exponent += '-';
            j += kMinus.size();
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) exponent += text[j++];
            number += exponent;
            i = j;
        }
    }
    if (wrapped) {
        if (i >= text.size() || text[i] != ')') return std::nullopt;
    }
    if (number.front() == '.' || number.starts_with("-.")) number.insert(number.front() == '-' ? 1 : 0, "0");

    double value = 0.0;
    const char* begin = number.data();
    const char* end = number.data() + number.size();
    auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too small to show is 0; too large is no number.
        const std::size_t e = number.find('e');
        if (e != std::string::npos && number.compare(e + 1, 1, "-") == 0) return 0.0;
        return std::nullopt;
    }
    if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

std::string Calculator::resultText() const {
    if (ostrelo.items.size() != 1) return "";
    return calculationText();
}

std::string Calculator::expressionText() const { return calculationText(); }

void Calculator::importCalculationText(const std::string& text, bool plainFormat) {
    const StoreCommit operation(*this);
    // A number pasted into a date entry would end it half-way: the entry is left alone.
    if (dateCalculator) return;
    std::string readable = lowerCased(text);
    // The direction marks some locales write around a sign (ar_EG, fa_IR) are no characters
    // of the number.
    for (const char* mark : {"\u200E", "\u200F", "\u061C"}) replaceAll(readable, mark, "");
    foundation::NumberFormatter locale;
    if (!plainFormat) {
        for (const std::string& grouping : groupingSeparators(locale.groupingSeparator()))
            replaceAll(readable, grouping, "");
        const std::string separator = locale.decimalSeparator();
        if (separator != ".") replaceAll(readable, separator, ".");
    }
    // The locale's own digits read as the Latin ones.
    readable = locale.latinDigits(readable);
    const double x = leadingNumber(readable).value_or(0.0);

    // The digits of the line, counted as the display writes the number.
    foundation::NumberFormatter formatter;
    formatter.setUsesGroupingSeparator(false);
    const double magnitude = std::fabs(x);
    std::int64_t k = 0;
    std::int64_t f = 0;
    if (x != 0 && magnitude > 999999999.0) {
        formatter.setMinimumFractionDigits(0);
        formatter.setMaximumFractionDigits(0);
        k = static_cast<std::int64_t>(foundation::Characters::count(formatter.stringFromNumber(magnitude)));
    } else {
        const double integerPart = std::trunc(magnitude);
        formatter.setMinimumFractionDigits(0);
        formatter.setMaximumFractionDigits(8);
        k = static_cast<std::int64_t>(foundation::Characters::count(formatter.stringFromNumber(integerPart)));
        if (k < 9) {
            const auto length = static_cast<std::int64_t>(
                foundation::Characters::count(formatter.stringFromNumber(magnitude - integerPart)));
            if (length >= 3) f = std::min(length - 2, 9 - k);
        }
    }
    const std::int64_t digits = k + f;

    // The lines change here; the display texts follow at the next refresh.
    const std::string& type = ostreloLine.type;
    if (type == "R" || type == "N") {
        ostrelo.popLine();
        enterToken(digits, f, "R", "", x);
    } else if (type == "O" || type == "√" || type == "(" || type == "^") {
        enterToken(digits, f, "N", "", x);
    }
    // Nothing is entered after a function name, ")", "²", "!" or "%".
}

}  // namespace ostrelo
