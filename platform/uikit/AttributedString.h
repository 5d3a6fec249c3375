#pragma once

#include "platform/uikit/Color.h"
#include "platform/uikit/Font.h"

#include <optional>
#include <string>
#include <vector>

namespace uikit {

enum UnderlineStyle : int { UnderlineStyleNone = 0, UnderlineStyleSingle = 1 };

struct TextAttributes {
    std::optional<Font> font;
    std::optional<Color> foregroundColor;
    double baselineOffset = 0;
    std::optional<int> underlineStyle;  // present: the text is underlined in that style
    friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

// UTF-8 text in runs of equal attributes.
class AttributedString {
public:
    struct Run {
        std::string text;
        TextAttributes attributes;
        friend bool operator==(const Run&, const Run&) = default;
    };

    AttributedString() = default;
    AttributedString(std::string text, TextAttributes attributes = {});

    AttributedString& append(const std::string& text, const TextAttributes& attributes);
    AttributedString& append(const AttributedString& other);
    std::string string() const;
    const std::vector<Run>& runs() const { return runs_; }
    bool empty() const;
    // Length in UTF-16 units, the unit of indexes below.
    std::size_t length() const;
    // The attributes of the character at a UTF-16 index; none past the end.
    std::optional<TextAttributes> attributesAt(std::size_t index) const;
    friend bool operator==(const AttributedString&, const AttributedString&) = default;

private:
    std::vector<Run> runs_;
};

}  // namespace uikit
