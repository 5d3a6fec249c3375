#include "platform/uikit/PopoverPresentationController.h"

#include "platform/uikit/GraphicsContext.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <algorithm>

namespace uikit {

namespace {
constexpr double arrowLength = 13;
constexpr double margin = 10;
constexpr double cornerRadius = 13;
// The shadow: rings of black, each a step wider, that add up to a soft edge below the popover.
constexpr int shadowRings = 16;
constexpr double shadowSpread = 16;
constexpr double shadowDrop = 4;
constexpr double shadowRingAlpha = 0.035;

// Covers the window: draws the popover's shadow and arrow below it; touches outside the
// popover end here and dismiss it.
class PopoverDismissalView : public View {
public:
    explicit PopoverDismissalView(PopoverPresentationController& owner) : owner_(owner) {}
    void touchesBegan(const TouchSet&, const Event*) override { tapped_ = true; }
    void touchesMoved(const TouchSet&, const Event*) override {}
    void touchesCancelled(const TouchSet&, const Event*) override { tapped_ = false; }
    void touchesEnded(const TouchSet&, const Event*) override {
        if (!tapped_) return;
        tapped_ = false;
        owner_.outsideTap();
    }
    void drawRect(const Rect&) override {
        GraphicsContext* context = GraphicsContext::current();
        if (context == nullptr || owner_.adaptedToFullScreen()) return;
        const Rect body = owner_.popoverFrame().offsetBy(0, shadowDrop);
        context->setFillColor(Color{0, 0, 0, shadowRingAlpha});
        for (int ring = 1; ring <= shadowRings; ++ring) {
            const double spread = shadowSpread * ring / shadowRings;
            context->fillPath(BezierPath::roundedRect(body.insetBy(-spread, -spread), cornerRadius + spread));
        }
        context->setFillColor(owner_.backgroundColor.value_or(Color::white()));
        context->fillPath(owner_.popoverOutline());
    }

private:
    PopoverPresentationController& owner_;
    bool tapped_ = false;
};

void appendElement(BezierPath& path, const BezierPath::Element& e) {
    switch (e.kind) {
        case BezierPath::Kind::move: path.moveTo(e.points[0]); break;
        case BezierPath::Kind::line: path.lineTo(e.points[0]); break;
        case BezierPath::Kind::curve: path.curveTo(e.points[0], e.points[1], e.points[2]); break;
        case BezierPath::Kind::close: path.close(); break;
    }
}
}  // namespace

PopoverPresentationController::~PopoverPresentationController() { removeFromWindow(); }

void PopoverPresentationController::setSourceView(View* view) {
    sourceView_ = view;
    sourceAlive_ = view != nullptr ? view->alive() : std::weak_ptr<void>{};
}

View* PopoverPresentationController::sourceView() const { return sourceAlive_.expired() ? nullptr : sourceView_; }

void PopoverPresentationController::presentIn(Window& window) {
    removeFromWindow();
    fullScreen_ = false;
    if (window.windowTraitCollection().horizontalSizeClass == UserInterfaceSizeClass::compact) {
        PopoverPresentationControllerDelegate* d = delegate();
        int style = d != nullptr ? d->adaptivePresentationStyleForPresentationController(*this, window.windowTraitCollection())
                                 : ModalPresentationFullScreen;
        fullScreen_ = style != ModalPresentationNone;
    }
    auto container = std::make_unique<PopoverDismissalView>(*this);
    container->relativeFrame = Rect(0, 0, 1, 1);
    container->setFrame(window.bounds());
    auto frameView = std::make_unique<View>();
    frameView->setClipsToBounds(true);
    frameView->layer().cornerRadius = fullScreen_ ? 0 : cornerRadius;
    frameView_ = container->add(std::move(frameView));
    container_ = window.add(std::move(container));
    containerAlive_ = container_->alive();
    View* content = presented_.view();
    content->relativeFrame = Rect(0, 0, 1, 1);
    presented_.moveViewInto(frameView_);
    layoutInWindow(window);
    window.layoutIfNeeded();
}

void PopoverPresentationController::removeFromWindow() {
    if (container_ == nullptr || containerAlive_.expired()) {
        container_ = nullptr;
        return;
    }
    presented_.takeViewBack();
    View* container = container_;
    container_ = nullptr;
    frameView_ = nullptr;
    auto gone = container->removeFromSuperview();
}

void PopoverPresentationController::layoutInWindow(Window& window) {
    if (container_ == nullptr || containerAlive_.expired()) return;
    Rect bounds = window.bounds();
    if (fullScreen_) {
        frame_ = bounds;
        arrowDirection_ = PopoverArrowDirectionUnknown;
    } else {
        Rect anchor = sourceView() != nullptr ? sourceView()->convertRect(sourceRect, nullptr)
                                              : Rect(bounds.midX(), bounds.midY(), 0, 0);
        Size size = presented_.preferredContentSize;
        if (size.width <= 0) size.width = 320;
        if (size.height <= 0) size.height = 480;
        size.width = std::min(size.width, bounds.size.width - 2 * margin);
        size.height = std::min(size.height, bounds.size.height - 2 * margin);
        auto clampX = [&](double x) { return std::clamp(x, margin, std::max(margin, bounds.size.width - margin - size.width)); };
        auto clampY = [&](double y) { return std::clamp(y, margin, std::max(margin, bounds.size.height - margin - size.height)); };
        struct Candidate {
            unsigned direction;
            Rect frame;
            bool fits;
        };
        std::vector<Candidate> candidates = {
            {PopoverArrowDirectionUp, Rect(clampX(anchor.midX() - size.width / 2), anchor.maxY() + arrowLength, size.width, size.height),
             anchor.maxY() + arrowLength + size.height <= bounds.size.height - margin},
            {PopoverArrowDirectionDown, Rect(clampX(anchor.midX() - size.width / 2), anchor.minY() - arrowLength - size.height, size.width, size.height),
             anchor.minY() - arrowLength - size.height >= margin},
            {PopoverArrowDirectionLeft, Rect(anchor.maxX() + arrowLength, clampY(anchor.midY() - size.height / 2), size.width, size.height),
             anchor.maxX() + arrowLength + size.width <= bounds.size.width - margin},
            {PopoverArrowDirectionRight, Rect(anchor.minX() - arrowLength - size.width, clampY(anchor.midY() - size.height / 2), size.width, size.height),
             anchor.minX() - arrowLength - size.width >= margin},
        };
        const Candidate* chosen = nullptr;
        for (const auto& c : candidates)
            if ((permittedArrowDirections & c.direction) && c.fits) {
                chosen = &c;
                break;
            }
        if (chosen == nullptr)
            for (const auto& c : candidates)
                if (permittedArrowDirections & c.direction) {
                    chosen = &c;
                    break;
                }
        if (chosen == nullptr) chosen = &candidates[0];
        arrowDirection_ = chosen->direction;
        anchor_ = anchor;
        Rect f = chosen->frame;
        f.origin.x = clampX(f.origin.x);
        f.origin.y = clampY(f.origin.y);
        frame_ = f;
    }
    frameView_->setFrame(frame_);
    frameView_->setBackgroundColor(backgroundColor.value_or(Color::white()));
    container_->setNeedsDisplay();
}

BezierPath PopoverPresentationController::popoverOutline() const {
    if (fullScreen_ || container_ == nullptr || containerAlive_.expired()) return {};
    const BezierPath body = BezierPath::roundedRect(frame_, cornerRadius);
    const Rect& f = frame_;
    const bool vertical = arrowDirection_ == PopoverArrowDirectionUp || arrowDirection_ == PopoverArrowDirectionDown;
    // The arrow's middle faces the source, as far as the straight part of its side reaches.
    const double from = (vertical ? f.minX() : f.minY()) + cornerRadius + arrowLength;
    const double to = (vertical ? f.maxX() : f.maxY()) - cornerRadius - arrowLength;
    const double wanted = vertical ? anchor_.midX() : anchor_.midY();
    const double c = from <= to ? std::clamp(wanted, from, to) : (from + to) / 2;
    const double h = arrowLength;
    // The rounded rectangle runs clockwise from the top left: its top, right, bottom and left
    // sides each start after the element numbered here.
    std::size_t after = 0;
    Point base;      // where the arrow leaves the side
    Point outwards;  // a unit step away from the popover
    Point along;     // a unit step along the side, clockwise
    switch (arrowDirection_) {
        case PopoverArrowDirectionUp: after = 0, base = {c, f.minY()}, outwards = {0, -1}, along = {1, 0}; break;
        case PopoverArrowDirectionRight: after = 2, base = {f.maxX(), c}, outwards = {1, 0}, along = {0, 1}; break;
        case PopoverArrowDirectionDown: after = 4, base = {c, f.maxY()}, outwards = {0, 1}, along = {-1, 0}; break;
        case PopoverArrowDirectionLeft: after = 6, base = {f.minX(), c}, outwards = {-1, 0}, along = {0, -1}; break;
        default: return body;
    }
    const Point arrow[3] = {{base.x - along.x * h, base.y - along.y * h},
                            {base.x + outwards.x * h, base.y + outwards.y * h},
                            {base.x + along.x * h, base.y + along.y * h}};
    BezierPath outline;
    for (std::size_t i = 0; i < body.elements().size(); ++i) {
        appendElement(outline, body.elements()[i]);
        if (i == after)
            for (const Point& p : arrow) outline.lineTo(p);
    }
    return outline;
}

void PopoverPresentationController::willReposition() {
    PopoverPresentationControllerDelegate* d = delegate();
    if (container_ == nullptr || containerAlive_.expired() || d == nullptr) return;
    Rect rect = sourceRect;
    View* view = sourceView();
    d->popoverPresentationControllerWillRepositionPopoverToRect(*this, rect, view);
    sourceRect = rect;
    setSourceView(view);
}

void PopoverPresentationController::outsideTap() {
    if (fullScreen_) return;
    // The delegate may dismiss the popover itself while it is asked, which ends this object.
    const std::weak_ptr<void> presentedAlive = presented_.alive();
    if (delegate() != nullptr && !delegate()->popoverPresentationControllerShouldDismissPopover(*this)) return;
    if (presentedAlive.expired()) return;
    ViewController* presenting = presented_.presentingViewController();
    if (presenting == nullptr) return;
    presented_.viewWillDisappear(true);
    // `kept` owns the presented controller and with it this object: the delegate hears of the
    // dismissal while both still exist; both go at the end of this function.
    std::unique_ptr<ViewController> kept = presenting->takePresented();
    kept->viewDidDisappear(true);
    if (PopoverPresentationControllerDelegate* d = delegate()) d->popoverPresentationControllerDidDismissPopover(*this);
}

}  // namespace uikit
