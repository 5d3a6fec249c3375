#include "platform/host/HostController.h"

#include "platform/host/ApplicationDriver.h"

namespace host {

namespace {

// The root view of a host window: its controller places the views before they lay out.
class HostView : public uikit::View {
public:
    HostView(HostController& controller, std::weak_ptr<void> guard)
        : controller_(&controller, std::move(guard)) {}
    void layoutSubviews() override {
        uikit::View::layoutSubviews();
        if (auto* controller = controller_.get()) controller->layoutHostViews();
    }

private:
    foundation::WeakLink<HostController> controller_;
};

}  // namespace

void HostController::loadView() { setView(std::make_unique<HostView>(*this, alive())); }

void HostController::setDriver(ApplicationDriver* driver, std::weak_ptr<void> guard) {
    driver_ = foundation::WeakLink<ApplicationDriver>(driver, std::move(guard));
}

void HostController::requestWindowSize(uikit::Size size) {
    if (auto* driver = driver_.get()) driver->requestWindowSize(size);
}

void HostController::requestClose() {
    if (auto* driver = driver_.get()) driver->requestClose();
}

void HostController::showChild(uikit::ViewController& child, uikit::View& superview) {
    auto alive = child.alive();
    child.viewWillAppear(false);
    if (alive.expired()) return;
    child.moveViewInto(&superview);
    superview.setNeedsLayout();
    superview.layoutIfNeeded();
    if (!alive.expired()) child.viewDidAppear(false);
}

void HostController::hideChild(uikit::ViewController& child) {
    auto alive = child.alive();
    child.viewWillDisappear(false);
    if (alive.expired()) return;
    child.takeViewBack();
    child.viewDidDisappear(false);
}

}  // namespace host
