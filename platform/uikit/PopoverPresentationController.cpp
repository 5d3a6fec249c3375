#include "platform/uikit/PopoverPresentationController.h"

#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <algorithm>

namespace uikit {

namespace {
constexpr double arrowLength = 13;
constexpr double margin = 10;

// Covers the window: touches outside the popover end here and dismiss it.
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

private:
    PopoverPresentationController& owner_;
    bool tapped_ = false;
};
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
    frameView->layer().cornerRadius = fullScreen_ ? 0 : 13;
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
        Rect f = chosen->frame;
        f.origin.x = clampX(f.origin.x);
        f.origin.y = clampY(f.origin.y);
        frame_ = f;
    }
    frameView_->setFrame(frame_);
    frameView_->setBackgroundColor(backgroundColor.value_or(Color::white()));
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
