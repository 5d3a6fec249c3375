#pragma once

#include "platform/uikit/AttributedString.h"
#include "platform/uikit/GraphicsContext.h"
#include "platform/uikit/Size.h"

#include <cstddef>
#include <memory>
#include <vector>

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

    // The area a layout's glyphs cover, in its units, from its line's left end and baseline.
    struct Ink {
        long x = 0, y = 0, width = 0, height = 0;
    };
    Ink ink() const;
    // A piece of a long line that lays out as it does within the line (LongTextMeasure).
    struct Piece {
        std::size_t from = 0, to = 0;
        Units units;
        Ink ink;
    };
    // A long single line read left to right, one font throughout, made of `pieces` that cover
    // it in order: measured, fitted and drawn from the pieces, laying out only the pieces
    // near a drawing's clip. Its size, ink and picture are those of the whole text laid out.
    TextLayout(const uikit::AttributedString& text, std::vector<Piece> pieces, double scale);

private:
    void showPieces(cairo_t* cr) const;

    PangoLayout* layout_ = nullptr;
    // A text made of pieces: the text, its pieces, where its line starts from the layout's left
    // (alignment), and the pieces last laid out for a drawing (the first's index and the layout).
    uikit::AttributedString text_;
    std::vector<Piece> pieces_;
    Units whole_;
    long lineX_ = 0;
    mutable std::size_t shownFrom_ = 0, shownTo_ = 0;
    mutable std::unique_ptr<TextLayout> shown_;
    // Points of the text per point of the layout (see referenceSize).
    double scale_ = 1;
    // Where the layout goes from the rectangle's origin, as last fitted.
    uikit::Point offset_;
};

}  // namespace render
