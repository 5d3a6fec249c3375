#include "platform/uikit/Switch.h"

#include "platform/uikit/GraphicsContext.h"

#include <algorithm>

namespace uikit {

Switch::Switch() { setFrame(Rect(0, 0, 51, 31)); }

Switch::Switch(const Rect& frame) : Switch() { setFrame(Rect(frame.origin, Size{51, 31})); }

void Switch::setOn(bool on, bool) {
    on_ = on;
    setNeedsDisplay();
}

void Switch::touchesEnded(const TouchSet& touches, const Event* event) {
    bool wasTracking = isTracking();
    bool inside = !touches.empty() && touchInside(*touches.front());
    Control::touchesEnded(touches, event);
    if (wasTracking && inside) {
        setOn(!on_, true);
        sendActionsForControlEvents(ControlEventValueChanged);
    }
}

void Switch::drawRect(const Rect&) {
    GraphicsContext* context = GraphicsContext::current();
    if (context == nullptr) return;
    Rect b = bounds();
    double h = std::min(b.size.height, 31.0), w = std::min(b.size.width, 51.0);
    Rect track(b.origin.x, b.origin.y + (b.size.height - h) / 2, w, h);
    context->setFillColor(on_ ? onTintColor.value_or(Color::rgb(52, 199, 89)) : Color::rgb(120, 120, 128));
    context->fillPath(BezierPath::roundedRect(track, h / 2));
    double knob = h - 4;
    Rect thumb(on_ ? track.maxX() - 2 - knob : track.minX() + 2, track.minY() + 2, knob, knob);
    context->setFillColor(Color::white());
    context->fillPath(BezierPath::ovalInRect(thumb));
}

bool Switch::setProperty(const std::string& key, const std::string& value, std::string& error) {
    if (key == "on") {
        if (value == "true" || value == "YES") setOn(true);
        else if (value == "false" || value == "NO") setOn(false);
        else { error = "bad value \"" + value + "\" for property \"on\""; return false; }
        return true;
    }
    return Control::setProperty(key, value, error);
}

}  // namespace uikit
