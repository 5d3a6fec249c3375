#pragma once

#include "platform/uikit/GraphicsContext.h"

#include "platform/render/TextLayout.h"

typedef struct _cairo cairo_t;

namespace render {

// The toolkit's drawing calls onto a Cairo context (user space in points).
class CairoGraphicsContext : public uikit::GraphicsContext {
public:
    explicit CairoGraphicsContext(cairo_t* cr) : cr_(cr) {}

    void saveState() override;
    void restoreState() override;
    void concat(const uikit::AffineTransform& transform) override;
    void clipToRect(const uikit::Rect& rect) override;
    void setFillColor(const uikit::Color& color) override { fill_ = color; }
    void setStrokeColor(const uikit::Color& color) override { stroke_ = color; }
    void setLineWidth(double width) override { lineWidth_ = width; }
    void fillRect(const uikit::Rect& rect) override;
    void fillPath(const uikit::BezierPath& path) override;
    void strokePath(const uikit::BezierPath& path) override;
    void drawText(const uikit::AttributedString& text, const uikit::Rect& rect, uikit::TextAlignment alignment,
                  uikit::LineBreakMode lineBreakMode, int numberOfLines) override;
    // Text laid out for a rectangle already (TextLayout::fit), into the rectangle at `origin`.
    void showText(const TextLayout& layout, uikit::Point origin);

    // Adds a path to the Cairo context.
    static void addPath(cairo_t* cr, const uikit::BezierPath& path);
    static void setSource(cairo_t* cr, const uikit::Color& color);

private:
    cairo_t* cr_;
    uikit::Color fill_ = uikit::Color::black();
    uikit::Color stroke_ = uikit::Color::black();
    double lineWidth_ = 1;
};

}  // namespace render
