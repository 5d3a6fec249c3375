#include "platform/uikit/ScrollView.h"

#include <algorithm>
#include <cmath>

namespace uikit {

namespace {
// Begins after 10 points of movement and scrolls its scroll view with the finger.
class ScrollDragRecognizer : public GestureRecognizer {
public:
    explicit ScrollDragRecognizer(ScrollView& scrollView) : scrollView_(scrollView) {}
    void touchesBegan(const TouchSet& touches, const Event*) override {
        if (touches.empty()) return;
        start_ = last_ = touches.front()->locationInWindow();
    }
    void touchesMoved(const TouchSet& touches, const Event*) override {
        if (touches.empty() || !scrollView_.scrollEnabled) return;
        Point p = touches.front()->locationInWindow();
        if (state() == possible) {
            if (std::hypot(p.x - start_.x, p.y - start_.y) <= 10) return;
            scrollView_.setDragging(true);
            setState(began);
        } else {
            setState(changed);
        }
        scrollView_.dragBy(last_.x - p.x, last_.y - p.y);
        last_ = p;
    }
    void touchesEnded(const TouchSet&, const Event*) override {
        if (state() == began || state() == changed) setState(ended);
        else setState(failed);
        scrollView_.setDragging(false);
    }
    void touchesCancelled(const TouchSet&, const Event*) override {
        if (state() == began || state() == changed) setState(cancelled);
        else setState(failed);
        scrollView_.setDragging(false);
    }

private:
    ScrollView& scrollView_;
    Point start_;
    Point last_;
};
}  // namespace

ScrollView::ScrollView() {
    setClipsToBounds(true);
    addGestureRecognizer(std::make_unique<ScrollDragRecognizer>(*this));
}

ScrollView::ScrollView(const Rect& frame) : ScrollView() { setFrame(frame); }

void ScrollView::layoutSubviews() { layoutSubviewsIn(Rect({0, 0}, bounds().size)); }

void ScrollView::setContentOffset(Point offset, bool animated) {
    Rect b = bounds();
    b.origin = offset;
    if (animated) animate(0.3, [&] { setBounds(b); });
    else setBounds(b);
}

void ScrollView::dragBy(double dx, double dy) {
    Point o = contentOffset();
    Size view = bounds().size;
    // The reachable range; an offset already outside it (set by code) is kept reachable.
    double maxX = contentSize_.width - view.width, maxY = contentSize_.height - view.height;
    double loX = std::min({0.0, maxX, o.x}), hiX = std::max({0.0, maxX, o.x});
    double loY = std::min({0.0, maxY, o.y}), hiY = std::max({0.0, maxY, o.y});
    if (maxX <= 0) { loX = std::min(o.x, maxX); hiX = std::max(o.x, 0.0); }
    if (maxY <= 0) { loY = std::min(o.y, maxY); hiY = std::max(o.y, 0.0); }
    setContentOffset({std::clamp(o.x + dx, loX, hiX), std::clamp(o.y + dy, loY, hiY)});
}

}  // namespace uikit
