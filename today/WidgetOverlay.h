#pragma once

#include "platform/uikit/Rect.h"
#include "platform/uikit/Size.h"

#include <memory>
#include <optional>
#include <string>

namespace uikit {
class Button;
class View;
}  // namespace uikit

namespace ostrelo {

class CalculatorView;

// The three views of an overlay laid over the widget's keypad, made anew at every opening: a
// transparent background button over the keypad that catches taps beside the panel, a small
// square turned by 45 degrees that sticks out of the panel's edge (the pointer), and the panel.
// Both overlays are placed by the frame of the memory-clear key (`key`, in the coordinates of
// the widget's root view) and the size of the root view. The caller connects the background's
// action and the panel's delegate and adds the three views to the root view.
struct WidgetOverlay {
    std::unique_ptr<uikit::Button> background;
    std::unique_ptr<uikit::View> pointer;
    std::unique_ptr<CalculatorView> panel;

    // The 24 scientific keys in a panel right of the key's column, five keys high, centred on
    // the pointer at the middle of the row below the key. Its width is a whole multiple of 3.
    static WidgetOverlay functions(const uikit::Rect& key, uikit::Size root);
    // The memory value, right-aligned in a panel one key high and two keys wide whose lower edge
    // lies 10 points above the key's row.
    static WidgetOverlay memory(const uikit::Rect& key, uikit::Size root, const std::optional<std::string>& memoryText);

    // The captions of the function panel, row by row; each is the key text it hands to the widget.
    static constexpr int functionColumns = 4;
    static constexpr int functionRows = 6;
    static const char* const functionCaptions[functionRows][functionColumns];
};

}  // namespace ostrelo
