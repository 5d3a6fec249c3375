#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace foundation {
class NumberFormatter;
}

namespace ostrelo {

// The number a pasted or handed-over text starts with, as the import reads it: the text in
// lower case; the direction marks some locales write around a sign dropped; for text in the
// locale's format, the grouping separators dropped and the decimal separator read as "."; the
// locale's own digits read as Latin ones; then optional blanks, a sign ("+", "-" or "−"),
// digits with an optional "." and fraction digits and an optional exponent, or a negative
// wrapped as the export writes it, "(−3.5)". The rest of the text is ignored.
//
// Only what the number needs is read: reading stops at the first character that can be part
// neither of a number nor of a separator, so a paste of any length takes time in proportion to
// its leading number (and to the blanks and separators before it).
class PastedNumber {
public:
    PastedNumber(const foundation::NumberFormatter& locale, bool plainFormat);

    // None when the text does not start with a number; an infinity of the number's sign when it
    // starts with one too large for a double (one too small to show is 0).
    std::optional<double> read(std::string_view text) const;

private:
    // Made one after another, each on the whole text the ones before left.
    struct Replacement {
        std::string of;
        std::string with;
    };

    std::size_t decidingLength(std::string_view text) const;
    std::string readable(std::string_view text) const;
    std::optional<std::string> readableInOnePass(std::string_view text) const;
    static std::optional<double> leadingNumber(std::string_view text);

    std::vector<Replacement> replacements_;
    // The ASCII characters, either case, that a number or a replacement may hold.
    std::array<bool, 128> keptAscii_{};
    // The other characters that a number or a replacement may hold, their bytes packed.
    std::vector<std::uint32_t> keptCharacters_;
    // Every replacement replaces whole characters (else the whole text is read), and one
    // character each (so that all can be made in one pass over text of whole characters).
    bool wholeCharacters_ = true;
    bool singleCharacters_ = true;
    // For that pass: the first replacement of each ASCII character (either case) and of each
    // other character, by its index; -1 for none.
    std::array<int, 128> asciiReplacement_{};
    // The bytes that stay as they are: ASCII but upper-case letters and replaced characters.
    std::array<bool, 256> unchanged_{};
    std::vector<std::pair<std::uint32_t, int>> characterReplacement_;
};

}  // namespace ostrelo
