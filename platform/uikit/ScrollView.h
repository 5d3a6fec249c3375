#pragma once

#include "platform/uikit/View.h"

namespace uikit {

// A view whose bounds origin is the content offset. Offsets may be set to any value, negative
// ones included. A drag of more than 10 points scrolls the content (cancelling the touches of
// the view under the finger) within the range the content allows.
class ScrollView : public View {
public:
    ScrollView();
    explicit ScrollView(const Rect& frame);

    Size contentSize() const { return contentSize_; }
    void setContentSize(Size size) { contentSize_ = size; setNeedsLayout(); }
    Point contentOffset() const { return bounds().origin; }
    void setContentOffset(Point offset, bool animated = false);
    bool isDragging() const { return dragging_; }
    bool scrollEnabled = true;

    // Relative frames of the subviews are fractions of the visible size, measured from the
    // content's origin, so they scroll with the content.
    void layoutSubviews() override;

    // Called by the drag recogniser.
    void dragBy(double dx, double dy);
    void setDragging(bool dragging) { dragging_ = dragging; }

private:
    Size contentSize_;
    bool dragging_ = false;
};

}  // namespace uikit
