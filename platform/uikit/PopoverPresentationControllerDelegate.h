#pragma once

#include "platform/uikit/Rect.h"
#include "platform/uikit/TraitCollection.h"

namespace uikit {

class PopoverPresentationController;
class View;

// Told about a popover's adaptation, dismissal by a tap outside it and repositioning.
class PopoverPresentationControllerDelegate {
public:
    virtual ~PopoverPresentationControllerDelegate() = default;
    // The presentation style to use in a compact-width environment; -1 (none) keeps the popover,
    // the default 0 shows it full screen.
    virtual int adaptivePresentationStyleForPresentationController(PopoverPresentationController&,
                                                                    const TraitCollection&) {
        return 0;
    }
    virtual bool popoverPresentationControllerShouldDismissPopover(PopoverPresentationController&) { return true; }
    virtual void popoverPresentationControllerDidDismissPopover(PopoverPresentationController&) {}
    // May rewrite the anchor rectangle and view when the layout changes.
    virtual void popoverPresentationControllerWillRepositionPopoverToRect(PopoverPresentationController&, Rect&,
                                                                          View*&) {}
};

}  // namespace uikit
