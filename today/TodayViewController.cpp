#include "today/TodayViewController.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/LayoutConstraint.h"
#include "screens/CurrencyKeys.h"
#include "screens/DisplayRefresh.h"
#include "screens/KeyHandler.h"
#include "screens/KeyTitle.h"
#include "screens/KeypadModes.h"
#include "screens/ScreenProfiles.h"
#include "screens/ScreenSetUp.h"
#include "screens/SettingsLoader.h"
#include "screens/StoreReload.h"
#include "today/WidgetOverlay.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorLabel.h"
#include "ui/CalculatorView.h"
#include "ui/PulseLayer.h"
#include "ui/Theme.h"

#include <utility>

namespace ostrelo {

namespace {

constexpr const char* appURL = "ostrelo://";
// The compact height the scene's display height is made for, and that height.
constexpr double designedCompactHeight = 110;
constexpr double designedLabelHeight = 78;
// What the expanded widget adds to its width for its height.
constexpr double expandedExtraHeight = 110;

}  // namespace

TodayViewController::TodayViewController() : pulse_(PulseLayer::make()) {
    applySavedTheme();
    loadTheme_ = true;
    controls_.declare(*this);
    links_ = ScreenLinks::forScreen(calculator_, enableClickSound_, pulse_.get(), *this, ScreenProfiles::widget(),
                                    screenLifetime_.weak());
    StoreReload{*this}.followRetries();
}

TodayViewController::~TodayViewController() = default;

// ---- Life cycle ---------------------------------------------------------------------------

void TodayViewController::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    if (!controls_.bind(links_, *this)) return;
    if (uikit::ExtensionContext* context = extensionContext())
        context->setWidgetLargestAvailableDisplayMode(uikit::WidgetDisplayModeExpanded);
    setupWidgetViews();
    setWidgetConvertTitlesAsync();
}

void TodayViewController::didReceiveMemoryWarning() { uikit::ViewController::didReceiveMemoryWarning(); }

void TodayViewController::setupWidgetViews() {
    // The display takes up what the host's compact height differs from the one it was made for.
    if (uikit::ExtensionContext* context = extensionContext()) {
        const double compactHeight = context->widgetMaximumSizeForDisplayMode(uikit::WidgetDisplayModeCompact).height;
        if (compactHeight != designedCompactHeight)
            if (auto constraint = controls_.labelHeight.lock())
                constraint->setConstant(compactHeight - designedCompactHeight + designedLabelHeight);
    }
    loadWidgetSettings();
    settingsJustLoaded_ = true;
    ScreenSetUp setUp{*this};
    setUp.prepareViews();
    setUp.attachDisplayTaps([this] { primaryLabelTap(); }, [this] { secondaryLabelTap(); });
    updateExtensionCalculatorLines();
    view()->layoutIfNeeded();
    if (calculator_.dateCalculator()) KeyTitle::set(controls_.buttonEqual, "𝑑");
}

void TodayViewController::loadWidgetSettings() {
    SettingsLoader{*this}.loadSettings();
    applyAppearanceToLines();
}

// The display lines' background style follows the system's appearance (the dark or the light
// clear one), not the widget's theme.
void TodayViewController::applyAppearanceToLines() {
    if (links_.keypad == nullptr) return;
    const bool dark = traitCollection().userInterfaceStyle == uikit::UserInterfaceStyle::dark;
    const auto background =
        dark ? CalculatorCalcLabel::LableBackgroundColor::emptydark : CalculatorCalcLabel::LableBackgroundColor::empty;
    for (CalculatorCalcLabel* line : {controls_.primaryCalculatorLine, controls_.secondaryCalculatorLine}) {
        line->myLableBackgroundColor = background;
        line->setNeedsLayout();
    }
}

void TodayViewController::traitCollectionDidChange(const uikit::TraitCollection* previous) {
    uikit::ViewController::traitCollectionDidChange(previous);
    if (previous != nullptr && previous->userInterfaceStyle == traitCollection().userInterfaceStyle) return;
    applyAppearanceToLines();
}

// ---- The widget protocol ------------------------------------------------------------------

void TodayViewController::widgetPerformUpdateWithCompletionHandler(UpdateCompletion completion) {
    refreshWidgetInBackground(completion);
}

// The panel stays open between showings: the settings (the theme with them) are read again at
// every update but the first, which follows the set-up's reading at once.
void TodayViewController::refreshWidgetInBackground(const UpdateCompletion& completion) {
    if (links_.keypad != nullptr) {
        calculator_.reloadFromSettings();
        if (!std::exchange(settingsJustLoaded_, false)) loadWidgetSettings();
        updateExtensionCalculatorLines();
        ScreenSetUp{*this}.updateRatesInBackground([this] { setWidgetConvertTitlesAsync(); });
        setWidgetConvertTitlesAsync();
    }
    if (completion) completion(uikit::WidgetUpdateResultNewData);
}

void TodayViewController::widgetActiveDisplayModeDidChange(int mode, uikit::Size maximumSize) {
    updateWidgetDisplayMode(mode, maximumSize);
}

void TodayViewController::updateWidgetDisplayMode(int mode, uikit::Size maximumSize) {
    if (links_.keypad == nullptr) return;
    if (mode == uikit::WidgetDisplayModeExpanded) {
        // The height follows the width: the pad stays as wide as it is high.
        preferredContentSize = {maximumSize.width, maximumSize.width + expandedExtraHeight};
        if (!controls_.convertFrom->hidden()) controls_.labelConvert->setHidden(false);
    } else if (mode == uikit::WidgetDisplayModeCompact) {
        if (showMemoryPopup_) closeMemoryOverlay();
        if (showFunctionsPopup_) closeWidgetOverlay();
        if (!controls_.convertFrom->hidden()) controls_.labelConvert->setHidden(true);
        preferredContentSize = maximumSize;
    }
}

void TodayViewController::viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) {
    ScreenSetUp{*this}.relayoutWithoutAnimation(coordinator, {});
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
}

// An open overlay follows the geometry: it is built again at every layout of the root view.
// Building adds views, which asks the root view for another layout; that one runs here at once
// without a further rebuild, so the pass ends with one overlay and nothing left to lay out.
void TodayViewController::viewDidLayoutSubviews() {
    if (rebuildingOverlay_ || (!showMemoryPopup_ && !showFunctionsPopup_)) return;
    rebuildingOverlay_ = true;
    if (showMemoryPopup_) {
        removeOverlayViews();
        showMemoryPopup_ = false;
        showMemoryOverlay();
    }
    if (showFunctionsPopup_) {
        removeOverlayViews();
        showFunctionsPopup_ = false;
        showFunctionsOverlay();
    }
    view()->layoutIfNeeded();
    rebuildingOverlay_ = false;
}

// ---- Display taps -------------------------------------------------------------------------

void TodayViewController::primaryLabelTap() { openAppURL(); }

void TodayViewController::secondaryLabelTap() { openAppURL(); }

void TodayViewController::openAppURL() {
    if (enableClickSound_) uikit::AudioServices::playSystemSound(uikit::AudioServices::keyClick);
    if (uikit::ExtensionContext* context = extensionContext()) context->openURL(appURL, {});
}

// ---- Keys and display ---------------------------------------------------------------------

void TodayViewController::handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) {
    handleWidgetKeyPress(button, longPress, key);
}

void TodayViewController::handleWidgetKeyPress(CalculatorButton* button, bool longPress, const std::string& key) {
    KeyHandler{*this}.handle(button, longPress, key);
}

// Before the shared rows: the function overlay's interest key starts a loan, and any key closes
// an open function overlay (its own keys too, while their touch is still being delivered).
bool TodayViewController::ownKey(CalculatorButton* key, std::string& text) {
    if (text == "𝑖" && key != nullptr && key->myButtonType == CalculatorButton::MyButtonType::nonDigitTopRight)
        text = "%%";
    if (showFunctionsPopup_) closeWidgetOverlay();
    return false;
}

bool TodayViewController::allows(LongPressRow::Condition condition) {
    if (condition == LongPressRow::Condition::functionOverlayClosed) return !showFunctionsPopup_;
    return CalculatorScreen::allows(condition);
}

void TodayViewController::updateExtensionCalculatorLines() { DisplayRefresh{*this}.updateExtensionCalculatorLines(); }

void TodayViewController::refreshDisplay() { updateExtensionCalculatorLines(); }

void TodayViewController::updateKeypadMode() { KeypadModes{*this}.updateKeypadMode(); }

void TodayViewController::showKeypad(bool currency) {
    if (currency) switchToCurrencyKeypad();
    else switchToStandardKeypad();
}

// The currency keys and the conversion label.
void TodayViewController::showCurrencyControls(bool shown) {
    for (uikit::View* view : std::initializer_list<uikit::View*>{controls_.convertTo, controls_.convertFrom,
                                                                  controls_.labelConvert})
        view->setHidden(!shown);
}

void TodayViewController::switchToStandardKeypad() {
    KeyTitle::set(controls_.buttonFunctions, "ƒ(x)");
    KeyTitle::set(controls_.buttonEqual, "=");
    showCurrencyControls(false);
    controls_.buttonParenthesisOpen->setHidden(false);
    controls_.buttonParenthesisClose->setHidden(false);
}

void TodayViewController::switchToCurrencyKeypad() {
    showCurrencyControls(true);
    controls_.buttonParenthesisOpen->setHidden(true);
    controls_.buttonParenthesisClose->setHidden(true);
    KeyTitle::set(controls_.buttonFunctions, "⏎");
    KeyTitle::set(controls_.buttonEqual, "⇨");
}

void TodayViewController::setWidgetConvertTitles() { CurrencyKeys{*this}.setConvertTitles(); }

void TodayViewController::setWidgetConvertTitlesAsync() {
    foundation::DispatchQueue::main().asyncAfter(0, [this] { setWidgetConvertTitles(); }, screenLifetime_.weak());
}

void TodayViewController::restoreWidgetKeyAlpha() { setKeysAlpha(1.0); }

// No ring while the function overlay is open: it would show beside the overlay's keys.
void TodayViewController::widgetKeyPressFeedback(CalculatorButton& key) {
    if (showFunctionsPopup_) uikit::AudioServices::playAlertSound(uikit::AudioServices::vibrate);
    else keyPressFeedback(key);
}

void TodayViewController::longPressFeedback(CalculatorButton& key) { widgetKeyPressFeedback(key); }

// ---- Overlays -----------------------------------------------------------------------------

void TodayViewController::openPanel(ScreenPanel panel) {
    if (panel == ScreenPanel::memory) showMemoryOverlay();
    else if (panel == ScreenPanel::functions) showFunctionsOverlay();
}

uikit::Rect TodayViewController::overlayAnchor() {
    const uikit::Rect frame = controls_.buttonsMemoryClear->untransformedFrame();
    const uikit::View* pad = controls_.buttonsMemoryClear->superview();
    return pad != nullptr ? pad->convertRect(frame, view()) : frame;
}

void TodayViewController::showFunctionsOverlay() {
    if (links_.keypad == nullptr) return;
    closeOpenOverlay();
    setKeysAlpha(dimmedAlpha);
    WidgetOverlay overlay = WidgetOverlay::functions(overlayAnchor(), view()->bounds().size);
    const std::weak_ptr<void> guard = screenLifetime_.weak();
    overlay.background->addTarget(
        this, [this](uikit::Control& sender) { buttonBackgroundAction(static_cast<uikit::Button&>(sender)); },
        uikit::ControlEventTouchUpInside, guard);
    overlay.panel->setDelegate(this, guard);
    addOverlay(std::move(overlay));
    showFunctionsPopup_ = true;
}

void TodayViewController::showMemoryOverlay() {
    if (links_.keypad == nullptr) return;
    closeOpenOverlay();
    WidgetOverlay overlay =
        WidgetOverlay::memory(overlayAnchor(), view()->bounds().size, calculator_.memoryPrimaryString());
    overlay.background->addTarget(
        this, [this](uikit::Control& sender) { buttonMemoryBackgroundAction(static_cast<uikit::Button&>(sender)); },
        uikit::ControlEventTouchUpInside, screenLifetime_.weak());
    addOverlay(std::move(overlay));
    showMemoryPopup_ = true;
}

// Both overlays keep their views in the same three properties: one opened over another would
// leave the first on screen, its background swallowing every tap on the pad for good.
void TodayViewController::closeOpenOverlay() {
    if (showMemoryPopup_) closeMemoryOverlay();
    if (showFunctionsPopup_) closeWidgetOverlay();
}

void TodayViewController::addOverlay(WidgetOverlay overlay) {
    functionBackgroundButton_ = view()->add(std::move(overlay.background));
    triangleView_ = view()->add(std::move(overlay.pointer));
    functionView_ = view()->add(std::move(overlay.panel));
}

void TodayViewController::removeOverlayViews() {
    std::vector<std::unique_ptr<uikit::View>> removed;
    for (uikit::View* overlayView : {static_cast<uikit::View*>(functionBackgroundButton_), triangleView_,
                                     static_cast<uikit::View*>(functionView_)})
        if (overlayView != nullptr)
            if (auto taken = overlayView->removeFromSuperview()) removed.push_back(std::move(taken));
    // The views closed before these are let go; these stay until the next overlay is closed.
    if (!removed.empty()) closedOverlay_ = std::move(removed);
}

void TodayViewController::closeWidgetOverlay() {
    removeOverlayViews();
    showFunctionsPopup_ = false;
    restoreWidgetKeyAlpha();
}

void TodayViewController::closeMemoryOverlay() {
    removeOverlayViews();
    showMemoryPopup_ = false;
}

void TodayViewController::buttonBackgroundAction(uikit::Button&) { closeWidgetOverlay(); }

void TodayViewController::buttonMemoryBackgroundAction(uikit::Button&) { closeMemoryOverlay(); }

}  // namespace ostrelo
