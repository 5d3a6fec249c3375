#include "app/ViewControllerFunctions.h"

#include "platform/uikit/Application.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorView.h"

namespace ostrelo {

ViewControllerFunctions::ViewControllerFunctions() { declareOutlet("ostreloView", ostreloView); }

void ViewControllerFunctions::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    notification = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::willEnterForegroundNotification, nullptr,
        [this](const foundation::Notification&) {
            if (delegate() != nullptr) restoreMainScreenAndDismiss();
        });
    if (ostreloView != nullptr) ostreloView->setDelegate(this, screenLifetime_.weak());
}

void ViewControllerFunctions::viewDidAppear(bool animated) {
    uikit::ViewController::viewDidAppear(animated);
    shown = true;
}

void ViewControllerFunctions::viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) {
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
    if (shown) restoreMainScreenAndDismiss();
}

void ViewControllerFunctions::restoreMainScreenAndDismiss() {
    if (ViewControllerDelegate* screen = delegate()) screen->restoreControlsAlpha();
    dismissViewController(false);
}

void ViewControllerFunctions::handleKeyPress(CalculatorButton* button, bool, const std::string& key) {
    const std::string title = button != nullptr ? button->normalTitle() : key;
    if (title.empty()) return;
    ViewControllerDelegate* screen = delegate();
    if (screen == nullptr) return;
    screen->restoreControlsAlpha();
    const std::weak_ptr<void> alive = screenLifetime_.weak();
    screen->handleKeyPress(nullptr, false, title == "𝑖" ? "%%" : title);
    if (!alive.expired()) dismissViewController(false);
}

}  // namespace ostrelo
