#pragma once

#include "platform/uikit/TraitCollection.h"

namespace uikit {

// The device the program runs on: its interface idiom (phone or pad), set by the host.
class Device {
public:
    static Device& currentDevice();

    UserInterfaceIdiom userInterfaceIdiom() const { return idiom_; }
    void setUserInterfaceIdiom(UserInterfaceIdiom idiom) { idiom_ = idiom; }

private:
    Device() = default;
    UserInterfaceIdiom idiom_ = UserInterfaceIdiom::phone;
};

}  // namespace uikit
