#pragma once

#include "platform/uikit/AttributedString.h"
#include "platform/uikit/Color.h"

#include <cstddef>
#include <string>
#include <vector>

namespace ostrelo {

// Builders of the display line's attributed text, in the theme font.

// Appends `text` in the theme font at `size` and the foreground `color`; returns `piece`.
uikit::AttributedString& makeAttributedText(uikit::AttributedString& piece, const std::string& text, double size,
                                            const uikit::Color& color);

// Appends `text` raised `level` levels: the theme font at size × (2/3)^level, the baseline offset
// size × 0.5 × (1 + 2/3 + … + (2/3)^(level−1)) (0 for level 0); returns `piece`.
uikit::AttributedString& makeExponentText(uikit::AttributedString& piece, const std::string& text, int level,
                                          double size, const uikit::Color& color);

// A range of UTF-16 units.
struct TextRange {
    std::size_t location = 0;
    std::size_t length = 0;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// Every non-overlapping occurrence of `substring` in `text` within `range`, left to right.
std::vector<TextRange> rangesOfSubstring(const std::string& text, const std::string& substring, TextRange range);

}  // namespace ostrelo
