#include "screens/MemoryPopover.h"

#include "platform/uikit/Application.h"
#include "platform/uikit/Label.h"
#include "ui/Theme.h"

namespace ostrelo {

MemoryPopover::MemoryPopover() { declareOutlet("labelMemory", labelMemory); }

void MemoryPopover::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    // The token ends the observation with this popover; the block's last step may end it.
    notification = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::willEnterForegroundNotification, nullptr,
        [this](const foundation::Notification&) { dismissViewController(false); });
    view()->setBackgroundColor(digitBackgroundColor());
    if (labelMemoryString && labelMemory != nullptr) labelMemory->setText(*labelMemoryString);
}

void MemoryPopover::viewDidAppear(bool animated) {
    uikit::ViewController::viewDidAppear(animated);
    shown = true;
}

void MemoryPopover::viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) {
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
    if (shown) dismissViewController(false);
}

}  // namespace ostrelo
