#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/uikit/ViewController.h"

#include <optional>
#include <string>

namespace uikit {
class Label;
}

namespace ostrelo {

// The Memory popover of a calculator screen: the memory register's text, handed over by the
// presenter, on one line. It has no controls; it closes when the app returns to the foreground
// and when the screen's size changes after it appeared. The app's and the expanded messages
// screen's scenes make it under their own class names.
class MemoryPopover : public uikit::ViewController {
public:
    MemoryPopover();

    uikit::Label* labelMemory = nullptr;
    // Set by the presenter before presenting; none keeps the scene's text.
    std::optional<std::string> labelMemoryString;
    bool shown = false;
    // The observation of the app's return to the foreground; it ends with the popover.
    foundation::NotificationCenter::Token notification;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;
};

}  // namespace ostrelo
