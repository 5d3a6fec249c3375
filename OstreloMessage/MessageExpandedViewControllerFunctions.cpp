#include "OstreloMessage/MessageExpandedViewControllerFunctions.h"

#include "platform/foundation/Log.h"
#include "platform/uikit/Application.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorView.h"
#include "ui/PulseLayer.h"

namespace ostrelo {

MessageExpandedViewControllerFunctions::MessageExpandedViewControllerFunctions() : pulse(PulseLayer::make()) {
    declareOutlet("ostreloView", ostreloView);
}

MessageExpandedViewControllerFunctions::~MessageExpandedViewControllerFunctions() = default;

void MessageExpandedViewControllerFunctions::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    notification = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::willEnterForegroundNotification, nullptr,
        [this](const foundation::Notification&) { restoreScreenAndDismiss(); });
    if (ostreloView == nullptr) {
        foundation::Log::error("the Functions popover was loaded without its keypad");
        return;
    }
    ostreloView->setDelegate(this, popoverLifetime_.weak());
}

void MessageExpandedViewControllerFunctions::viewDidAppear(bool animated) {
    uikit::ViewController::viewDidAppear(animated);
    shown = true;
}

void MessageExpandedViewControllerFunctions::viewWillTransitionToSize(uikit::Size size,
                                                                     uikit::TransitionCoordinator& coordinator) {
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
    if (shown) restoreScreenAndDismiss();
}

void MessageExpandedViewControllerFunctions::handleKeyPress(CalculatorButton* button, bool, const std::string&) {
    if (button == nullptr) return;
    const std::string title = button->normalTitle();
    const std::string text = title == "𝑖" ? "%%" : title;
    MessagesExpandedViewControllerDelegate* screen = delegate.get();
    if (screen == nullptr) return;
    screen->restoreControlsAlpha();
    // The key may end this popover (a handler that changes the style); nothing of it is used after.
    const std::weak_ptr<void> alive = popoverLifetime_.weak();
    screen->handleKeyPressExpanded(nullptr, false, text);
    if (!alive.expired()) dismissViewController(false);
}

// Closing without a key: the screen's keys come back first.
void MessageExpandedViewControllerFunctions::restoreScreenAndDismiss() {
    MessagesExpandedViewControllerDelegate* screen = delegate.get();
    if (screen == nullptr) return;
    screen->restoreControlsAlpha();
    dismissViewController(false);
}

}  // namespace ostrelo
