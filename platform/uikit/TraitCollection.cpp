#include "platform/uikit/TraitCollection.h"

namespace uikit {

TraitCollection TraitCollection::forWindow(double width, double height, UserInterfaceIdiom idiom, double scale,
                                           UserInterfaceStyle style) {
    TraitCollection t;
    t.userInterfaceStyle = style;
    t.userInterfaceIdiom = idiom;
    t.displayScale = scale;
    if (idiom == UserInterfaceIdiom::pad) {
        t.horizontalSizeClass = UserInterfaceSizeClass::regular;
        t.verticalSizeClass = UserInterfaceSizeClass::regular;
        return t;
    }
    bool landscape = width > height;
    // Large phones (a landscape width of 736 points and more) are regular in width in landscape.
    t.horizontalSizeClass = landscape && width >= 736 ? UserInterfaceSizeClass::regular : UserInterfaceSizeClass::compact;
    t.verticalSizeClass = landscape ? UserInterfaceSizeClass::compact : UserInterfaceSizeClass::regular;
    return t;
}

TraitCollection TraitCollection::forDesktopWindow(double width, double height, double scale, UserInterfaceStyle style) {
    TraitCollection t;
    t.userInterfaceStyle = style;
    t.userInterfaceIdiom = UserInterfaceIdiom::phone;
    t.displayScale = scale;
    t.horizontalSizeClass = width < 700 ? UserInterfaceSizeClass::compact : UserInterfaceSizeClass::regular;
    t.verticalSizeClass = width > height ? UserInterfaceSizeClass::compact : UserInterfaceSizeClass::regular;
    return t;
}

}  // namespace uikit
