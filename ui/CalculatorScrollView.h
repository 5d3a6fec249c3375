#pragma once

#include "platform/uikit/ScrollView.h"

#include <optional>
#include <string>

namespace ostrelo {

// The horizontally scrolling strip that holds the display lines. Its content is as wide as the
// strip or as the longest display line (CalculatorCalcLabel) inside needs, and every line then
// reaches to the content's end, so that right-aligned texts end together. Whenever its width
// or its content's width changes it scrolls the end of the content to its right edge;
// otherwise it leaves the offset to the user.
class CalculatorScrollView : public uikit::ScrollView {
public:
    enum class ScrollBackgroundColor : int { empty = 0, standard = 1, memory = 2 };
    static std::optional<ScrollBackgroundColor> scrollBackgroundColorFromRawValue(int rawValue);

    CalculatorScrollView();
    explicit CalculatorScrollView(const uikit::Rect& frame);

    ScrollBackgroundColor myScrollBackgroundColor = ScrollBackgroundColor::standard;
    double myContentWidth = 0;
    double myViewWidth = 0;

    // Raw value of the colour choice; 0, 1, 2 select that case, anything else `standard`.
    int color() const;
    void setColor(int rawValue);

    void layoutSubviews() override;
    // The text of a display line inside changed: the content follows at the next layout.
    void displayLineDidChange();
    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;

private:
    void sizeContentToDisplayLines();
};

}  // namespace ostrelo
