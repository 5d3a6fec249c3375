#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/uikit/ViewController.h"

#include <optional>
#include <string>

namespace ostrelo {

class CalculatorLabel;

// The expanded calculator's memory popover: the memory register's text as it was when the
// popover opened. It closes when the app returns to the foreground and when the size changes
// after it appeared.
class MessageExpandedViewControllerMemory : public uikit::ViewController {
public:
    MessageExpandedViewControllerMemory();

    CalculatorLabel* labelMemory = nullptr;
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
