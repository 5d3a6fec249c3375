#pragma once

#include "OstreloMessage/MessagesExpandedViewControllerDelegate.h"
#include "engine/Calculator.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/uikit/Conversation.h"
#include "platform/uikit/PopoverPresentationControllerDelegate.h"
#include "platform/uikit/ViewController.h"
#include "screens/CalculatorScreen.h"
#include "screens/CurrencyPickerSource.h"
#include "screens/ScreenControls.h"
#include "ui/CalculatorViewTouchDelegate.h"

#include <memory>
#include <string>
#include <utility>

namespace uikit {
class GestureRecognizer;
}

namespace ostrelo {

class CalculatorButton;
class PulseLayer;

// The messaging extension's full calculator, shown in every style but the compact one: the
// app's keypad, two display lines, the currency pickers and keypad, and the Functions and
// Memory popovers. It sends nothing into the conversation: results go to the display and the
// pasteboard. It re-reads the settings at load, at every appearance and at every activation.
class MessagesExpandedViewController : public uikit::ViewController,
                                       public CalculatorViewTouchDelegate,
                                       public MessagesExpandedViewControllerDelegate,
                                       public uikit::PopoverPresentationControllerDelegate,
                                       public CalculatorScreen {
public:
    MessagesExpandedViewController();
    ~MessagesExpandedViewController() override;

    // The scene's controls, by their outlet names.
    const ScreenControls& controls() const { return controls_; }
    Calculator& calculator() { return calculator_; }
    // Kept as the root hands it over; this screen sends nothing.
    const std::shared_ptr<uikit::Conversation>& savedConversation() const { return savedConversation_; }
    void setSavedConversation(std::shared_ptr<uikit::Conversation> conversation) {
        savedConversation_ = std::move(conversation);
    }

    // uikit::ViewController
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidLayoutSubviews() override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;
    void didMoveToParentViewController(uikit::ViewController* parent) override;

    // CalculatorViewTouchDelegate, MessagesExpandedViewControllerDelegate
    void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) override {
        handleKeyPressExpanded(button, longPress, key);
    }
    void handleKeyPressExpanded(CalculatorButton* button, bool longPress, const std::string& key) override;
    // Every key of the keypad but the setup keys at full opacity again.
    void restoreControlsAlpha() override;

    void setupExpandedViews();
    void loadExpandedSettings();
    void relayoutExpandedForSize();
    void updateRatesInBackground();
    void updateExtensionCalculatorLines();
    void updateKeypadMode();
    void showStandardKeypad();
    void showCurrencyKeypad();
    void primaryLabelTap();
    void secondaryLabelTap();

    // Currency pickers.
    void longPress(const uikit::GestureRecognizer& recognizer);

    // Popovers.
    void presentMemoryPopover();
    void presentFunctionsPopover();
    int adaptivePresentationStyleForPresentationController(uikit::PopoverPresentationController&,
                                                           const uikit::TraitCollection&) override;
    void popoverPresentationControllerDidDismissPopover(uikit::PopoverPresentationController&) override;
    void popoverPresentationControllerWillRepositionPopoverToRect(uikit::PopoverPresentationController& popover,
                                                                  uikit::Rect& rect, uikit::View*& view) override;

    // CalculatorScreen
    const ScreenLinks& links() const override { return links_; }
    void refreshDisplay() override { updateExtensionCalculatorLines(); }
    void showKeypad(bool currency) override;
    void openPanel(ScreenPanel panel) override;

private:
    void attachDisplayTaps();
    bool compactWidthRegularHeight();

    ScreenControls controls_{ScreenControls::Kind::messagesExpanded};
    Calculator calculator_;
    std::shared_ptr<uikit::Conversation> savedConversation_;
    // The observation of the app's activation; it ends with the screen.
    foundation::NotificationCenter::Token notification_;
    [[maybe_unused]] int fromCounter_ = 0;
    [[maybe_unused]] int toCounter_ = 0;
    std::shared_ptr<PulseLayer> pulse_;
    bool enableClickSound_ = false;
    CurrencyPickerSource pickerSource_{*this};
    ScreenLinks links_;
    bool displayTapsAttached_ = false;
    // Declared last: expires first, before any member a pending call could reach.
    foundation::Lifetime screenLifetime_;
};

}  // namespace ostrelo
