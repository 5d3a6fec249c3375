#include "engine/PastedNumber.h"

#include "platform/foundation/Characters.h"
#include "platform/foundation/NumberFormatter.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace ostrelo {

namespace {

constexpr std::string_view minusSign = "\u2212";  // "−", as the export writes negatives

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

char lowerCased(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

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

// The length of the whole UTF-8 character at `at` (its lead byte and as many continuation bytes
// as that announces); 0 where none starts.
std::size_t wholeCharacterAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC0 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF8 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 0;
    return length;
}

std::uint32_t packed(std::string_view character) {
    std::uint32_t key = 0;
    for (const char c : character) key = key << 8 | static_cast<unsigned char>(c);
    return key;
}

}  // namespace

PastedNumber::PastedNumber(const foundation::NumberFormatter& locale, bool plainFormat) {
    for (const char* mark : {"\u200E", "\u200F", "\u061C"}) replacements_.push_back({mark, ""});
    if (!plainFormat) {
        for (const std::string& grouping : groupingSeparators(locale.groupingSeparator()))
            replacements_.push_back({grouping, ""});
        const std::string separator = locale.decimalSeparator();
        if (separator != ".") replacements_.push_back({separator, "."});
    }
    const std::array<std::string, 10> own = locale.ownDigits();
    for (std::size_t digit = 0; digit < own.size(); ++digit)
        replacements_.push_back({own[digit], std::string(1, static_cast<char>('0' + digit))});
    std::erase_if(replacements_, [](const Replacement& r) { return r.of.empty(); });

    for (const char c : std::string_view(" \t\n\r\f\v()+-.0123456789e")) keptAscii_[static_cast<unsigned char>(c)] = true;
    keptCharacters_.push_back(packed(minusSign));
    for (const Replacement& r : replacements_) {
        std::size_t characters = 0;
        for (std::size_t at = 0; at < r.of.size() && wholeCharacters_; ++characters) {
            const std::size_t length = wholeCharacterAt(r.of, at);
            wholeCharacters_ = length > 0;
            if (length == 1) keptAscii_[static_cast<unsigned char>(r.of[at])] = true;
            if (length > 1) keptCharacters_.push_back(packed(std::string_view(r.of).substr(at, length)));
            at += std::max<std::size_t>(length, 1);
        }
        singleCharacters_ = singleCharacters_ && characters == 1;
    }
    asciiReplacement_.fill(-1);
    for (std::size_t i = replacements_.size(); i-- > 0;) {
        const std::string& of = replacements_[i].of;
        if (of.size() == 1) asciiReplacement_[static_cast<unsigned char>(of.front())] = static_cast<int>(i);
        else characterReplacement_.insert(characterReplacement_.begin(), {packed(of), static_cast<int>(i)});
    }
    // The text is read in lower case.
    for (char upper = 'A'; upper <= 'Z'; ++upper) {
        keptAscii_[static_cast<unsigned char>(upper)] = keptAscii_[static_cast<unsigned char>(lowerCased(upper))];
        asciiReplacement_[static_cast<unsigned char>(upper)] = asciiReplacement_[static_cast<unsigned char>(lowerCased(upper))];
    }
    for (std::size_t byte = 0; byte < 0x80; ++byte)
        unchanged_[byte] = asciiReplacement_[byte] < 0 && lowerCased(static_cast<char>(byte)) == static_cast<char>(byte);
}

std::optional<double> PastedNumber::read(std::string_view text) const {
    return leadingNumber(readable(text.substr(0, decidingLength(text))));
}

// Up to and with the first whole character that can be part of no number and of no replacement
// (a letter, most punctuation, a symbol): no replacement reaches across it, as it holds no byte
// of one, and the number ends before it. The whole text when there is none, or when a
// replacement is not made of whole characters.
std::size_t PastedNumber::decidingLength(std::string_view text) const {
    if (!wholeCharacters_) return text.size();
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead < 0x80) {
            if (!keptAscii_[lead]) return at + 1;
            ++at;
            continue;
        }
        const std::size_t length = wholeCharacterAt(text, at);
        if (length == 0) {
            ++at;  // a byte of a broken character: what it may yet join is read on
            continue;
        }
        const std::uint32_t key = packed(text.substr(at, length));
        if (std::find(keptCharacters_.begin(), keptCharacters_.end(), key) == keptCharacters_.end()) return at + length;
        at += length;
    }
    return text.size();
}

// The text in lower case with every replacement made: in one pass when every replacement is of
// one character and the text is whole characters (none can then make a character that another
// one replaces), else one pass per replacement.
std::string PastedNumber::readable(std::string_view text) const {
    if (singleCharacters_)
        if (auto result = readableInOnePass(text)) return std::move(*result);
    std::string result;
    result.reserve(text.size());
    for (const char c : text) result += lowerCased(c);
    for (const Replacement& r : replacements_) foundation::Characters::replaceOccurrences(result, r.of, r.with);
    return result;
}

// None at the first broken character.
std::optional<std::string> PastedNumber::readableInOnePass(std::string_view text) const {
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t run = at;
        while (run < text.size() && unchanged_[static_cast<unsigned char>(text[run])]) ++run;
        result.append(text.substr(at, run - at));
        if ((at = run) == text.size()) break;
        const auto lead = static_cast<unsigned char>(text[at]);
        int replacement = -1;
        std::size_t length = 1;
        if (lead < 0x80) {
            replacement = asciiReplacement_[lead];
        } else {
            length = wholeCharacterAt(text, at);
            if (length == 0) return std::nullopt;
            const std::uint32_t key = packed(text.substr(at, length));
            for (const auto& [character, index] : characterReplacement_) {
                if (character == key) {
                    replacement = index;
                    break;
                }
            }
        }
        if (replacement >= 0) result += replacements_[static_cast<std::size_t>(replacement)].with;
        else if (length == 1) result += lowerCased(text[at]);
        else result.append(text.substr(at, length));
        at += length;
    }
    return result;
}

std::optional<double> PastedNumber::leadingNumber(std::string_view text) {
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
    } else if (text.substr(i).starts_with(minusSign)) {
        number += '-';
        i += minusSign.size();
    }
    // The end of the digits that start at `from`.
    const auto digitsEnd = [&text](std::size_t from) {
        while (from < text.size() && isDigit(text[from])) ++from;
        return from;
    };
    std::size_t digitsStop = digitsEnd(i);
    std::size_t mantissaDigits = digitsStop - i;
    number.append(text.substr(i, digitsStop - i));
    i = digitsStop;
    if (i < text.size() && text[i] == '.') {
        // ".5" reads as "0.5".
        if (mantissaDigits == 0) number += '0';
        number += '.';
        digitsStop = digitsEnd(++i);
        mantissaDigits += digitsStop - i;
        number.append(text.substr(i, digitsStop - i));
        i = digitsStop;
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < text.size() && text[i] == 'e') {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        else if (text.substr(j).starts_with(minusSign)) {
            exponent += '-';
            j += minusSign.size();
        }
        if (j < text.size() && isDigit(text[j])) {
            digitsStop = digitsEnd(j);
            number += exponent;
            number.append(text.substr(j, digitsStop - j));
            i = digitsStop;
        }
    }
    if (wrapped && (i >= text.size() || text[i] != ')')) return std::nullopt;

    double value = 0.0;
    const char* begin = number.data();
    const char* end = number.data() + number.size();
    auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too small to show is 0.
        const std::size_t e = number.find('e');
        if (e != std::string::npos && number.compare(e + 1, 1, "-") == 0) return 0.0;
        return number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace ostrelo
