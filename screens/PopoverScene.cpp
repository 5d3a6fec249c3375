#include "screens/PopoverScene.h"

#include "platform/foundation/Log.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/Storyboard.h"

namespace ostrelo {

namespace {

void logCannotShow(const std::string& identifier, const std::string& reason) {
    foundation::Log::error("the popover " + identifier + " cannot be shown: " + reason);
}

}  // namespace

std::unique_ptr<uikit::ViewController> PopoverScene::instantiate(const Placement& placement) {
    std::string error;
    auto storyboard = uikit::Storyboard::named(placement.storyboard, error);
    auto made = storyboard ? storyboard->instantiateViewController(placement.identifier, error) : nullptr;
    if (made == nullptr) logCannotShow(placement.identifier, error);
    return made;
}

void PopoverScene::logOfAnotherClass(const Placement& placement) {
    logCannotShow(placement.identifier, "its scene is of another class");
}

void PopoverScene::place(uikit::ViewController& popover, const Placement& placement,
                         uikit::PopoverPresentationControllerDelegate& delegate, std::weak_ptr<void> guard) {
    popover.modalPresentationStyle = uikit::ModalPresentationPopover;
    popover.preferredContentSize = placement.size;
    uikit::PopoverPresentationController& presentation = *popover.popoverPresentationController();
    presentation.sourceRect = placement.anchor;
    presentation.setDelegate(&delegate, std::move(guard));
    presentation.backgroundColor = placement.background;
    presentation.permittedArrowDirections = placement.arrow;
    presentation.setSourceView(placement.source);
}

}  // namespace ostrelo
