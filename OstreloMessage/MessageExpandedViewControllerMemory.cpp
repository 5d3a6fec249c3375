#include "OstreloMessage/MessageExpandedViewControllerMemory.h"

#include "platform/uikit/Application.h"
#include "ui/CalculatorLabel.h"
#include "ui/Theme.h"

namespace ostrelo {

MessageExpandedViewControllerMemory::MessageExpandedViewControllerMemory() {
    declareOutlet("labelMemory", labelMemory);
}

void MessageExpandedViewControllerMemory::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    notification = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::willEnterForegroundNotification, nullptr,
        [this](const foundation::Notification&) { dismissViewController(false); });
    view()->setBackgroundColor(digitBackgroundColor());
    if (labelMemoryString && labelMemory != nullptr) labelMemory->setText(*labelMemoryString);
}

void MessageExpandedViewControllerMemory::viewDidAppear(bool animated) {
    uikit::ViewController::viewDidAppear(animated);
    shown = true;
}

void MessageExpandedViewControllerMemory::viewWillTransitionToSize(uikit::Size size,
                                                                  uikit::TransitionCoordinator& coordinator) {
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
    if (shown) dismissViewController(false);
}

}  // namespace ostrelo
