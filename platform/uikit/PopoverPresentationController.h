#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/BezierPath.h"
#include "platform/uikit/Color.h"
#include "platform/uikit/PopoverPresentationControllerDelegate.h"
#include "platform/uikit/Rect.h"

#include <memory>
#include <optional>

namespace uikit {

class View;
class ViewController;
class Window;

enum PopoverArrowDirection : unsigned {
    PopoverArrowDirectionUp = 1,
    PopoverArrowDirectionDown = 2,
    PopoverArrowDirectionLeft = 4,
    PopoverArrowDirectionRight = 8,
    PopoverArrowDirectionAny = 15,
    PopoverArrowDirectionUnknown = ~0u,
};

// Shows a controller as a popover anchored to a rectangle of a source view, with an arrow
// pointing at it and a soft shadow around it. Above everything else in the window lies a
// transparent layer that draws the shadow and arrow and takes every touch outside the popover:
// such a tap dismisses the popover (when the delegate agrees) and tells the delegate; it never
// reaches the screen below. In a compact-width window the delegate is asked whether to adapt;
// without a delegate, or with any answer but -1 (none), the controller is shown full screen.
class PopoverPresentationController {
public:
    explicit PopoverPresentationController(ViewController& presented) : presented_(presented) {}
    ~PopoverPresentationController();

    void setSourceView(View* view);
    View* sourceView() const;
    Rect sourceRect;
    unsigned permittedArrowDirections = PopoverArrowDirectionAny;
    std::optional<Color> backgroundColor;
    // Not owned: reads as none once its guard has expired (see WeakLink).
    PopoverPresentationControllerDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(PopoverPresentationControllerDelegate* delegate, std::weak_ptr<void> guard) {
        delegate_ = {delegate, std::move(guard)};
    }

    // The direction the arrow points after layout (unknown before, or when adapted).
    unsigned arrowDirection() const { return arrowDirection_; }
    // The popover's frame in window coordinates.
    Rect popoverFrame() const { return frame_; }
    // Its outline in window coordinates: the rounded frame with the arrow whose tip points at
    // the source (empty when not shown as a popover).
    BezierPath popoverOutline() const;
    bool adaptedToFullScreen() const { return fullScreen_; }
    ViewController& presentedViewController() const { return presented_; }

    // Called by the window.
    void presentIn(Window& window);
    void removeFromWindow();
    void layoutInWindow(Window& window);
    void willReposition();
    void outsideTap();

private:
    ViewController& presented_;
    foundation::WeakLink<PopoverPresentationControllerDelegate> delegate_;
    View* sourceView_ = nullptr;
    std::weak_ptr<void> sourceAlive_;
    View* container_ = nullptr;  // owned by the window's tree
    std::weak_ptr<void> containerAlive_;
    View* frameView_ = nullptr;  // the popover's own backdrop, inside the container
    unsigned arrowDirection_ = PopoverArrowDirectionUnknown;
    Rect frame_;
    Rect anchor_;  // the source rectangle in window coordinates
    bool fullScreen_ = false;
};

}  // namespace uikit
