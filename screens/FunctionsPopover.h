#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/WeakLink.h"
#include "platform/uikit/ViewController.h"
#include "screens/FunctionsPopoverDelegate.h"
#include "ui/CalculatorViewTouchDelegate.h"

#include <memory>
#include <string>

namespace ostrelo {

class CalculatorView;

// The Functions popover of a calculator screen: a keypad of scientific keys. One key per
// opening: the key's title goes to the presenting screen's key handler ("𝑖" as the loan start
// "%%"), the dimmed controls come back and the popover closes. It also closes, restoring them,
// when the app returns to the foreground and when the screen's size changes after it appeared.
// The app's and the expanded messages screen's scenes make it under their own class names.
class FunctionsPopover : public uikit::ViewController, public CalculatorViewTouchDelegate {
public:
    FunctionsPopover();

    // The presenting screen; not owned (it owns the popover), read as none once `guard` has
    // expired.
    FunctionsPopoverDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(FunctionsPopoverDelegate* delegate, std::weak_ptr<void> guard) {
        delegate_ = {delegate, std::move(guard)};
    }

    CalculatorView* ostreloView = nullptr;
    bool shown = false;
    // The observation of the app's return to the foreground; it ends with the popover.
    foundation::NotificationCenter::Token notification;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;

    // CalculatorViewTouchDelegate: a long press counts as a tap.
    void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) override;
    // The presenting screen's controls back (when it is set), then the popover closes.
    void restoreMainScreenAndDismiss();

private:
    foundation::WeakLink<FunctionsPopoverDelegate> delegate_;
    // Declared last: expires first.
    foundation::Lifetime popoverLifetime_;
};

}  // namespace ostrelo
