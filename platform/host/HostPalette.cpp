#include "platform/host/HostPalette.h"

namespace host {

HostPalette HostPalette::forStyle(uikit::UserInterfaceStyle style) {
    using uikit::Color;
    if (style == uikit::UserInterfaceStyle::dark)
        return {Color::black(), Color::rgb(28, 28, 30), Color::rgb(44, 44, 46), Color::white(), Color::rgb(10, 132, 255)};
    return {Color::rgb(242, 242, 247), Color::rgb(249, 249, 249), Color::white(), Color::black(), Color::rgb(0, 122, 255)};
}

std::unique_ptr<uikit::Button> HostPalette::makeButton(const std::string& title) const {
    auto button = std::make_unique<uikit::Button>();
    button->setTitle(title, uikit::ControlStateNormal);
    applyTo(*button);
    return button;
}

void HostPalette::applyTo(uikit::Button& button) const { button.setTitleColor(tint, uikit::ControlStateNormal); }

}  // namespace host
