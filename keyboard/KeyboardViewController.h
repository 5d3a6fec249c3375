#pragma once

#include "engine/Calculator.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/uikit/InputViewController.h"
#include "platform/uikit/TraitCollection.h"
#include "screens/CalculatorScreen.h"
#include "screens/ScreenControls.h"
#include "ui/CalculatorViewTouchDelegate.h"

#include <memory>
#include <string>

namespace foundation {
class Timer;
}

namespace uikit {
class GestureRecognizer;
class LayoutConstraint;
}  // namespace uikit

namespace ostrelo {

class CalculatorButton;
class PulseLayer;

// The calculator as a keyboard: the keypad of the nib for its device pinned into the input
// view at the height of its idiom and orientation, the next-keyboard key, the delete key with
// its repeat while held, and the shared key handling that types results and text into the
// host's document. It re-reads the shared settings whenever the host app becomes active.
class KeyboardViewController : public uikit::InputViewController,
                               public CalculatorViewTouchDelegate,
                               public CalculatorScreen {
public:
    // The model name decides the nib; by default the device's own.
    explicit KeyboardViewController(std::string modelName = defaultModelName());
    ~KeyboardViewController() override;

    // The nib's controls, by their outlet names.
    const ScreenControls& controls() const { return controls_; }
    Calculator& calculator() { return calculator_; }
    // The keyboard's height, made once on the first layout with an input view.
    const std::shared_ptr<uikit::LayoutConstraint>& heightConstraint() const { return heightConstraint_; }
    // Deletes while the delete key is held.
    const std::shared_ptr<foundation::Timer>& deleteButtonTimer() const { return deleteButtonTimer_; }

    // The nib of a device: "Keyboard X" for the phones without a home button (and their
    // simulators), "Keyboard" for every other device.
    static std::string nibNameForModel(const std::string& modelName);
    // The keyboard's height in points for an idiom and a screen: lying when the screen is wider
    // than high.
    static double keyboardHeight(uikit::UserInterfaceIdiom idiom, uikit::Size screen);
    static std::string defaultModelName();
    // The nib loaded, once the view is.
    const std::string& nibName() const { return nibName_; }

    // uikit::ViewController
    void viewDidLoad() override;
    void updateViewConstraints() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;

    // The keypad's keys.
    void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) override;
    void handleKeyboardKeyPress(CalculatorButton* button, bool longPress, const std::string& key);
    void refreshKeyTitles();

    // The delete key: a tap deletes once; held, it deletes every 0.1 s until the press ends in
    // any way, the keyboard disappears or goes away.
    void buttonBackspacePressed();
    void handleLongPressForDeleteButtonWithGestureRecognizer(uikit::GestureRecognizer& recognizer);
    void handleDeleteButtonTimerTick();

    void keyboardSetupView();
    void setupKeyboardViews();
    void loadKeyboardSettings();
    void updateKeyboardHeight();
    void keyboardViewDidAppear(bool animated);
    void keyboardLayoutSubviews();

    // CalculatorScreen
    const ScreenLinks& links() const override { return links_; }
    void refreshDisplay() override;
    bool ownKey(CalculatorButton* key, std::string& text) override;
    void deliver(const std::string& text) override;

private:
    void stopDeleteRepeat();

    ScreenControls controls_{ScreenControls::Kind::keyboard};
    Calculator calculator_;
    std::shared_ptr<uikit::LayoutConstraint> heightConstraint_;
    // The observation of the host app's activation; it ends with the keyboard.
    foundation::NotificationCenter::Token notification_;
    const std::shared_ptr<PulseLayer> pulse_;
    bool enableClickSound_ = false;
    std::shared_ptr<foundation::Timer> deleteButtonTimer_;
    const std::string modelName_;
    std::string nibName_;
    ScreenLinks links_;
    // Declared last: expires first, before any member a pending call could reach.
    foundation::Lifetime screenLifetime_;
};

}  // namespace ostrelo
