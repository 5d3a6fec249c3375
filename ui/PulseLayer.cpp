#include "ui/PulseLayer.h"

#include "platform/uikit/BasicAnimation.h"
#include "platform/uikit/Transaction.h"
#include "ui/Theme.h"

namespace ostrelo {

void PulseLayer::startPulse(const uikit::Rect& rect) {
    strokeColor = pulseColor();
    fillColor = std::nullopt;

    const auto startPath = uikit::BezierPath::roundedRect(rect, 5);
    const auto endPath = uikit::BezierPath::roundedRect(rect.insetBy(-50, -50), 5);
    path = startPath;
    lineWidth = 1;

    uikit::BasicAnimation pathAnimation("path");
    pathAnimation.toValue = endPath;
    uikit::BasicAnimation opacityAnimation("opacity");
    opacityAnimation.toValue = 0.0;
    uikit::BasicAnimation lineWidthAnimation("lineWidth");
    lineWidthAnimation.toValue = 10.0;

    const std::uint64_t serial = ++pulseSerial_;
    const std::weak_ptr<uikit::Layer> self = weak_from_this();
    uikit::Transaction::begin();
    uikit::Transaction::setCompletionBlock([self, serial] {
        auto layer = std::static_pointer_cast<PulseLayer>(self.lock());
        if (layer && layer->pulseSerial_ == serial) layer->removeFromSuperlayer();
    });
    for (auto* animation : {&pathAnimation, &opacityAnimation, &lineWidthAnimation}) {
        animation->duration = duration;
        animation->timingFunction = uikit::TimingFunction::easeOut();
        animation->removedOnCompletion = false;
        animation->fillMode = uikit::FillMode::forwards;
        const std::string key = animation->keyPath;
        addAnimation(*animation, key);
    }
    uikit::Transaction::commit();
}

}  // namespace ostrelo
