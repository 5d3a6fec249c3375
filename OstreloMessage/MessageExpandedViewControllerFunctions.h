#pragma once

#include "OstreloMessage/MessagesExpandedViewControllerDelegate.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/WeakLink.h"
#include "platform/uikit/ViewController.h"
#include "ui/CalculatorViewTouchDelegate.h"

#include <memory>
#include <string>

namespace ostrelo {

class CalculatorView;
class PulseLayer;

// The expanded calculator's popover of scientific keys. A key hands its title to the
// calculator's key handler ("𝑖" as "%%", the start of a loan) and closes the popover: one key per
// opening. The popover also closes when the app returns to the foreground and when the size
// changes after it appeared; every way of closing gives the calculator's keys their opacity back.
class MessageExpandedViewControllerFunctions : public uikit::ViewController, public CalculatorViewTouchDelegate {
public:
    MessageExpandedViewControllerFunctions();
    ~MessageExpandedViewControllerFunctions() override;

    // The expanded calculator that presents this popover: not owned (it owns the popover).
    foundation::WeakLink<MessagesExpandedViewControllerDelegate> delegate;
    CalculatorView* ostreloView = nullptr;
    bool shown = false;
    bool enableClickSound = false;
    std::shared_ptr<PulseLayer> pulse;
    // The observation of the app's return to the foreground; it ends with the popover.
    foundation::NotificationCenter::Token notification;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;
    // A long press acts as a tap.
    void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) override;

private:
    void restoreScreenAndDismiss();

    // Declared last: expires first, before any member a pending call could reach.
    foundation::Lifetime popoverLifetime_;
};

}  // namespace ostrelo
