#pragma once

#include "platform/uikit/Label.h"

#include <optional>
#include <string>

namespace ostrelo {

// A themed label: text in `labelTextColor` on the background of its colour choice, both read
// from the theme at every layout.
class CalculatorLabel : public uikit::Label {
public:
    enum class LableBackgroundColor : int { empty = 0, standard = 1, memory = 2 };
    static std::optional<LableBackgroundColor> lableBackgroundColorFromRawValue(int rawValue);

    CalculatorLabel();
    explicit CalculatorLabel(const uikit::Rect& frame);

    LableBackgroundColor myLableBackgroundColor = LableBackgroundColor::standard;

    // Raw value of the colour choice; a value outside the cases stores `standard`.
    int color() const;
    void setColor(int rawValue);

    void layoutSubviews() override;
    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;
};

}  // namespace ostrelo
