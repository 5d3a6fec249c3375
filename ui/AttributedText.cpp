#include "ui/AttributedText.h"

#include "platform/foundation/Characters.h"
#include "platform/uikit/Font.h"
#include "ui/Theme.h"

#include <algorithm>
#include <cmath>

namespace ostrelo {

namespace {

uikit::TextAttributes themeAttributes(double size, const uikit::Color& color) {
    uikit::TextAttributes attributes;
    // Without a font of the theme's name the platform's default font is used.
    attributes.font = uikit::Font::named(themeFontName(), size);
    attributes.foregroundColor = color;
    return attributes;
}

// Byte offset of the UTF-16 index `units` in `text` (the end when past it).
std::size_t byteOffsetOfUnits(const std::string& text, std::size_t units) {
    std::size_t offset = 0;
    std::size_t counted = 0;
    while (offset < text.size() && counted < units) {
        const auto lead = static_cast<unsigned char>(text[offset]);
        std::size_t length = 1;
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        counted += length == 4 ? 2 : 1;
        offset += length;
    }
    return std::min(offset, text.size());
}

}  // namespace

uikit::AttributedString& makeAttributedText(uikit::AttributedString& piece, const std::string& text, double size,
                                            const uikit::Color& color) {
    piece.append(text, themeAttributes(size, color));
    return piece;
}

uikit::AttributedString& makeExponentText(uikit::AttributedString& piece, const std::string& text, int level,
                                          double size, const uikit::Color& color) {
    double offset = 0;
    double factor = 1;
    for (int i = 0; i < level; ++i) {
        offset += factor;
        factor *= 2.0 / 3.0;
    }
    auto attributes = themeAttributes(size * std::pow(2.0 / 3.0, std::max(level, 0)), color);
    attributes.baselineOffset = size * 0.5 * offset;
    piece.append(text, attributes);
    return piece;
}

std::vector<TextRange> rangesOfSubstring(const std::string& text, const std::string& substring, TextRange range) {
    std::vector<TextRange> ranges;
    if (substring.empty()) return ranges;
    const std::size_t begin = byteOffsetOfUnits(text, range.location);
    const std::size_t end = byteOffsetOfUnits(text, range.location + range.length);
    const std::size_t substringUnits = foundation::Characters::utf16Length(substring);
    std::size_t position = begin;
    while (position < end) {
        const std::size_t found = text.find(substring, position);
        if (found == std::string::npos || found + substring.size() > end) break;
        ranges.push_back({foundation::Characters::utf16Length(std::string_view(text).substr(0, found)), substringUnits});
        position = found + substring.size();
    }
    return ranges;
}

}  // namespace ostrelo
