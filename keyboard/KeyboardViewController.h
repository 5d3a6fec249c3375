#pragma once

#include "engine/Calculator.h"
#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/uikit/InputViewController.h"
#include "platform/uikit/TraitCollection.h"
#include "screens/CalculatorScreen.h"
#include "screens/ScientificKeypadOutlets.h"
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
                               public ScientificKeypadOutlets,
                               public CalculatorViewTouchDelegate,
                               public CalculatorScreen {
public:
    // The model name decides the nib; by default the device's own.
    explicit KeyboardViewController(std::string modelName = defaultModelName());
    ~KeyboardViewController() override;

    // Outlets, filled by the nib; the keypad's are ScientificKeypadOutlets'.
    CalculatorButton* buttonDegRad = nullptr;
    CalculatorButton* buttonDecimalSeparator = nullptr;
    CalculatorButton* convertFrom = nullptr;
    CalculatorButton* convertTo = nullptr;
    CalculatorButton* buttonConvert = nullptr;
    CalculatorButton* buttonConvertTo = nullptr;
    CalculatorButton* buttonSend = nullptr;
    CalculatorButton* nextKeyboardButton = nullptr;
    CalculatorButton* buttonSpace = nullptr;
    CalculatorButton* buttonBackSpace = nullptr;
    CalculatorButton* buttonReturn = nullptr;

    Calculator calculator;
    // The keyboard's height, made once on the first layout with an input view.
    std::shared_ptr<uikit::LayoutConstraint> heightConstraint;
    // The observation of the host app's activation; it ends with the keyboard.
    foundation::NotificationCenter::Token notification;
    const std::shared_ptr<PulseLayer> pulse;
    bool enableClickSound = false;
    // Deletes while the delete key is held.
    std::shared_ptr<foundation::Timer> deleteButtonTimer;

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
    void declareOutlets();
    // False (logged) when the nib left a control unbound; the keyboard then stays inert.
    bool bindLinks();
    void stopDeleteRepeat();

    const std::string modelName_;
    std::string nibName_;
    ScreenLinks links_;
    // Declared last: expires first, before any member a pending call could reach.
    foundation::Lifetime screenLifetime_;
};

}  // namespace ostrelo
