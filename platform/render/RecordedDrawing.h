#pragma once

#include "platform/render/TextLayout.h"
#include "platform/uikit/GraphicsContext.h"

#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace render {

class CairoGraphicsContext;

// What a view drew, kept as the calls it made: two drawings with equal calls draw the same
// pixels, and a kept drawing is drawn again by replaying its calls. Text is laid out as it is
// recorded (TextLayoutCache), so that the area it covers is known.
class RecordedDrawing : public uikit::GraphicsContext {
public:
    void saveState() override;
    void restoreState() override;
    void concat(const uikit::AffineTransform& transform) override;
    void clipToRect(const uikit::Rect& rect) override { calls_.push_back(Clip{rect}); }
    void setFillColor(const uikit::Color& color) override { calls_.push_back(FillColor{color}); }
    void setStrokeColor(const uikit::Color& color) override { calls_.push_back(StrokeColor{color}); }
    void setLineWidth(double width) override;
    void fillRect(const uikit::Rect& rect) override;
    void fillPath(const uikit::BezierPath& path) override;
    void strokePath(const uikit::BezierPath& path) override;
    void drawText(const uikit::AttributedString& text, const uikit::Rect& rect, uikit::TextAlignment alignment,
                  uikit::LineBreakMode lineBreakMode, int numberOfLines) override;

    // Makes the same calls on `context`.
    void replay(CairoGraphicsContext& context) const;
    bool empty() const { return calls_.empty(); }
    // The area the drawing may cover, in the space it was drawn in (clips left aside); none
    // when it covers nothing.
    const std::optional<uikit::Rect>& extent() const { return extent_; }
    friend bool operator==(const RecordedDrawing& a, const RecordedDrawing& b) { return a.calls_ == b.calls_; }

    // The area a stroke of `path` `width` wide covers, joins included.
    static uikit::Rect strokeExtent(const uikit::BezierPath& path, double width);

private:
    struct Save {
        friend bool operator==(const Save&, const Save&) = default;
    };
    struct Restore {
        friend bool operator==(const Restore&, const Restore&) = default;
    };
    struct Concat {
        uikit::AffineTransform transform;
        friend bool operator==(const Concat&, const Concat&) = default;
    };
    struct Clip {
        uikit::Rect rect;
        friend bool operator==(const Clip&, const Clip&) = default;
    };
    struct FillColor {
        uikit::Color color;
        friend bool operator==(const FillColor&, const FillColor&) = default;
    };
    struct StrokeColor {
        uikit::Color color;
        friend bool operator==(const StrokeColor&, const StrokeColor&) = default;
    };
    struct LineWidth {
        double width;
        friend bool operator==(const LineWidth&, const LineWidth&) = default;
    };
    struct FillRect {
        uikit::Rect rect;
        friend bool operator==(const FillRect&, const FillRect&) = default;
    };
    struct FillPath {
        uikit::BezierPath path;
        friend bool operator==(const FillPath&, const FillPath&) = default;
    };
    struct StrokePath {
        uikit::BezierPath path;
        friend bool operator==(const StrokePath&, const StrokePath&) = default;
    };
    struct Text {
        uikit::AttributedString text;
        uikit::Rect rect;
        uikit::TextAlignment alignment;
        uikit::LineBreakMode mode;
        int numberOfLines;
        std::shared_ptr<const TextLayout> layout;  // follows from the rest
        friend bool operator==(const Text& a, const Text& b) {
            return a.text == b.text && a.rect == b.rect && a.alignment == b.alignment && a.mode == b.mode &&
                   a.numberOfLines == b.numberOfLines;
        }
    };
    using Call = std::variant<Save, Restore, Concat, Clip, FillColor, StrokeColor, LineWidth, FillRect, FillPath,
                              StrokePath, Text>;

    // Adds an area of the current space to the extent.
    void cover(const uikit::Rect& rect);

    std::vector<Call> calls_;
    std::optional<uikit::Rect> extent_;
    // The current space and the saved ones, as the target keeps them.
    uikit::AffineTransform transform_;
    std::vector<uikit::AffineTransform> saved_;
    double lineWidth_ = 1;
};

}  // namespace render
