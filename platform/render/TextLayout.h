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
    // The line's extents in the layout's own units (points are units / 1024 × scale(), as size()
    // reckons them): its width, and its height above and below the baseline.
    struct Units {
        long width = 0;
        long ascent = 0;
        long descent = 0;
    };
    Units units() const;
    double scale() const { return scale_; }
    // Glyphs no installed font has (each would show as a missing-glyph box).
    int unknownGlyphsCount() const;
    // Draws in `rect`, vertically centred: fit to the rectangle's size, then show at its origin.
    void draw(cairo_t* cr, const uikit::Rect& rect, uikit::TextAlignment alignment, uikit::LineBreakMode mode,
              int numberOfLines);
    // Lays the text out for a rectangle of `room` (wrapped, cut and aligned as asked).
    void fit(uikit::Size room, uikit::TextAlignment alignment, uikit::LineBreakMode mode, int numberOfLines);
    // Draws the text as last fitted into a rectangle whose origin is `origin`.
    void show(cairo_t* cr, uikit::Point origin) const;
    // The area the glyphs as last fitted cover (and their lines' boxes), from the rectangle's origin.
    uikit::Rect inkRect() const;

private:
    PangoLayout* layout_ = nullptr;
    // Points of the text per point of the layout (see referenceSize).
    double scale_ = 1;
    // Where the layout goes from the rectangle's origin, as last fitted.
    uikit::Point offset_;
};

}  // namespace render
