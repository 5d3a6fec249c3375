#pragma once

#include "app/ViewControllerDelegate.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/WeakLink.h"
#include "platform/uikit/ViewController.h"
#include "ui/CalculatorViewTouchDelegate.h"

#include <string>

namespace ostrelo {

class CalculatorView;

// The Functions popover: a keypad of scientific keys. One key per opening: the key's title
// goes to the presenting screen's key handler ("𝑖" as the loan start "%%"), the dimmed
// controls come back and the popover closes. It also closes, restoring them, when the app
// returns to the foreground and when the screen's size changes after it appeared.
class ViewControllerFunctions : public uikit::ViewController, public CalculatorViewTouchDelegate {
public:
    ViewControllerFunctions();

    // The presenting screen; not owned, read as none once `guard` has expired.
    ViewControllerDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(ViewControllerDelegate* delegate, std::weak_ptr<void> guard) {
        delegate_ = {delegate, std::move(guard)};
    }

    CalculatorView* ostreloView = nullptr;
    bool shown = false;
    foundation::NotificationCenter::Token notification;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;

    // CalculatorViewTouchDelegate: a long press counts as a tap.
    void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) override;
    void restoreMainScreenAndDismiss();

private:
    foundation::WeakLink<ViewControllerDelegate> delegate_;
    // Declared last: expires first.
    foundation::Lifetime screenLifetime_;
};

}  // namespace ostrelo
