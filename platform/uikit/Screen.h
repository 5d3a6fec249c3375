#pragma once

#include "platform/uikit/Rect.h"
#include "platform/uikit/TraitCollection.h"

namespace uikit {

// The device's screen: its bounds in points (following the orientation), its pixels per point
// and the appearance the user chose (light or dark). The host sets them; screens only read.
class Screen {
public:
    static Screen& mainScreen();

    Rect bounds() const { return bounds_; }
    double scale() const { return scale_; }
    UserInterfaceStyle userInterfaceStyle() const { return style_; }

    // Set by the host.
    void setBounds(Size size) { bounds_ = Rect({0, 0}, size); }
    void setScale(double scale) { scale_ = scale > 0 ? scale : 1; }
    void setUserInterfaceStyle(UserInterfaceStyle style) { style_ = style; }

private:
    Screen() = default;
    Rect bounds_{0, 0, 393, 852};
    double scale_ = 3;
    UserInterfaceStyle style_ = UserInterfaceStyle::light;
};

}  // namespace uikit
