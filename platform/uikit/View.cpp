#include "platform/uikit/View.h"

#include "platform/foundation/RunLoop.h"
#include "platform/uikit/Device.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/SceneLayout.h"
#include "platform/uikit/Screen.h"
#include "platform/uikit/ShapeLayer.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <algorithm>
#include <cstdlib>

namespace uikit {

namespace {
struct AnimationContext {
    double duration;
    double delay;
    unsigned options;
};

std::vector<AnimationContext>& animationContexts() {
    static std::vector<AnimationContext> contexts;
    return contexts;
}

bool& animationsEnabledFlag() {
    static bool enabled = true;
    return enabled;
}

TimingFunction curveOf(unsigned options) {
    switch ((options >> 16) & 3u) {
        case 1: return TimingFunction::easeIn();
        case 2: return TimingFunction::easeOut();
        case 3: return TimingFunction::linear();
        default: return TimingFunction::easeInEaseOut();
    }
}

bool parseBool(const std::string& v, bool& out) {
    if (v == "true" || v == "YES" || v == "1") { out = true; return true; }
    if (v == "false" || v == "NO" || v == "0") { out = false; return true; }
    return false;
}

bool parseDouble(const std::string& v, double& out) {
    char* end = nullptr;
    out = std::strtod(v.c_str(), &end);
    return !v.empty() && end == v.c_str() + v.size();
}
}  // namespace

View::View() : layer_(std::make_shared<Layer>()) { layer_->setView(this); }

View::View(const Rect& frame) : View() { setFrame(frame); }

View::~View() {
    foundation::RunLoop::main().cancelPerformRequests(this);
    sceneLayout_.reset();
    constraints_.clear();
    recognizers_.clear();
    subviews_.clear();
    layer_->setView(nullptr);
    layer_->removeFromSuperlayer();
}

View* View::addSubview(std::unique_ptr<View> view) {
    return insertSubview(std::move(view), subviews_.size());
}

View* View::insertSubview(std::unique_ptr<View> view, std::size_t index) {
    if (!view || view.get() == this) return nullptr;
    View* raw = view.get();
    index = std::min(index, subviews_.size());
    // The layer goes after the layer of the subview below it, or first among view layers.
    // Appended views put their layer on top of every sublayer; inserted ones go next to the
    // layer of the subview below (or above) them.
    std::size_t layerIndex = 0;
    if (index == subviews_.size()) {
        layerIndex = layer_->sublayers().size();
    } else if (index > 0) {
        const auto& below = subviews_[index - 1]->layer_;
        const auto& sublayers = layer_->sublayers();
        auto it = std::find(sublayers.begin(), sublayers.end(), below);
        layerIndex = it == sublayers.end() ? sublayers.size() : static_cast<std::size_t>(it - sublayers.begin()) + 1;
    } else if (!subviews_.empty()) {
        const auto& sublayers = layer_->sublayers();
        auto it = std::find(sublayers.begin(), sublayers.end(), subviews_.front()->layer_);
        layerIndex = it == sublayers.end() ? sublayers.size() : static_cast<std::size_t>(it - sublayers.begin());
    } else {
        layerIndex = layer_->sublayers().size();
    }
    view->superview_ = this;
    layer_->insertSublayer(view->layer_, layerIndex);
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), std::move(view));
    raw->setNeedsLayout();
    setNeedsLayout();
    raw->didMoveToSuperview();
    if (window() != nullptr) {
        auto alive = raw->alive();
        raw->notifyMovedToWindow();
        if (!alive.expired()) raw->updateTraitCollection();
    }
    return raw;
}

void View::notifyMovedToWindow() {
    didMoveToWindow();
    for (auto& sub : subviews_) sub->notifyMovedToWindow();
}

void View::updateTraitCollection() {
    if (window() == nullptr) return;
    auto alive = this->alive();
    TraitCollection now = traitCollection();
    if (!reportedTraits_ || !(*reportedTraits_ == now)) {
        std::optional<TraitCollection> previous = reportedTraits_;
        reportedTraits_ = now;
        // The scene's views for these size classes are in place before anyone hears of them.
        if (sceneLayout_) sceneLayout_->apply(now);
        const TraitCollection* before = previous ? &*previous : nullptr;
        if (viewController_ != nullptr) viewController_->traitCollectionDidChange(before);
        if (alive.expired()) return;
        traitCollectionDidChange(before);
        if (alive.expired()) return;
    }
    std::vector<std::pair<View*, std::weak_ptr<void>>> children;
    for (auto& sub : subviews_) children.emplace_back(sub.get(), sub->alive());
    for (auto& [child, childAlive] : children)
        if (!childAlive.expired() && child->superview_ == this) child->updateTraitCollection();
}

EdgeInsets View::safeAreaInsets() const {
    Window* w = window();
    if (w == nullptr) return {};
    Rect safe = w->windowSafeAreaInsets().inset(w->bounds());
    Rect r = convertRect(bounds(), nullptr);
    auto clamp = [](double v, double limit) { return std::clamp(v, 0.0, std::max(limit, 0.0)); };
    EdgeInsets in;
    in.top = clamp(safe.minY() - r.minY(), r.height());
    in.left = clamp(safe.minX() - r.minX(), r.width());
    in.bottom = clamp(r.maxY() - safe.maxY(), r.height());
    in.right = clamp(r.maxX() - safe.maxX(), r.width());
    return in;
}

const LayoutGuide& View::safeAreaLayoutGuide() const {
    if (!safeAreaGuide_) safeAreaGuide_ = std::make_unique<LayoutGuide>(const_cast<View&>(*this));
    return *safeAreaGuide_;
}

void View::addConstraint(const std::shared_ptr<LayoutConstraint>& constraint) {
    if (constraint) constraint->installOn(*this);
}

void View::removeConstraint(const std::shared_ptr<LayoutConstraint>& constraint) {
    if (constraint && std::find(constraints_.begin(), constraints_.end(), constraint) != constraints_.end())
        constraint->setActive(false);
}

void View::installConstraint(std::shared_ptr<LayoutConstraint> constraint) {
    if (std::find(constraints_.begin(), constraints_.end(), constraint) == constraints_.end())
        constraints_.push_back(std::move(constraint));
}

void View::uninstallConstraint(const LayoutConstraint* constraint) {
    std::erase_if(constraints_, [&](const auto& c) { return c.get() == constraint; });
}

std::unique_ptr<View> View::removeFromSuperview() {
    View* parent = superview_;
    if (parent == nullptr) return nullptr;
    auto it = std::find_if(parent->subviews_.begin(), parent->subviews_.end(),
                           [&](const auto& v) { return v.get() == this; });
    if (it == parent->subviews_.end()) return nullptr;
    std::unique_ptr<View> self = std::move(*it);
    parent->subviews_.erase(it);
    superview_ = nullptr;
    layer_->removeFromSuperlayer();
    parent->setNeedsLayout();
    didMoveToSuperview();
    return self;
}

Window* View::window() const { return superview_ != nullptr ? superview_->window() : nullptr; }

bool View::isDescendantOf(const View* view) const {
    for (const View* v = this; v != nullptr; v = v->superview_)
        if (v == view) return true;
    return false;
}

View* View::viewWithTag(int wanted) {
    if (tag == wanted) return this;
    for (auto& sub : subviews_)
        if (View* found = sub->viewWithTag(wanted)) return found;
    return nullptr;
}

void View::animateChange(const std::string& keyPath, const AnimationValue& from) {
    if (animationContexts().empty() || !animationsEnabledFlag()) return;
    const AnimationContext& context = animationContexts().back();
    BasicAnimation animation(keyPath);
    animation.fromValue = from;
    animation.duration = context.duration;
    animation.beginTime = context.delay;
    animation.timingFunction = curveOf(context.options);
    animation.fillMode = FillMode::backwards;
    layer_->addAnimation(std::move(animation), keyPath);
}

void View::setFrame(const Rect& frame) {
    Rect f = frame.standardized();
    Size oldSize = bounds().size;
    Point oldCenter = layer_->presentedPosition();
    Rect oldBounds = layer_->presentedBounds();
    Rect b = layer_->bounds();
    b.size = f.size;
    layer_->setBounds(b);
    layer_->setPosition({f.midX(), f.midY()});
    animateChange("position", oldCenter);
    if (!(oldSize == f.size)) {
        animateChange("bounds", oldBounds);
        needsUpdateConstraints_ = true;
        boundsSizeDidChange();
    }
}

void View::setBounds(const Rect& bounds) {
    Size oldSize = this->bounds().size;
    Rect old = layer_->presentedBounds();
    layer_->setBounds(bounds);
    animateChange("bounds", old);
    if (!(oldSize == bounds.size)) {
        needsUpdateConstraints_ = true;
        boundsSizeDidChange();
    }
}

void View::setCenter(Point center) {
    Point old = layer_->presentedPosition();
    layer_->setPosition(center);
    animateChange("position", old);
}

void View::setTransform(const AffineTransform& transform) {
    AffineTransform old = layer_->presentedTransform();
    layer_->setTransform(transform);
    animateChange("transform", old);
}

void View::setAlpha(double alpha) {
    double old = layer_->presentedOpacity();
    layer_->setOpacity(alpha);
    animateChange("opacity", old);
}

void View::setBackgroundColor(std::optional<Color> color) {
    Color old = layer_->presentedBackgroundColor().value_or(Color::clear());
    layer_->backgroundColor = color;
    if (color) animateChange("backgroundColor", old);
    setNeedsDisplay();
}

void View::roundCorners(unsigned corners, double radius) {
    auto mask = ShapeLayer::make();
    mask->path = BezierPath::roundedRect(bounds(), corners, Size{radius, radius});
    layer_->mask = mask;
}

Point View::convertPointToWindow(Point point) const {
    for (const View* v = this; v->superview_ != nullptr; v = v->superview_)
        point = v->layer_->transformToSuperlayer().apply(point);
    return point;
}

Point View::convertPointFromWindow(Point point) const {
    AffineTransform chain;
    for (const View* v = this; v->superview_ != nullptr; v = v->superview_)
        chain = chain.concat(v->layer_->transformToSuperlayer());
    return chain.inverted().apply(point);
}

Point View::convertPoint(Point point, const View* to) const {
    Point w = convertPointToWindow(point);
    return to != nullptr ? to->convertPointFromWindow(w) : w;
}

Point View::convertPointFrom(Point point, const View* from) const {
    Point w = from != nullptr ? from->convertPointToWindow(point) : point;
    return convertPointFromWindow(w);
}

Rect View::convertRect(const Rect& rect, const View* to) const {
    Rect s = rect.standardized();
    Point corners[4] = {convertPoint(s.origin, to), convertPoint({s.maxX(), s.minY()}, to),
                        convertPoint({s.minX(), s.maxY()}, to), convertPoint({s.maxX(), s.maxY()}, to)};
    double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const auto& c : corners) {
        x0 = std::min(x0, c.x); x1 = std::max(x1, c.x);
        y0 = std::min(y0, c.y); y1 = std::max(y1, c.y);
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

void View::layoutIfNeeded() {
    if (needsUpdateConstraints_) {
        needsUpdateConstraints_ = false;
        auto alive = this->alive();
        if (viewController_ != nullptr) viewController_->updateViewConstraints();
        else updateConstraints();
        if (alive.expired()) return;
    }
    bool laidOut = needsLayout_;
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSubviews();
    }
    // Layout may add or remove subviews: walk a snapshot that skips views gone meanwhile.
    std::vector<std::pair<View*, std::weak_ptr<void>>> children;
    for (auto& sub : subviews_) children.emplace_back(sub.get(), sub->alive());
    for (auto& [child, alive] : children)
        if (!alive.expired() && child->superview_ == this) child->layoutIfNeeded();
    // Views the controller adds here wait for the next layout pass.
    if (laidOut && viewController_ != nullptr) viewController_->viewDidLayoutSubviews();
}

void View::layoutSubviews() { layoutSubviewsIn(bounds()); }

void View::layoutSubviewsIn(const Rect& b) {
    for (auto& sub : subviews_) {
        if (!sub->relativeFrame) continue;
        const Rect& r = *sub->relativeFrame;
        sub->setFrame(Rect(b.origin.x + r.origin.x * b.size.width, b.origin.y + r.origin.y * b.size.height,
                           r.size.width * b.size.width, r.size.height * b.size.height));
    }
    for (auto& sub : subviews_) {
        if (sub->translatesAutoresizingMaskIntoConstraints) continue;
        if (auto frame = LayoutConstraint::solveFrame(*sub); frame && !(*frame == sub->frame())) sub->setFrame(*frame);
    }
}

void View::drawRect(const Rect&) {}

TraitCollection View::traitCollection() const {
    if (Window* w = window()) return w->windowTraitCollection();
    const Screen& screen = Screen::mainScreen();
    return TraitCollection::forWindow(screen.bounds().width(), screen.bounds().height(),
                                      Device::currentDevice().userInterfaceIdiom(), screen.scale(),
                                      screen.userInterfaceStyle());
}

bool View::pointInside(Point point, const Event*) const { return bounds().contains(point); }

View* View::hitTest(Point point, const Event* event) {
    if (hidden() || !userInteractionEnabled_ || alpha() < 0.01) return nullptr;
    if (!pointInside(point, event)) return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        View* sub = it->get();
        Point local = sub->layer_->transformToSuperlayer().inverted().apply(point);
        if (View* hit = sub->hitTest(local, event)) return hit;
    }
    return this;
}

Responder* View::nextResponder() const {
    if (viewController_ != nullptr) return viewController_;
    return superview_;
}

bool View::becomeFirstResponder() {
    Window* w = window();
    return w != nullptr && canBecomeFirstResponder() && w->makeFirstResponder(*this);
}

bool View::resignFirstResponder() {
    if (Window* w = window()) w->forgetFirstResponder(*this);
    return true;
}

bool View::isFirstResponder() const {
    Window* w = window();
    return w != nullptr && w->firstResponder() == this;
}

GestureRecognizer* View::addGestureRecognizer(std::unique_ptr<GestureRecognizer> recognizer) {
    if (!recognizer) return nullptr;
    recognizer->attach(this);
    recognizers_.push_back(std::move(recognizer));
    return recognizers_.back().get();
}

std::vector<GestureRecognizer*> View::gestureRecognizers() const {
    std::vector<GestureRecognizer*> out;
    for (const auto& r : recognizers_) out.push_back(r.get());
    return out;
}

void View::animate(double duration, double delay, unsigned options, const std::function<void()>& animations,
                   std::function<void(bool)> completion) {
    if (!animationsEnabledFlag() || duration <= 0) {
        if (animations) animations();
        if (completion) foundation::RunLoop::main().schedule(delay > 0 && animationsEnabledFlag() ? delay : 0,
                                                            [completion] { completion(true); });
        return;
    }
    Transaction::begin();
    if (completion) Transaction::setCompletionBlock(std::function<void(bool)>(std::move(completion)));
    animationContexts().push_back(AnimationContext{duration, delay, options});
    if (animations) animations();
    animationContexts().pop_back();
    Transaction::commit();
}

void View::animate(double duration, const std::function<void()>& animations, std::function<void(bool)> completion) {
    animate(duration, 0, 0, animations, std::move(completion));
}

void View::setAnimationsEnabled(bool enabled) { animationsEnabledFlag() = enabled; }

bool View::areAnimationsEnabled() { return animationsEnabledFlag(); }

void View::performWithoutAnimation(const std::function<void()>& actions) {
    bool was = animationsEnabledFlag();
    animationsEnabledFlag() = false;
    if (actions) actions();
    animationsEnabledFlag() = was;
}

void View::setSceneLayout(std::unique_ptr<SceneLayout> layout) { sceneLayout_ = std::move(layout); }

bool View::setProperty(const std::string& key, const std::string& value, std::string& error) {
    bool flag = false;
    double number = 0;
    if (key == "tag" && parseDouble(value, number)) { tag = static_cast<int>(number); return true; }
    if (key == "hidden" && parseBool(value, flag)) { setHidden(flag); return true; }
    if (key == "userInteractionEnabled" && parseBool(value, flag)) { setUserInteractionEnabled(flag); return true; }
    if (key == "clipsToBounds" && parseBool(value, flag)) { setClipsToBounds(flag); return true; }
    if (key == "exclusiveTouch" && parseBool(value, flag)) { exclusiveTouch = flag; return true; }
    if (key == "alpha" && parseDouble(value, number)) { setAlpha(number); return true; }
    if (key == "backgroundColor" || key == "tintColor") {
        Color color;
        if (Color::parse(value.c_str(), color)) {
            if (key == "backgroundColor") setBackgroundColor(color);
            else tintColor = color;
            return true;
        }
    }
    static const char* known[] = {"tag", "hidden", "userInteractionEnabled", "clipsToBounds", "exclusiveTouch",
                                  "alpha", "backgroundColor", "tintColor"};
    for (const char* k : known)
        if (key == k) {
            error = "bad value \"" + value + "\" for property \"" + key + "\"";
            return false;
        }
    error = "unknown property \"" + key + "\"";
    return false;
}

}  // namespace uikit
