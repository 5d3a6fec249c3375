#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace foundation {

// User-perceived characters (extended grapheme clusters, ICU) of UTF-8 text, and
// UTF-16 unit counts, for every place where the calculator counts characters.
// Invalid UTF-8 never crashes: each bad byte counts as one character.
class Characters {
public:
    static std::vector<std::string> split(std::string_view text);
    static std::size_t count(std::string_view text);
    static std::size_t utf16Length(std::string_view text);
    // The first / last n characters (all of them when n is larger).
    static std::string prefix(std::string_view text, std::size_t n);
    static std::string suffix(std::string_view text, std::size_t n);
    static std::string dropFirst(std::string_view text, std::size_t n);
    static std::string dropLast(std::string_view text, std::size_t n);

    // Upper case by the root locale's full mapping, the same in every locale ("ß" becomes
    // "SS", "i" becomes "I" also in Turkish). Bad bytes stay as they are.
    static std::string uppercased(std::string_view text);
    // Without the white space and line breaks (Unicode's White_Space) at either end.
    static std::string trimmingWhitespaceAndNewlines(std::string_view text);
    // Whether the text is well-formed UTF-8 (no stray or cut sequence, overlong form or surrogate).
    static bool isValidUtf8(std::string_view text);
    // The length in bytes of the well-formed UTF-8 sequence at text[at] (its code point in
    // `codePoint`), or 0 when none starts there (stray or cut sequence, overlong form, surrogate).
    static std::size_t decodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint);
    // The UTF-8 form of a code point, appended to `out`.
    static void appendUtf8(std::string& out, char32_t codePoint);
    // The UTF-8 form of Latin-1 (ISO 8859-1) text.
    static std::string fromLatin1(std::string_view latin1);
    // Every occurrence of `of`, found left to right without overlap, replaced by `with`, in
    // time linear in the text (nothing when `of` is empty); in place when `with` is no longer
    // than `of`.
    static void replaceOccurrences(std::string& text, std::string_view of, std::string_view with);
};

}  // namespace foundation
