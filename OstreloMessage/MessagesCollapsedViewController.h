#pragma once

#include "OstreloMessage/MessagesCollapsedViewControllerDelegate.h"
#include "engine/Calculator.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/WeakLink.h"
#include "platform/uikit/Conversation.h"
#include "platform/uikit/ViewController.h"
#include "screens/CalculatorScreen.h"
#include "screens/ExtensionKeypadOutlets.h"
#include "ui/CalculatorViewTouchDelegate.h"

#include <memory>
#include <string>

namespace ostrelo {

class CalculatorButton;
class PulseLayer;

// The compact pad of the messaging extension: one display line, digits and operators, two
// currency keys that step through the currencies, a conversion key and the send key, which puts
// the result into the conversation and closes the interface. It re-reads the settings at every
// activation.
class MessagesCollapsedViewController : public uikit::ViewController,
                                        public ExtensionKeypadOutlets,
                                        public CalculatorViewTouchDelegate,
                                        public CalculatorScreen {
public:
    MessagesCollapsedViewController();
    ~MessagesCollapsedViewController() override;

    // Outlets, filled by the scene; the keypad's are ExtensionKeypadOutlets'.
    CalculatorButton* buttonDecimal = nullptr;
    CalculatorButton* buttonSend = nullptr;
    CalculatorButton* buttonConvert = nullptr;
    CalculatorButton* convertFrom = nullptr;
    CalculatorButton* convertTo = nullptr;

    Calculator calculator;
    // Where a sent text goes; set by the root.
    std::shared_ptr<uikit::Conversation> savedConversation;
    int fromCounter = 0;
    int toCounter = 0;
    // The observation of the app's activation; it ends with the screen.
    foundation::NotificationCenter::Token notification;
    // The root that shows this screen: not owned (the root owns this screen).
    foundation::WeakLink<MessagesCollapsedViewControllerDelegate> delegate;
    std::shared_ptr<PulseLayer> pulse;
    bool enableClickSound = false;

    // uikit::ViewController
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;
    void viewDidLayoutSubviews() override;
    void didMoveToParentViewController(uikit::ViewController* parent) override;

    // CalculatorViewTouchDelegate
    void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) override {
        handleKeyPressCollapsed(button, longPress, key);
    }
    void handleKeyPressCollapsed(CalculatorButton* button, bool longPress, const std::string& key);

    void primaryLabelTap();
    void secondaryLabelTap();
    void setupCollapsedViews();
    void loadCollapsedSettings();
    void updateCollapsedCalculatorLines();
    void setConvertFromTitle();
    void setConvertToTitle();
    void setConvertTitles();
    void refreshLayoutAndStatusBar();
    void updateCurrencyTitlesAndSave();
    void setConvertTitlesAndUpdateRates();

    // CalculatorScreen
    const ScreenLinks& links() const override { return links_; }
    void refreshDisplay() override { updateCollapsedCalculatorLines(); }
    // The send key's text: into the conversation (when there is one), then the root closes the
    // interface (when it is set).
    void deliver(const std::string& text) override;

private:
    void declareOutlets();
    // False (logged) when the scene left a control unbound; the screen then stays inert.
    bool bindLinks();
    void attachDisplayTap();
    void relayoutAfterSizeChange();

    ScreenLinks links_;
    bool displayTapAttached_ = false;
    // Declared last: expires first, before any member a pending call could reach.
    foundation::Lifetime screenLifetime_;
};

}  // namespace ostrelo
