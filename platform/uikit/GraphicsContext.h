#pragma once

#include "platform/uikit/AffineTransform.h"
#include "platform/uikit/AttributedString.h"
#include "platform/uikit/BezierPath.h"
#include "platform/uikit/Color.h"
#include "platform/uikit/Rect.h"

namespace uikit {

enum class TextAlignment { left = 0, center = 1, right = 2 };

enum LineBreakMode : int {
    LineBreakByWordWrapping = 0,
    LineBreakByCharWrapping = 1,
    LineBreakByClipping = 2,
    LineBreakByTruncatingHead = 3,
    LineBreakByTruncatingTail = 4,
    LineBreakByTruncatingMiddle = 5,
};

// What views draw into in drawRect: the current context, set by the drawing layer while it
// draws a view.
class GraphicsContext {
public:
    virtual ~GraphicsContext() = default;
    virtual void saveState() = 0;
    virtual void restoreState() = 0;
    virtual void concat(const AffineTransform& transform) = 0;
    virtual void clipToRect(const Rect& rect) = 0;
    virtual void setFillColor(const Color& color) = 0;
    virtual void setStrokeColor(const Color& color) = 0;
    virtual void setLineWidth(double width) = 0;
    virtual void fillRect(const Rect& rect) = 0;
    virtual void fillPath(const BezierPath& path) = 0;
    virtual void strokePath(const BezierPath& path) = 0;
    // Text in `rect`, vertically centred, on as many lines as allowed (0: any number).
    virtual void drawText(const AttributedString& text, const Rect& rect, TextAlignment alignment,
                          LineBreakMode lineBreakMode, int numberOfLines) = 0;

    static GraphicsContext* current();
    // Makes `context` current for its lifetime.
    class Scope {
    public:
        explicit Scope(GraphicsContext* context);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        GraphicsContext* previous_;
    };
};

}  // namespace uikit
