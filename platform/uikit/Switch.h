#pragma once

#include "platform/uikit/Control.h"

namespace uikit {

// An on/off control, 51 by 31 points. A tap flips it and sends value-changed.
class Switch : public Control {
public:
    Switch();
    explicit Switch(const Rect& frame);

    bool isOn() const { return on_; }
    void setOn(bool on, bool animated = false);
    std::optional<Color> onTintColor;

    unsigned primaryActionEvents() const override { return ControlEventValueChanged; }
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void drawRect(const Rect& rect) override;
    Size sizeThatFits(Size) const override { return {51, 31}; }
    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;

private:
    bool on_ = false;
};

}  // namespace uikit
