#pragma once

#include "app/ViewControllerDelegate.h"
#include "engine/Calculator.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/uikit/Color.h"
#include "platform/uikit/PopoverPresentationControllerDelegate.h"
#include "platform/uikit/ViewController.h"
#include "screens/CalculatorScreen.h"
#include "screens/CurrencyPickerSource.h"
#include "screens/PopoverScene.h"
#include "screens/ScreenControls.h"
#include "ui/CalculatorViewTouchDelegate.h"

#include <memory>
#include <optional>
#include <string>

namespace ostrelo {

class CalculatorButton;
class PulseLayer;

// The app's calculator screen, the initial scene of the storyboard "Main". It owns the screen's
// calculator, hands key presses to the shared key handler, keeps the display current, chooses
// the keypad layout, lets the two currency pickers choose the conversion, copies the display
// on a tap and re-reads the settings at every activation of the app. It presents the Memory,
// Functions and Settings screens as popovers over its keypad.
class ViewController : public uikit::ViewController,
                       public CalculatorViewTouchDelegate,
                       public uikit::PopoverPresentationControllerDelegate,
                       public ViewControllerDelegate,
                       public CalculatorScreen {
public:
    ViewController();
    ~ViewController() override;

    // The scene's controls, by their outlet names.
    const ScreenControls& controls() const { return controls_; }
    Calculator& calculator() { return calculator_; }
    bool enableClickSound() const { return enableClickSound_; }

    // uikit::ViewController
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    bool prefersStatusBarHidden() override;
    int preferredStatusBarStyle() override;
    unsigned supportedInterfaceOrientations() override { return 30; }
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;
    bool canBecomeFirstResponder() const override { return true; }
    void pressesBegan(const uikit::PressSet& presses, const uikit::Event* event) override;
    void updateUserActivityState(foundation::UserActivity& activity) override;
    void restoreUserActivityState(const foundation::UserActivity& activity) override;

    // The key handler and the display.
    void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) override;
    void updateCalculatorLines() override;
    void updateKeypadMode();
    void showStandardKeypad();
    void showCurrencyKeypad();
    void loadSettings();
    void setupViews();
    // The rate check in the background (a download when the stored rates are not of today),
    // at the screen's load and at every activation; the pickers follow what it stored.
    void updateRates();
    void primaryLabelTap();
    void secondaryLabelTap();

    // Popovers. The Functions and Settings screens dim the pickers and every key but the
    // `setup` ones to 0.6 while they are up.
    void showMemoryPopover();
    void showFunctionsPopover();
    void showSettingsPopover();
    void restoreControlsAlpha() override;
    // uikit::PopoverPresentationControllerDelegate: popovers stay popovers in every size class;
    // a tap outside one restores the dimmed controls; the anchors follow the keys.
    int adaptivePresentationStyleForPresentationController(uikit::PopoverPresentationController& popover,
                                                           const uikit::TraitCollection& traits) override;
    void popoverPresentationControllerDidDismissPopover(uikit::PopoverPresentationController& popover) override;
    void popoverPresentationControllerWillRepositionPopoverToRect(uikit::PopoverPresentationController& popover,
                                                                  uikit::Rect& rect, uikit::View*& view) override;

    // ViewControllerDelegate (what the popovers ask of this screen).
    Calculator& screenCalculator() override { return calculator_; }
    void relayoutViews() override { CalculatorScreen::relayoutViews(); }
    void setClickSound(bool enabled) override { enableClickSound_ = enabled; }
    void replaceCalculator() override;

    // Handoff and quick actions.
    void startHandoffActivity();
    // Names of the quick actions (their types are the bundle identifier, a dot and the name).
    static constexpr const char* copyResultAction = "copyResult";
    static constexpr const char* copyExpressionAction = "copyExpression";
    static constexpr const char* pasteCalculationAction = "pasteCalculation";
    // False when the action was not carried out: a paste of a number too large to calculate
    // with (nothing is pasted).
    bool performActivityType(const std::string& type);

    // CalculatorScreen
    const ScreenLinks& links() const override { return links_; }
    void refreshDisplay() override;
    void calculationStored() override;
    bool allows(LongPressRow::Condition condition) override;
    void showKeypad(bool currency) override;
    void openPanel(ScreenPanel panel) override;

private:
    bool compactWidthRegularHeight();
    void relayoutForSize();
    void showParenthesisKeys();
    void attachDisplayTaps();
    void setControlsAlpha(double alpha);
    // The scene placed as a T; none while another popover is up, and (logged) when the scene
    // cannot be made.
    template <class T>
    std::unique_ptr<T> makePopover(const PopoverScene::Placement& placement);

    ScreenControls controls_{ScreenControls::Kind::app};
    std::shared_ptr<PulseLayer> pulse_;
    // Observations of the app's activation and of its entering the background; they end
    // with the screen.
    foundation::NotificationCenter::Token notification_;
    foundation::NotificationCenter::Token notificationBackground_;
    std::optional<uikit::Color> buttonDigitBackgroundColor_;
    std::optional<uikit::Color> buttonFunctionsBackgroundColor_;
    bool loadTheme_ = false;
    // The calculator lives in place: a reset makes the new one where the old one was, after the
    // old one's last try at the store, so `calculator_` and the links name the new one.
    std::optional<Calculator> calculatorSlot_{std::in_place};
    Calculator& calculator_ = *calculatorSlot_;
    bool enableClickSound_ = false;
    CurrencyPickerSource pickerSource_{*this};
    ScreenLinks links_;
    bool displayTapsAttached_ = false;
    // The activity's records of the lines, kept from one save to the next.
    KeptLineTexts handoffLines_;
    // Declared last: expires first, before any member a pending call could reach.
    foundation::Lifetime screenLifetime_;
};

}  // namespace ostrelo
