#include "platform/uikit/ViewController.h"

#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/Window.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

#include <algorithm>

namespace uikit {

ViewController::ViewController() = default;

ViewController::~ViewController() {
    if (presented_) {
        auto presented = takePresented();
    }
    while (!children_.empty()) {
        auto child = children_.back()->removeFromParentViewController();
    }
    takeViewBack();
    if (View* v = loadedView()) v->setViewController(nullptr);
}

View* ViewController::loadedView() const {
    if (view_ == nullptr || viewAlive_.expired()) return nullptr;
    return view_;
}

View* ViewController::view() {
    if (!loaded_ && !loading_) {
        loading_ = true;
        if (ownedView_ == nullptr) loadView();
        if (ownedView_ == nullptr) setView(std::make_unique<View>());
        loading_ = false;
        loaded_ = true;
        viewDidLoad();
    }
    return loadedView();
}

void ViewController::loadView() { setView(std::make_unique<View>(Rect(0, 0, 320, 480))); }

void ViewController::setView(std::unique_ptr<View> view) {
    takeViewBack();
    if (View* old = loadedView()) old->setViewController(nullptr);
    ownedView_ = std::move(view);
    view_ = ownedView_.get();
    viewAlive_ = view_ != nullptr ? view_->alive() : std::weak_ptr<void>{};
    if (view_ != nullptr) view_->setViewController(this);
}

void ViewController::moveViewInto(View* superview) {
    View* v = view();
    if (superview == nullptr || v == nullptr) return;
    if (ownedView_) superview->addSubview(std::move(ownedView_));
    else if (v->superview() != superview) {
        auto detached = v->removeFromSuperview();
        if (detached) superview->addSubview(std::move(detached));
    }
}

void ViewController::takeViewBack() {
    View* v = loadedView();
    if (v == nullptr || ownedView_ != nullptr) return;
    auto detached = v->removeFromSuperview();
    if (detached) ownedView_ = std::move(detached);
}

void ViewController::viewWillTransitionToSize(Size size, TransitionCoordinator& coordinator) {
    for (auto& child : children_) child->viewWillTransitionToSize(size, coordinator);
    if (presented_) presented_->viewWillTransitionToSize(size, coordinator);
}

TraitCollection ViewController::traitCollection() {
    if (View* v = loadedView()) return v->traitCollection();
    if (presenting_ != nullptr) return presenting_->traitCollection();
    if (parent_ != nullptr) return parent_->traitCollection();
    return {};
}

ViewController* ViewController::addChildViewController(std::unique_ptr<ViewController> child) {
    if (!child) return nullptr;
    ViewController* raw = child.get();
    raw->willMoveToParentViewController(this);
    raw->parent_ = this;
    children_.push_back(std::move(child));
    return raw;
}

std::unique_ptr<ViewController> ViewController::removeFromParentViewController() {
    ViewController* parent = parent_;
    if (parent == nullptr) return nullptr;
    auto it = std::find_if(parent->children_.begin(), parent->children_.end(),
                           [&](const auto& c) { return c.get() == this; });
    if (it == parent->children_.end()) return nullptr;
    std::unique_ptr<ViewController> self = std::move(*it);
    parent->children_.erase(it);
    parent_ = nullptr;
    takeViewBack();
    didMoveToParentViewController(nullptr);
    return self;
}

void ViewController::setNeedsStatusBarAppearanceUpdate() {
    if (Window* w = window()) w->updateStatusBarAppearance();
}

PopoverPresentationController* ViewController::popoverPresentationController() {
    if (modalPresentationStyle != ModalPresentationPopover) return nullptr;
    if (!popover_) popover_ = std::make_unique<PopoverPresentationController>(*this);
    return popover_.get();
}

Window* ViewController::window() {
    if (View* v = loadedView()) {
        if (Window* w = v->window()) return w;
    }
    if (presenting_ != nullptr) return presenting_->window();
    if (parent_ != nullptr) return parent_->window();
    return nullptr;
}

void ViewController::presentViewController(std::unique_ptr<ViewController> controller, bool animated,
                                           std::function<void()> completion) {
    if (!controller) return;
    if (presented_) {
        // One presentation at a time, as on the platform: the request is dropped.
        foundation::Log::warning("a controller that is already presenting cannot present another");
        return;
    }
    Window* w = window();
    presented_ = std::move(controller);
    presented_->presenting_ = this;
    ViewController* shown = presented_.get();
    shown->view();
    shown->viewWillAppear(animated);
    if (w != nullptr) w->showPresented(*shown);
    shown->viewDidAppear(animated);
    if (completion) foundation::RunLoop::main().perform(nullptr, lifetime_.weak(), animated ? 0.3 : 0, std::move(completion));
}

std::unique_ptr<ViewController> ViewController::takePresented() {
    if (!presented_) return nullptr;
    if (presented_->presented_) presented_->takePresented();
    Window* w = window();
    if (w != nullptr) w->hidePresented(*presented_);
    presented_->takeViewBack();
    presented_->presenting_ = nullptr;
    return std::move(presented_);
}

void ViewController::dismissViewController(bool animated, std::function<void()> completion) {
    ViewController* owner = presented_ ? this : presenting_;
    if (owner == nullptr) return;
    ViewController* leaving = owner->presented_.get();
    leaving->viewWillDisappear(animated);
    auto gone = owner->takePresented();
    gone->viewDidDisappear(animated);
    gone.reset();
    if (completion) foundation::RunLoop::main().perform(nullptr, owner->lifetime_.weak(), animated ? 0.3 : 0, std::move(completion));
}

Responder* ViewController::nextResponder() const {
    View* v = loadedView();
    if (v != nullptr && v->superview() != nullptr) return v->superview();
    if (presenting_ != nullptr) return presenting_;
    return parent_;
}

std::vector<std::string> ViewController::outletNames() const {
    std::vector<std::string> names;
    for (const auto& [name, binder] : outlets_) names.push_back(name);
    return names;
}

void ViewController::declareOutlet(const std::string& name, std::shared_ptr<LayoutConstraint>& slot) {
    outlets_[name] = Outlet{[&slot](const OutletValue& value) {
                                auto* constraint = std::get_if<std::shared_ptr<LayoutConstraint>>(&value);
                                if (constraint == nullptr) return false;
                                slot = *constraint;
                                return true;
                            },
                            [] { return static_cast<View*>(nullptr); }, [&slot] { slot.reset(); }};
}

void ViewController::declareOutlet(const std::string& name, std::weak_ptr<LayoutConstraint>& slot) {
    outlets_[name] = Outlet{[&slot](const OutletValue& value) {
                                auto* constraint = std::get_if<std::shared_ptr<LayoutConstraint>>(&value);
                                if (constraint == nullptr) return false;
                                slot = *constraint;
                                return true;
                            },
                            [] { return static_cast<View*>(nullptr); }, [&slot] { slot.reset(); }};
}

bool ViewController::isOutletCollection(const std::string& name) const {
    auto it = outlets_.find(name);
    return it != outlets_.end() && it->second.collection;
}

bool ViewController::bind(const std::string& name, const OutletValue& value) {
    auto it = outlets_.find(name);
    if (it == outlets_.end()) return false;
    return it->second.bind(value);
}

bool ViewController::bindOutlet(const std::string& name, View* view) {
    if (view == nullptr && isOutletCollection(name)) return false;
    return bind(name, view);
}

bool ViewController::bindOutlet(const std::string& name, GestureRecognizer* recognizer) {
    return bind(name, recognizer);
}

bool ViewController::bindOutlet(const std::string& name, const std::shared_ptr<LayoutConstraint>& constraint) {
    return constraint != nullptr && bind(name, constraint);
}

void ViewController::clearOutlet(const std::string& name) {
    if (auto it = outlets_.find(name); it != outlets_.end()) it->second.clear();
}

View* ViewController::outletNamed(const std::string& name) const {
    auto it = outlets_.find(name);
    return it == outlets_.end() ? nullptr : it->second.view();
}

bool ViewController::connectAction(const std::string& name, Control& sender, unsigned events) {
    auto it = actions_.find(name);
    if (it == actions_.end() || !it->second.controlAccepts || !it->second.controlAccepts(sender)) return false;
    sender.addTarget(this, it->second.controlAction, events, lifetime_.weak());
    return true;
}

bool ViewController::connectAction(const std::string& name, GestureRecognizer& sender) {
    auto it = actions_.find(name);
    if (it == actions_.end() || !it->second.recognizerAccepts || !it->second.recognizerAccepts(sender)) return false;
    sender.addTarget(it->second.recognizerAction, lifetime_.weak());
    return true;
}

}  // namespace uikit
