// A long text measured in pieces has the size of the whole text laid out at once, to the last
// bit: the display's width, and so its scrolling and its picture, do not change with the way it
// is measured.
#include "platform/render/LongTextMeasure.h"
#include "platform/render/TextLayout.h"
#include "platform/uikit/AttributedString.h"
#include "platform/uikit/Font.h"

#include <gtest/gtest.h>

#include <string>

namespace {

uikit::TextAttributes in(const std::string& font, double size, uikit::Color colour = uikit::Color::black()) {
    uikit::TextAttributes attributes;
    attributes.font = uikit::Font::named(font, size);
    attributes.foregroundColor = colour;
    return attributes;
}

std::string repeated(const std::string& part, std::size_t bytes) {
    std::string text;
    while (text.size() < bytes) text += part;
    return text;
}

TEST(LongTextMeasure, APieceBuiltSizeIsTheWholeLayoutsSize) {
    struct Case {
        const char* what;
        uikit::AttributedString text;
    };
    uikit::AttributedString highlighted(repeated("12+34×(5−6)÷", 9000), in("HelveticaNeue-Thin", 57));
    highlighted.append("(", in("HelveticaNeue-Thin", 57, uikit::Color(1, 0.5, 0, 1)));
    highlighted.append("7+8", in("HelveticaNeue-Thin", 57));
    highlighted.append(")", in("HelveticaNeue-Thin", 57, uikit::Color(1, 0.5, 0, 1)));
    const Case cases[] = {
        {"digits and operators", uikit::AttributedString(repeated("12+34+", 20000), in("HelveticaNeue-Thin", 43))},
        {"a marked group at the end", highlighted},
        {"kerned letters", uikit::AttributedString(repeated("AVATAVATAVA", 6000), in("HelveticaNeue", 31))},
        {"fallback faces", uikit::AttributedString(repeated("3⁻¹+𝑖·√2+€+", 7000), in("HelveticaNeue-Thin", 50))},
    };
    for (const Case& c : cases) {
        render::LongTextMeasure measure;
        uikit::AttributedString text = c.text;
        for (const char* end : {"", "7", "+", "9"}) {
            text.append(end, text.runs().back().attributes);
            const auto pieces = measure.size(text);
            ASSERT_TRUE(pieces.has_value()) << c.what;
            const uikit::Size whole = render::TextLayout(text).size();
            EXPECT_EQ(pieces->width, whole.width) << c.what << " + \"" << end << "\"";
            EXPECT_EQ(pieces->height, whole.height) << c.what;
        }
    }
}

TEST(LongTextMeasure, ShortOrMixedTextsAreLeftToTheWholeLayout) {
    render::LongTextMeasure measure;
    EXPECT_FALSE(measure.size(uikit::AttributedString("12+34", in("HelveticaNeue-Thin", 40))));
    uikit::AttributedString raised(repeated("12+34+", 8000), in("HelveticaNeue-Thin", 40));
    uikit::TextAttributes exponent = in("HelveticaNeue-Thin", 26);
    exponent.baselineOffset = 20;
    raised.append("2", exponent);
    EXPECT_FALSE(measure.size(raised));
    EXPECT_FALSE(measure.size(uikit::AttributedString(repeated("12+\n34+", 8000), in("HelveticaNeue-Thin", 40))));
    EXPECT_FALSE(measure.size(uikit::AttributedString(repeated("12+٣٤+", 8000), in("HelveticaNeue-Thin", 40))));
}

}  // namespace
