#pragma once

#include "platform/uikit/AttributedString.h"
#include "platform/uikit/GraphicsContext.h"
#include "platform/uikit/Size.h"

#include <memory>

typedef struct _cairo cairo_t;
typedef struct _PangoLayout PangoLayout;

namespace render {

// Attributed text laid out with Pango in points (fonts by family with fallbacks, colours,
// baseline offsets, underlines).
class TextLayout {
public:
    // One layout serves for measuring and for drawing into any target.
    explicit TextLayout(const uikit::AttributedString& text);
    ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    uikit::Size size() const;
    // Glyphs no installed font has (each would show as a missing-glyph box).
    int unknownGlyphsCount() const;
    // Draws in `rect`, vertically centred.
    void draw(cairo_t* cr, const uikit::Rect& rect, uikit::TextAlignment alignment, uikit::LineBreakMode mode,
              int numberOfLines);

private:
    PangoLayout* layout_ = nullptr;
    // Points of the text per point of the layout (see referenceSize).
    double scale_ = 1;
};

}  // namespace render
