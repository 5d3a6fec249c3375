#pragma once

#include "platform/uikit/Switch.h"

#include <optional>
#include <string>

namespace ostrelo {

// The settings switch, on the background of its colour choice.
class CalculatorSwitch : public uikit::Switch {
public:
    enum class SwitchBackgroundColor : int { empty = 0, standard = 1, memory = 2 };
    static std::optional<SwitchBackgroundColor> switchBackgroundColorFromRawValue(int rawValue);

    CalculatorSwitch();
    explicit CalculatorSwitch(const uikit::Rect& frame);

    SwitchBackgroundColor mySwitchBackgroundColor = SwitchBackgroundColor::standard;

    // Raw value of the colour choice; 0, 1, 2 select that case, anything else `standard`.
    int color() const;
    void setColor(int rawValue);

    void layoutSubviews() override;
    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;
};

}  // namespace ostrelo
