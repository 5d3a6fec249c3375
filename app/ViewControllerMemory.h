#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/uikit/ViewController.h"

#include <optional>
#include <string>

namespace uikit {
class Label;
}

namespace ostrelo {

// The Memory popover: the memory register's text, handed over by the presenter, on one line.
// It has no controls; it closes when the app returns to the foreground and when the screen's
// size changes after it appeared.
class ViewControllerMemory : public uikit::ViewController {
public:
    ViewControllerMemory();

    uikit::Label* labelMemory = nullptr;
    std::optional<std::string> labelMemoryString;
    bool shown = false;
    foundation::NotificationCenter::Token notification;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;
};

}  // namespace ostrelo
