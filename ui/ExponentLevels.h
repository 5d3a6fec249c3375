#pragma once

#include <string>
#include <vector>

namespace ostrelo {

// The text a display line draws and one raise level per character of it: exponents typed with
// "^" (and the "⁻¹" of the reciprocal key) are raised one level per caret; the carets themselves
// are dropped, except one that ends the text.
struct ExponentLevels {
    std::vector<std::string> characters;  // the display text, one entry per character
    std::vector<int> levels;              // one per character
    int highestLevel = 0;

    std::string text() const;
};

// Separators of the exponent digits are the first characters of the locale's decimal and grouping
// separators, read afresh from a number formatter.
ExponentLevels exponentLevels(const std::string& text);
ExponentLevels exponentLevels(const std::string& text, const std::string& decimalSeparator,
                              const std::string& groupingSeparator);

}  // namespace ostrelo
