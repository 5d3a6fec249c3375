#pragma once

#include "engine/Calculator.h"
#include "platform/foundation/Lifetime.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/WidgetProviding.h"
#include "screens/CalculatorScreen.h"
#include "screens/ScreenControls.h"
#include "ui/CalculatorViewTouchDelegate.h"

#include <memory>
#include <string>
#include <vector>

namespace uikit {
class Button;
class LayoutConstraint;
}  // namespace uikit

namespace ostrelo {

class CalculatorButton;
class CalculatorView;
class PulseLayer;
struct WidgetOverlay;

// The widget: a small calculator in a panel, compact (the display and a strip of keys) or
// expanded (the whole pad). It owns its calculator, hands every key to the shared key handler,
// reloads the calculation and the settings from the shared store at each update request of its
// host (when its panel is shown and every minute while it is), opens the app through
// "ostrelo://" when a display line is tapped, and lays the scientific keys and the memory value
// over its pad in overlays of its own.
class TodayViewController : public uikit::ViewController,
                            public uikit::WidgetProviding,
                            public CalculatorViewTouchDelegate,
                            public CalculatorScreen {
public:
    TodayViewController();
    ~TodayViewController() override;

    // The scene's controls, by their outlet names.
    const ScreenControls& controls() const { return controls_; }
    Calculator& calculator() { return calculator_; }
    // The open overlay: its background button and its panel (null while none is open), and
    // which overlay it is.
    uikit::Button* functionBackgroundButton() const { return functionBackgroundButton_; }
    CalculatorView* functionView() const { return functionView_; }
    bool showMemoryPopup() const { return showMemoryPopup_; }
    bool showFunctionsPopup() const { return showFunctionsPopup_; }

    // uikit::ViewController
    void viewDidLoad() override;
    void didReceiveMemoryWarning() override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;
    void viewDidLayoutSubviews() override;
    void traitCollectionDidChange(const uikit::TraitCollection* previous) override;

    // uikit::WidgetProviding
    void widgetPerformUpdateWithCompletionHandler(UpdateCompletion completion) override;
    void widgetActiveDisplayModeDidChange(int mode, uikit::Size maximumSize) override;
    // The update: the calculation and the settings from the store, the display, then the
    // rates in the background; the completion hears of new data at once.
    void refreshWidgetInBackground(const UpdateCompletion& completion);
    void updateWidgetDisplayMode(int mode, uikit::Size maximumSize);

    // Set-up, once per controller.
    void setupWidgetViews();
    void loadWidgetSettings();

    // Keys and display.
    void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) override;
    void handleWidgetKeyPress(CalculatorButton* button, bool longPress, const std::string& key);
    void updateExtensionCalculatorLines();
    void updateKeypadMode();
    void switchToStandardKeypad();
    void switchToCurrencyKeypad();
    void setWidgetConvertTitles();
    void setWidgetConvertTitlesAsync();
    void restoreWidgetKeyAlpha();
    void widgetKeyPressFeedback(CalculatorButton& key);
    // Both display lines open the app.
    void primaryLabelTap();
    void secondaryLabelTap();

    // Overlays. Opening either first closes an open one, so at most one is shown.
    void showFunctionsOverlay();
    void showMemoryOverlay();
    void closeWidgetOverlay();
    void closeMemoryOverlay();
    void buttonBackgroundAction(uikit::Button& sender);
    void buttonMemoryBackgroundAction(uikit::Button& sender);

    // CalculatorScreen
    const ScreenLinks& links() const override { return links_; }
    void refreshDisplay() override;
    void reloadSettings() override { loadWidgetSettings(); }
    void longPressFeedback(CalculatorButton& key) override;
    bool allows(LongPressRow::Condition condition) override;
    bool ownKey(CalculatorButton* key, std::string& text) override;
    void showKeypad(bool currency) override;
    void openPanel(ScreenPanel panel) override;

private:
    void applyAppearanceToLines();
    void showCurrencyControls(bool shown);
    void openAppURL();
    // Takes the open overlay's views out of the root view into `closedOverlay_`.
    void removeOverlayViews();
    void closeOpenOverlay();
    void addOverlay(WidgetOverlay overlay);
    // The memory-clear key's frame in the root view, the place of both overlays.
    uikit::Rect overlayAnchor();

    ScreenControls controls_{ScreenControls::Kind::widget};
    const std::shared_ptr<PulseLayer> pulse_;
    bool loadTheme_ = false;
    Calculator calculator_;
    bool enableClickSound_ = false;
    // Set by the set-up's reading of the settings until the first update request.
    bool settingsJustLoaded_ = false;
    // The three views of the open overlay, held by the root view; once it is closed, the views
    // stay here (owned) until the next opening replaces them, since a key of the function
    // overlay closes it while its own touch is still being delivered.
    uikit::Button* functionBackgroundButton_ = nullptr;
    CalculatorView* functionView_ = nullptr;
    uikit::View* triangleView_ = nullptr;
    bool showMemoryPopup_ = false;
    bool showFunctionsPopup_ = false;
    ScreenLinks links_;
    std::vector<std::unique_ptr<uikit::View>> closedOverlay_;
    bool rebuildingOverlay_ = false;
    // Declared last: expires first, before any member a pending call could reach.
    foundation::Lifetime screenLifetime_;
};

}  // namespace ostrelo
