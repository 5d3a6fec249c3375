#pragma once

#include "engine/ButtonState.h"
#include "platform/uikit/Button.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ostrelo {

// A key of a keypad. Its kind and the state of the calculation it shows choose its colours; at
// every layout it paints itself from the theme: colours, thin border lines on its top and left
// edges, a title font scaled to its size and, in the corners of a pad, one rounded corner. Its
// touches are tracked by its CalculatorView. A title too wide for the key shrinks to fit.
class CalculatorButton : public uikit::Button {
public:
    enum class MyButtonType : int {
        nonDigit = 0,
        digit = 1,
        operant = 2,
        memory = 3,
        memoryRecall = 4,
        clear = 5,
        equal = 6,
        setup = 7,
        setupToday = 8,
        memoryToday = 9,
        memoryRecallToday = 10,
        nonDigitTopLeft = 11,
        nonDigitTopRight = 12,
        nonDigitBottomLeft = 13,
        nonDigitBottomRight = 14,
        equalBottomRight = 15,
        choose = 16,
    };

    // The key states the engine computes for "=" and the memory-recall key.
    using ButtonState = ::ostrelo::ButtonState;

    static constexpr double cornerRadius = 12;
    static constexpr double borderWidth = 0.5;
    // A title too wide for its key shrinks down to this share of its size before it is cut; it
    // keeps this share of the key's smaller side clear on the left and the right.
    static constexpr double titleMinimumScale = 0.5;
    static constexpr double titleMargin = 0.06;

    CalculatorButton();
    explicit CalculatorButton(const uikit::Rect& frame);

    MyButtonType myButtonType = MyButtonType::nonDigit;
    std::optional<ButtonState> myButtonState;
    bool clickSound = false;

    // Raw value of myButtonType; 0 to 16 select that case, anything else `nonDigit`.
    int type() const;
    void setType(int rawValue);

    // The title for the normal control state ("" when there is none).
    std::string normalTitle() const;

    void layoutSubviews() override;
    // The title keeps a margin to the key's left and right sides.
    uikit::Rect titleRectForContentRect(const uikit::Rect& contentRect) const override;
    virtual void applyButtonColors();
    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;

    // The frame the key has at rest: its bounds placed about its centre, whatever its transform.
    uikit::Rect untransformedFrame() const;

protected:
    // Stores the title colour of the normal state (only when it changes).
    virtual void storeNormalTitleColor(const uikit::Color& color);

private:
    void fitTitle();
    bool compactPortrait() const;
    uikit::Color borderLineColor() const;
};

}  // namespace ostrelo
