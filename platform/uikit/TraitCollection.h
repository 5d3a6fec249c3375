#pragma once

namespace uikit {

enum class UserInterfaceSizeClass { unspecified = 0, compact = 1, regular = 2 };
enum class UserInterfaceIdiom { unspecified = -1, phone = 0, pad = 1 };
enum class UserInterfaceStyle { unspecified = 0, light = 1, dark = 2 };

// The size classes of a window, from its size and device idiom: a phone is compact in width
// except in landscape on a large phone, and compact in height in landscape; a pad is regular
// in both. The interface style (light or dark appearance) follows the host's setting.
struct TraitCollection {
    UserInterfaceSizeClass horizontalSizeClass = UserInterfaceSizeClass::unspecified;
    UserInterfaceSizeClass verticalSizeClass = UserInterfaceSizeClass::unspecified;
    UserInterfaceIdiom userInterfaceIdiom = UserInterfaceIdiom::unspecified;
    double displayScale = 1;
    UserInterfaceStyle userInterfaceStyle = UserInterfaceStyle::unspecified;

    static TraitCollection forWindow(double width, double height, UserInterfaceIdiom idiom, double scale,
                                     UserInterfaceStyle style = UserInterfaceStyle::unspecified);
    // A desktop window showing the phone's layouts: compact in width below 700 points, compact
    // in height when it is wider than tall, whatever the device.
    static TraitCollection forDesktopWindow(double width, double height, double scale,
                                            UserInterfaceStyle style = UserInterfaceStyle::unspecified);
    // Compact in width and regular in height: an upright phone's window.
    bool compactWidthRegularHeight() const {
        return horizontalSizeClass == UserInterfaceSizeClass::compact &&
               verticalSizeClass == UserInterfaceSizeClass::regular;
    }
    friend bool operator==(const TraitCollection&, const TraitCollection&) = default;
};

}  // namespace uikit
