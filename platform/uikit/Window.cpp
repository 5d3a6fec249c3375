#include "platform/uikit/Window.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/GestureRecognizer.h"
#include "platform/uikit/HidUsage.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/Screen.h"
#include "platform/uikit/ViewController.h"

#include <algorithm>

namespace uikit {

struct Window::ActiveTouch {
    Touch touch;
    Event event;
    View* view = nullptr;
    std::weak_ptr<void> viewAlive;
    std::vector<std::pair<GestureRecognizer*, std::weak_ptr<void>>> recognizers;
    bool viewCancelled = false;
};

Window::Window(const Rect& frame, UserInterfaceIdiom idiom, double scale)
    : View(frame), idiom_(idiom), scale_(scale), style_(Screen::mainScreen().userInterfaceStyle()) {}

namespace {

void markForLayout(View& view) {
    view.setNeedsLayout();
    for (auto& sub : view.subviews()) markForLayout(*sub);
}
}  // namespace

void Window::setUserInterfaceStyle(UserInterfaceStyle style) {
    if (style == style_) return;
    style_ = style;
    updateTraitCollection();
}

void Window::setSafeAreaInsets(const EdgeInsets& insets) {
    if (insets == safeAreaInsets_) return;
    safeAreaInsets_ = insets;
    markForLayout(*this);
}

Window::~Window() {
    active_.reset();
    if (root_) {
        root_->dismissViewController(false);
        root_->takeViewBack();
        root_.reset();
    }
}

void Window::setRootViewController(std::unique_ptr<ViewController> controller) {
    if (root_) root_->takeViewBack();
    root_ = std::move(controller);
    if (!root_) return;
    View* v = root_->view();
    v->setFrame(bounds());
    v->relativeFrame = Rect(0, 0, 1, 1);
    root_->viewWillAppear(false);
    root_->moveViewInto(this);
    updateStatusBarAppearance();
    layoutIfNeeded();
    root_->viewDidAppear(false);
}

ViewController* Window::topViewController() const {
    ViewController* top = root_.get();
    while (top != nullptr && top->presentedViewController() != nullptr) top = top->presentedViewController();
    return top;
}

TraitCollection Window::windowTraitCollection() const {
    Size size = bounds().size;
    if (desktopSizeClasses_) return TraitCollection::forDesktopWindow(size.width, size.height, scale_, style_);
    return TraitCollection::forWindow(size.width, size.height, idiom_, scale_, style_);
}

void Window::setDesktopSizeClasses(bool desktop) {
    if (desktop == desktopSizeClasses_) return;
    desktopSizeClasses_ = desktop;
    updateTraitCollection();
}

void Window::layoutSubviews() {
    View::layoutSubviews();
    // Popovers follow the window.
    for (ViewController* c = root_ ? root_->presentedViewController() : nullptr; c != nullptr;
         c = c->presentedViewController())
        if (auto* popover = c->popoverPresentationController()) popover->layoutInWindow(*this);
}

void Window::resize(Size size) {
    TransitionCoordinator coordinator(size);
    if (root_) root_->viewWillTransitionToSize(size, coordinator);
    coordinator.runAlongside();
    setFrame(Rect(frame().origin, size));
    updateTraitCollection();
    for (ViewController* c = root_ ? root_->presentedViewController() : nullptr; c != nullptr;
         c = c->presentedViewController())
        if (auto* popover = c->popoverPresentationController()) popover->willReposition();
    setNeedsLayout();
    layoutIfNeeded();
    coordinator.runCompletions();
    layoutIfNeeded();
}

void Window::touchDown(Point point, double force, double maximumPossibleForce) {
    if (active_) touchCancel();
    layoutIfNeeded();
    endEditingOutside(point);
    layoutIfNeeded();
    active_ = std::make_shared<ActiveTouch>();
    auto& a = *active_;
    a.touch.setWindow(this);
    a.touch.startAt(point);
    a.touch.force = force;
    a.touch.maximumPossibleForce = maximumPossibleForce;
    a.touch.timestamp = foundation::RunLoop::main().now();
    a.event.timestamp = a.touch.timestamp;
    View* hit = hitTest(point, &a.event);
    a.view = hit;
    if (hit != nullptr) {
        a.viewAlive = hit->alive();
        a.touch.setView(hit, hit->alive());
        for (View* v = hit; v != nullptr; v = v->superview())
            for (GestureRecognizer* r : v->gestureRecognizers())
                if (r->enabled) {
                    r->track(&a.touch);
                    a.recognizers.emplace_back(r, r->alive());
                }
    }
    deliver(TouchPhase::began);
}

void Window::touchMove(Point point, double force) {
    if (!active_) return;
    active_->touch.moveTo(point);
    active_->touch.force = force;
    deliver(TouchPhase::moved);
}

void Window::touchUp(Point point) {
    if (!active_) return;
    active_->touch.moveTo(point);
    deliver(TouchPhase::ended);
}

void Window::touchCancel() {
    if (!active_) return;
    deliver(TouchPhase::cancelled);
}

void Window::deliver(TouchPhase phase) {
    std::shared_ptr<ActiveTouch> keep = active_;
    auto& a = *keep;
    a.touch.phase = phase;
    a.touch.timestamp = foundation::RunLoop::main().now();
    a.event.timestamp = a.touch.timestamp;
    TouchSet set{&a.touch};
    auto recognizers = a.recognizers;
    for (auto& [r, alive] : recognizers) {
        if (alive.expired() || active_ != keep) continue;
        auto state = r->state();
        if (state == GestureRecognizer::failed || state == GestureRecognizer::cancelled ||
            state == GestureRecognizer::ended)
            continue;
        switch (phase) {
            case TouchPhase::began: r->touchesBegan(set, &a.event); break;
            case TouchPhase::moved: r->touchesMoved(set, &a.event); break;
            case TouchPhase::ended: r->touchesEnded(set, &a.event); break;
            default:
                r->touchesCancelled(set, &a.event);
                if (!alive.expired() && (r->state() == GestureRecognizer::began || r->state() == GestureRecognizer::changed))
                    r->setState(GestureRecognizer::cancelled);
                break;
        }
    }
    if (active_ != keep) return;
    if (!a.viewCancelled && !a.viewAlive.expired() && a.view != nullptr) {
        View* view = a.view;
        switch (phase) {
            case TouchPhase::began: view->touchesBegan(set, &a.event); break;
            case TouchPhase::moved: view->touchesMoved(set, &a.event); break;
            case TouchPhase::ended: view->touchesEnded(set, &a.event); break;
            default: view->touchesCancelled(set, &a.event); break;
        }
    }
    if (active_ == keep && (phase == TouchPhase::ended || phase == TouchPhase::cancelled)) endTouch();
}

void Window::endTouch() {
    auto finished = std::move(active_);
    for (auto& [r, alive] : finished->recognizers)
        if (!alive.expired()) r->endSequence();
}

void Window::gestureRecognizerDidRecognize(GestureRecognizer* recognizer) {
    if (!active_ || active_->viewCancelled) return;
    auto& a = *active_;  // kept alive below while the view hears of the cancellation
    bool tracked = std::any_of(a.recognizers.begin(), a.recognizers.end(),
                               [&](const auto& entry) { return entry.first == recognizer && !entry.second.expired(); });
    if (!tracked) return;
    a.viewCancelled = true;
    if (!a.viewAlive.expired() && a.view != nullptr) {
        TouchPhase phase = a.touch.phase;
        a.touch.phase = TouchPhase::cancelled;
        auto keep = active_;
        a.view->touchesCancelled(TouchSet{&a.touch}, &a.event);
        keep->touch.phase = phase;
    }
}

void Window::pressKey(const Key& key) {
    if (key.keyCode == hid::escape) {
        ViewController* top = topViewController();
        PopoverPresentationController* popover = top != nullptr ? top->popoverPresentationController() : nullptr;
        if (popover != nullptr && !popover->adaptedToFullScreen()) {
            popover->outsideTap();
            return;
        }
    }
    View* first = firstResponder();
    Responder* responder = first;
    std::weak_ptr<void> alive = first != nullptr ? first->alive() : std::weak_ptr<void>{};
    if (first == nullptr) {
        ViewController* target = topViewController();
        if (target == nullptr) return;
        responder = target;
        // The frontmost controller that accepts it, else the root.
        for (ViewController* c = target; c != nullptr; c = c->presentingViewController())
            if (c->canBecomeFirstResponder()) {
                responder = c;
                break;
            }
        alive = target->alive();
    }
    Press press{key};
    PressSet set{&press};
    Event event{foundation::RunLoop::main().now()};
    responder->pressesBegan(set, &event);
    if (!alive.expired()) responder->pressesEnded(set, &event);
}

View* Window::firstResponder() const {
    View* view = firstResponder_.get();
    return view != nullptr && view != this && view->window() == this ? view : nullptr;
}

bool Window::makeFirstResponder(View& view) {
    if (view.window() != this || &view == this) return false;
    View* current = firstResponder();
    if (current == &view) return true;
    auto alive = view.alive();
    if (current != nullptr && !current->resignFirstResponder()) return false;
    // Resigning told a delegate, which may have changed the tree.
    if (alive.expired() || view.window() != this) return false;
    firstResponder_ = foundation::WeakLink<View>(&view, view.alive());
    return true;
}

void Window::forgetFirstResponder(const View& view) {
    if (firstResponder_.get() == &view) firstResponder_ = {};
}

bool Window::endEditing() {
    View* current = firstResponder();
    return current == nullptr || current->resignFirstResponder();
}

void Window::endEditingOutside(Point point) {
    View* current = firstResponder();
    if (current == nullptr) return;
    View* hit = hitTest(point, nullptr);
    if (hit == nullptr || !hit->isDescendantOf(current)) current->resignFirstResponder();
}

void Window::updateStatusBarAppearance() {
    if (!root_) return;
    statusBarHidden_ = root_->prefersStatusBarHidden();
    statusBarStyle_ = root_->preferredStatusBarStyle();
}

void Window::showPresented(ViewController& controller) {
    if (auto* popover = controller.popoverPresentationController()) {
        popover->presentIn(*this);
        return;
    }
    View* v = controller.view();
    v->relativeFrame = Rect(0, 0, 1, 1);
    v->setFrame(bounds());
    controller.moveViewInto(this);
    layoutIfNeeded();
}

void Window::hidePresented(ViewController& controller) {
    if (auto* popover = controller.popoverPresentationController()) {
        popover->removeFromWindow();
        return;
    }
    controller.takeViewBack();
}

}  // namespace uikit
