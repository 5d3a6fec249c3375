#pragma once

#include "OstreloMessage/MessagesCollapsedViewControllerDelegate.h"
#include "engine/Calculator.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/WeakLink.h"
#include "platform/uikit/Conversation.h"
#include "platform/uikit/ViewController.h"
#include "screens/CalculatorScreen.h"
#include "screens/ScreenControls.h"
#include "ui/CalculatorViewTouchDelegate.h"

#include <memory>
#include <string>
#include <utility>

namespace ostrelo {

class CalculatorButton;
class PulseLayer;

// The compact pad of the messaging extension: one display line, digits and operators, two
// currency keys that step through the currencies, a conversion key and the send key, which puts
// the result into the conversation and closes the interface. It re-reads the settings at every
// activation.
class MessagesCollapsedViewController : public uikit::ViewController,
                                        public CalculatorViewTouchDelegate,
                                        public CalculatorScreen {
public:
    MessagesCollapsedViewController();
    ~MessagesCollapsedViewController() override;

    // The scene's controls, by their outlet names.
    const ScreenControls& controls() const { return controls_; }
    Calculator& calculator() { return calculator_; }
    // Where a sent text goes; set by the root.
    const std::shared_ptr<uikit::Conversation>& savedConversation() const { return savedConversation_; }
    void setSavedConversation(std::shared_ptr<uikit::Conversation> conversation) {
        savedConversation_ = std::move(conversation);
    }
    // The root that shows this screen: not owned (the root owns this screen), none once `guard`
    // has expired.
    MessagesCollapsedViewControllerDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(MessagesCollapsedViewControllerDelegate* root, std::weak_ptr<void> guard) {
        delegate_ = {root, std::move(guard)};
    }

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
    void attachDisplayTap();
    void relayoutAfterSizeChange();

    ScreenControls controls_{ScreenControls::Kind::messagesCompact};
    Calculator calculator_;
    std::shared_ptr<uikit::Conversation> savedConversation_;
    [[maybe_unused]] int fromCounter_ = 0;
    [[maybe_unused]] int toCounter_ = 0;
    // The observation of the app's activation; it ends with the screen.
    foundation::NotificationCenter::Token notification_;
    foundation::WeakLink<MessagesCollapsedViewControllerDelegate> delegate_;
    std::shared_ptr<PulseLayer> pulse_;
    bool enableClickSound_ = false;
    ScreenLinks links_;
    bool displayTapAttached_ = false;
    // Declared last: expires first, before any member a pending call could reach.
    foundation::Lifetime screenLifetime_;
};

}  // namespace ostrelo
