#include "screens/FunctionsPopover.h"

#include "platform/foundation/Log.h"
#include "platform/uikit/Application.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorView.h"

namespace ostrelo {

FunctionsPopover::FunctionsPopover() { declareOutlet("ostreloView", ostreloView); }

void FunctionsPopover::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    notification = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::willEnterForegroundNotification, nullptr,
        [this](const foundation::Notification&) {
            if (delegate() != nullptr) restoreMainScreenAndDismiss();
        });
    if (ostreloView == nullptr) {
        foundation::Log::error("the Functions popover was loaded without its keypad");
        return;
    }
    ostreloView->setDelegate(this, popoverLifetime_.weak());
}

void FunctionsPopover::viewDidAppear(bool animated) {
    uikit::ViewController::viewDidAppear(animated);
    shown = true;
}

void FunctionsPopover::viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) {
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
    if (shown) restoreMainScreenAndDismiss();
}

void FunctionsPopover::restoreMainScreenAndDismiss() {
    if (FunctionsPopoverDelegate* screen = delegate()) screen->restoreControlsAlpha();
    dismissViewController(false);
}

void FunctionsPopover::handleKeyPress(CalculatorButton* button, bool, const std::string& key) {
    const std::string title = button != nullptr ? button->normalTitle() : key;
    if (title.empty()) return;
    FunctionsPopoverDelegate* screen = delegate();
    if (screen == nullptr) return;
    screen->restoreControlsAlpha();
    // The key may end this popover (a handler that changes the screen); nothing of it is used
    // after.
    const std::weak_ptr<void> alive = popoverLifetime_.weak();
    screen->handleKeyPress(nullptr, false, title == "𝑖" ? "%%" : title);
    if (!alive.expired()) dismissViewController(false);
}

}  // namespace ostrelo
