// A long text measured in pieces has the size of the whole text laid out at once, to the last
// bit: the display's width, and so its scrolling and its picture, do not change with the way it
// is measured. A long line drawn near the clip only gives the picture of the whole line.
#include "platform/render/LongTextMeasure.h"
#include "platform/render/TextLayout.h"
#include "platform/uikit/AttributedString.h"
#include "platform/uikit/Font.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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
    highlighted.append("(", in("HelveticaNeue-Thin", 57, uikit::Color{1, 0.5, 0, 1}));
    highlighted.append("7+8", in("HelveticaNeue-Thin", 57));
    highlighted.append(")", in("HelveticaNeue-Thin", 57, uikit::Color{1, 0.5, 0, 1}));
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
        // Laid out from its pieces, it covers what the whole layout covers, fitted as a display is.
        const auto* pieces = measure.pieces(text);
        ASSERT_NE(pieces, nullptr) << c.what;
        render::TextLayout built(text, pieces->pieces, pieces->scale), whole(text);
        for (auto alignment : {uikit::TextAlignment::left, uikit::TextAlignment::right})
            for (auto mode : {uikit::LineBreakByTruncatingTail, uikit::LineBreakByClipping}) {
                const uikit::Size room{whole.size().width + 7.3, 90};
                built.fit(room, alignment, mode, 1);
                whole.fit(room, alignment, mode, 1);
                const uikit::Rect a = built.inkRect(), b = whole.inkRect();
                EXPECT_TRUE(a == b) << c.what << ": " << a.origin.x << "," << a.origin.y << " " << a.size.width << "×"
                                    << a.size.height << " for " << b.origin.x << "," << b.origin.y << " "
                                    << b.size.width << "×" << b.size.height;
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

namespace {

// The pixels of a long calculation's end, drawn into a picture as narrow as a display: drawn
// at once (near the clip only), laid out from its pieces near the clip, and replayed from a
// recording of the whole line.
std::vector<unsigned char> endOfLine(const uikit::AttributedString& text, bool whole, double scroll,
                                     bool pieced = false) {
    render::LongTextMeasure measure;
    const auto* pieces = measure.pieces(text);
    render::TextLayout layout = pieced ? render::TextLayout(text, pieces->pieces, pieces->scale) : render::TextLayout(text);
    const uikit::Size size = layout.size();
    const int width = 300, height = static_cast<int>(std::ceil(size.height)) + 4;
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(picture);
    layout.fit({size.width + 10, size.height}, uikit::TextAlignment::right, uikit::LineBreakByTruncatingTail, 1);
    const uikit::Point origin{width - size.width - 10 + scroll, 2};
    if (whole) {
        cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
        cairo_t* all = cairo_create(recording);
        layout.show(all, origin);
        cairo_destroy(all);
        cairo_set_source_surface(cr, recording, 0, 0);
        cairo_paint(cr);
        cairo_surface_destroy(recording);
    } else {
        layout.show(cr, origin);
    }
    cairo_destroy(cr);
    cairo_surface_flush(picture);
    const unsigned char* data = cairo_image_surface_get_data(picture);
    std::vector<unsigned char> pixels(data, data + cairo_image_surface_get_stride(picture) * height);
    cairo_surface_destroy(picture);
    return pixels;
}

TEST(LongLineDrawing, NearTheClipOnlyItIsTheWholeLinesPicture) {
    uikit::AttributedString text(repeated("12+34×(5−6)÷7.25+", 30000), in("HelveticaNeue-Thin", 37.5));
    text.append("(", in("HelveticaNeue-Thin", 37.5, uikit::Color{1, 0.5, 0, 1}));
    text.append("8+9", in("HelveticaNeue-Thin", 37.5));
    text.append(")", in("HelveticaNeue-Thin", 37.5, uikit::Color{1, 0.5, 0, 1}));
    for (double scroll : {0.0, 1234.56, 40000.25}) {
        const std::vector<unsigned char> near = endOfLine(text, false, scroll);
        EXPECT_EQ(near, endOfLine(text, true, scroll)) << "scrolled by " << scroll;
        EXPECT_EQ(near, endOfLine(text, false, scroll, true)) << "from pieces, scrolled by " << scroll;
        EXPECT_NE(std::count(near.begin(), near.end(), 0), static_cast<long>(near.size())) << "nothing drawn";
    }
}

}  // namespace
