#include "platform/uikit/Layer.h"

#include "platform/foundation/RunLoop.h"

#include <algorithm>

namespace uikit {

Layer::~Layer() {
    for (auto& sub : sublayers_) sub->superlayer_ = nullptr;
}

void Layer::addSublayer(std::shared_ptr<Layer> layer) { insertSublayer(std::move(layer), sublayers_.size()); }

void Layer::insertSublayer(std::shared_ptr<Layer> layer, std::size_t index) {
    if (!layer || layer.get() == this) return;
    if (layer->superlayer_ != nullptr) {
        Layer* old = layer->superlayer_;
        auto it = std::find(old->sublayers_.begin(), old->sublayers_.end(), layer);
        if (it != old->sublayers_.end()) {
            if (old == this && static_cast<std::size_t>(it - sublayers_.begin()) < index) --index;
            old->sublayers_.erase(it);
        }
    }
    layer->superlayer_ = this;
    index = std::min(index, sublayers_.size());
    sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), std::move(layer));
}

void Layer::removeFromSuperlayer() {
    Layer* parent = superlayer_;
    if (parent == nullptr) return;
    superlayer_ = nullptr;
    // May destroy this layer when the superlayer held the last reference: nothing follows.
    parent->detachChild(this);
}

void Layer::detachChild(Layer* child) {
    auto it = std::find_if(sublayers_.begin(), sublayers_.end(), [&](const auto& l) { return l.get() == child; });
    if (it == sublayers_.end()) return;
    std::shared_ptr<Layer> keep = std::move(*it);
    sublayers_.erase(it);
}

Layer* Layer::sublayerNamed(const std::string& wanted) const {
    for (auto it = sublayers_.rbegin(); it != sublayers_.rend(); ++it)
        if ((*it)->name == wanted) return it->get();
    return nullptr;
}

Rect Layer::frame() const {
    Rect local(-bounds_.size.width / 2, -bounds_.size.height / 2, bounds_.size.width, bounds_.size.height);
    return transform_.apply(local).offsetBy(position_.x, position_.y);
}

void Layer::setFrame(const Rect& frame) {
    Rect f = frame.standardized();
    bounds_.size = f.size;
    position_ = {f.midX(), f.midY()};
}

AffineTransform Layer::transformToSuperlayer(bool presented) const {
    Rect b = presented ? presentedBounds() : bounds_;
    Point p = presented ? presentedPosition() : position_;
    AffineTransform t = presented ? presentedTransform() : transform_;
    return AffineTransform::translation(-(b.origin.x + b.size.width / 2), -(b.origin.y + b.size.height / 2))
        .concat(t)
        .concat(AffineTransform::translation(p.x, p.y));
}

std::optional<AnimationValue> Layer::modelValue(const std::string& keyPath) const {
    if (keyPath == "opacity") return AnimationValue(opacity_);
    if (keyPath == "transform") return AnimationValue(transform_);
    if (keyPath == "position") return AnimationValue(position_);
    if (keyPath == "bounds") return AnimationValue(bounds_);
    if (keyPath == "backgroundColor") return AnimationValue(backgroundColor.value_or(Color::clear()));
    if (keyPath == "cornerRadius") return AnimationValue(cornerRadius);
    if (keyPath == "borderWidth") return AnimationValue(borderWidth);
    return std::nullopt;
}

void Layer::addAnimation(BasicAnimation animation, const std::string& key) {
    if (!key.empty()) removeAnimation(key);
    auto model = modelValue(animation.keyPath);
    if (!model) return;  // not an animatable property of this layer
    if (!animation.fromValue) animation.fromValue = *model;
    if (!animation.toValue) animation.toValue = *model;
    animation.duration = std::max(animation.duration, 0.0);
    double start = foundation::RunLoop::main().now() + std::max(animation.beginTime, 0.0);
    std::uint64_t serial = nextSerial_++;
    auto group = Transaction::current();
    Transaction::animationStarted(group);
    animations_.push_back(Running{key, serial, std::move(animation), start, group});
    double end = start - foundation::RunLoop::main().now() + animations_.back().animation.duration;
    foundation::RunLoop::main().perform(nullptr, lifetime_.weak(), end, [this, serial] { finish(serial); });
}

void Layer::stop(std::vector<Running>::iterator it) {
    Running running = std::move(*it);
    animations_.erase(it);
    if (running.animation.didStop) running.animation.didStop(false);
    Transaction::animationEnded(running.group, false);
}

void Layer::finish(std::uint64_t serial) {
    auto it = std::find_if(animations_.begin(), animations_.end(), [&](const Running& r) { return r.serial == serial; });
    if (it == animations_.end()) return;
    auto didStop = std::move(it->animation.didStop);
    auto group = it->group;
    it->group.reset();
    if (it->animation.removedOnCompletion) animations_.erase(it);
    if (didStop) didStop(true);
    Transaction::animationEnded(group);
}

void Layer::removeAnimation(const std::string& key) {
    auto it = std::find_if(animations_.begin(), animations_.end(), [&](const Running& r) { return r.key == key; });
    if (it != animations_.end()) stop(it);
}

const BasicAnimation* Layer::animationForKey(const std::string& key) const {
    for (const auto& r : animations_)
        if (r.key == key) return &r.animation;
    return nullptr;
}

std::vector<std::string> Layer::animationKeys() const {
    std::vector<std::string> keys;
    for (const auto& r : animations_)
        if (!r.key.empty()) keys.push_back(r.key);
    return keys;
}

AnimationValue Layer::presentedValue(const std::string& keyPath, const AnimationValue& model) const {
    AnimationValue value = model;
    double now = foundation::RunLoop::main().now();
    for (const auto& r : animations_) {
        const BasicAnimation& a = r.animation;
        if (a.keyPath != keyPath) continue;
        if (now < r.start) {
            if (a.fillMode == FillMode::backwards || a.fillMode == FillMode::both) value = *a.fromValue;
            continue;
        }
        double elapsed = a.duration > 0 ? (now - r.start) / a.duration : 1.0;
        if (elapsed >= 1) {
            // Past its end, an animation that is still attached shows its end value only when
            // it fills forwards.
            if (a.fillMode == FillMode::forwards || a.fillMode == FillMode::both) value = *a.toValue;
            continue;
        }
        value = interpolateAnimationValue(*a.fromValue, *a.toValue, a.timingFunction.evaluate(elapsed));
    }
    return value;
}

template <typename T>
T Layer::presentedAs(const std::string& keyPath, const T& model) const {
    if (animations_.empty()) return model;
    const AnimationValue v = presentedValue(keyPath, model);
    const T* presented = std::get_if<T>(&v);
    return presented != nullptr ? *presented : model;
}

double Layer::presentedOpacity() const { return presentedAs("opacity", opacity_); }

AffineTransform Layer::presentedTransform() const { return presentedAs("transform", transform_); }

Point Layer::presentedPosition() const { return presentedAs("position", position_); }

Rect Layer::presentedBounds() const { return presentedAs("bounds", bounds_); }

std::optional<Color> Layer::presentedBackgroundColor() const {
    if (animations_.empty()) return backgroundColor;
    bool animated = std::any_of(animations_.begin(), animations_.end(),
                                [](const Running& r) { return r.animation.keyPath == "backgroundColor"; });
    if (!animated) return backgroundColor;
    auto v = presentedValue("backgroundColor", backgroundColor.value_or(Color::clear()));
    if (std::holds_alternative<Color>(v)) return std::get<Color>(v);
    return backgroundColor;
}

}  // namespace uikit
