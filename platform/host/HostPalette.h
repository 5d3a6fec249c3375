#pragma once

#include "platform/uikit/Button.h"
#include "platform/uikit/Color.h"
#include "platform/uikit/TraitCollection.h"

#include <memory>
#include <string>

namespace host {

// The colours of a host window's own views in the light or the dark appearance, and the plain
// buttons they use.
struct HostPalette {
    uikit::Color background;
    uikit::Color bar;
    uikit::Color field;
    uikit::Color text;
    uikit::Color tint;

    static HostPalette forStyle(uikit::UserInterfaceStyle style);
    // A button showing `title` in the tint colour.
    std::unique_ptr<uikit::Button> makeButton(const std::string& title) const;
    void applyTo(uikit::Button& button) const;
};

}  // namespace host
