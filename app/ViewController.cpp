#include "app/ViewController.h"

#include "app/HandoffCalculation.h"
#include "app/HardwareKeyMap.h"
#include "app/ViewControllerFunctions.h"
#include "app/ViewControllerMemory.h"
#include "app/ViewControllerSettings.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserActivity.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/Pasteboard.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "screens/AppIdentity.h"
#include "screens/CurrencyPickers.h"
#include "screens/DisplayRefresh.h"
#include "screens/KeyHandler.h"
#include "screens/KeyTitle.h"
#include "screens/KeypadModes.h"
#include "screens/ScreenProfiles.h"
#include "screens/ScreenSetUp.h"
#include "screens/SettingsLoader.h"
#include "screens/StoreReload.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorLabel.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorScrollView.h"
#include "ui/CalculatorView.h"
#include "ui/PulseLayer.h"
#include "ui/Theme.h"

namespace ostrelo {

namespace {
constexpr const char* popoverStoryboard = "Main";
}  // namespace

ViewController::ViewController() : pulse_(PulseLayer::make()) {
    applySavedTheme();
    loadTheme_ = true;
    controls_.declare(*this);
    links_ = ScreenLinks::forScreen(calculator_, enableClickSound_, pulse_.get(), *this, ScreenProfiles::main(),
                                    screenLifetime_.weak());
    StoreReload{*this}.followRetries();
}

ViewController::~ViewController() = default;

// ---- Start-up and lifecycle ---------------------------------------------------------------

void ViewController::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    if (!controls_.bind(links_, *this)) return;
    buttonDigitBackgroundColor_ = controls_.buttonZero->backgroundColor();
    buttonFunctionsBackgroundColor_ = controls_.buttonFunctions->backgroundColor();
    startHandoffActivity();
    pickerSource_.setupPickers();
    controls_.convertFromPicker->selectRow(static_cast<int>(calculator_.from()), 0, false);
    controls_.convertToPicker->selectRow(static_cast<int>(calculator_.to()), 0, false);
    setupViews();
    pickerSource_.restorePickerSelectionAsync();
    auto& center = foundation::NotificationCenter::defaultCenter();
    notification_ = center.addObserver(uikit::Application::didBecomeActiveNotification, nullptr,
                                      [this](const foundation::Notification&) {
                                          setupViews();
                                          updateRates();
                                      });
    notificationBackground_ = center.addObserver(uikit::Application::didEnterBackgroundNotification, nullptr,
                                                [this](const foundation::Notification&) { showParenthesisKeys(); });
    CurrencyPickers{*this}.attachLongPress();
    updateRates();
}

void ViewController::updateRates() {
    ScreenSetUp{*this}.updateRatesInBackground([this] { pickerSource_.restorePickerSelectionAsync(); });
}

void ViewController::viewDidAppear(bool animated) {
    uikit::ViewController::viewDidAppear(animated);
    if (links_.keypad == nullptr) return;
    controls_.convertFromPicker->selectRow(static_cast<int>(calculator_.from()), 0, false);
    controls_.convertToPicker->selectRow(static_cast<int>(calculator_.to()), 0, false);
    updateCalculatorLines();
}

bool ViewController::prefersStatusBarHidden() {
    return SharedSettings::open()->boolForKey(SharedSettings::hideStatusBar);
}

int ViewController::preferredStatusBarStyle() { return themeStatusBarStyle(); }

void ViewController::setupViews() {
    if (links_.keypad == nullptr) return;
    showParenthesisKeys();
    loadSettings();
    ScreenSetUp{*this}.prepareViews();
    attachDisplayTaps();
    DisplayRefresh{*this}.updateDateTitle();
}

// Once per screen: recognisers added at every activation would copy once per activation.
void ViewController::attachDisplayTaps() {
    if (displayTapsAttached_) return;
    displayTapsAttached_ = true;
    ScreenSetUp{*this}.attachDisplayTaps([this] { primaryLabelTap(); }, [this] { secondaryLabelTap(); });
}

void ViewController::showParenthesisKeys() {
    if (controls_.buttonParenthesisOpen != nullptr) controls_.buttonParenthesisOpen->setHidden(false);
    if (controls_.buttonParenthesisClose != nullptr) controls_.buttonParenthesisClose->setHidden(false);
}

void ViewController::loadSettings() { SettingsLoader{*this}.loadSettings(); }

// ---- Display ------------------------------------------------------------------------------

void ViewController::handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) {
    KeyHandler{*this}.handle(button, longPress, key);
}

void ViewController::updateCalculatorLines() { refreshDisplay(); }

// The activity follows once the keys pause (foundation::UserActivity): a key does not build it.
void ViewController::refreshDisplay() {
    DisplayRefresh{*this}.updateCalculatorLines();
    if (userActivity) userActivity->setNeedsSave(true);
}

void ViewController::primaryLabelTap() { copyPrimaryText(); }

void ViewController::secondaryLabelTap() { copyPrimaryText(); }

// ---- Keypad layouts and size changes ------------------------------------------------------

void ViewController::updateKeypadMode() { KeypadModes{*this}.updateKeypadMode(); }

void ViewController::showKeypad(bool currency) {
    if (currency) showCurrencyKeypad();
    else showStandardKeypad();
}

void ViewController::showStandardKeypad() {
    KeyTitle::set(controls_.buttonFunctions, "ƒ(x)");
    const std::string equal = KeyTitle::shown(controls_.buttonEqual);
    if (equal != "𝑖" && equal != "𝑚") KeyTitle::set(controls_.buttonEqual, "=");
    const bool hide = compactWidthRegularHeight();
    controls_.convertFromPicker->setHidden(hide);
    controls_.convertToPicker->setHidden(hide);
    controls_.labelConvert->setHidden(hide);
    showParenthesisKeys();
}

void ViewController::showCurrencyKeypad() {
    controls_.convertFromPicker->setHidden(false);
    controls_.convertToPicker->setHidden(false);
    controls_.labelConvert->setHidden(false);
    controls_.buttonParenthesisOpen->setHidden(true);
    controls_.buttonParenthesisClose->setHidden(true);
    KeyTitle::set(controls_.buttonFunctions, "⏎");
    KeyTitle::set(controls_.buttonEqual, "⇨");
    if (!compactWidthRegularHeight()) KeyTitle::set(controls_.buttonEqual, "=");
}

bool ViewController::compactWidthRegularHeight() { return traitCollection().compactWidthRegularHeight(); }

bool ViewController::allows(LongPressRow::Condition condition) {
    return condition != LongPressRow::Condition::compactWidthRegularHeight || compactWidthRegularHeight();
}

void ViewController::viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) {
    ScreenSetUp{*this}.relayoutWithoutAnimation(coordinator, [this] { relayoutForSize(); });
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
}

// After the transition, with the new size classes in force.
void ViewController::relayoutForSize() {
    if (links_.keypad == nullptr) return;
    updateKeypadMode();
    for (const auto& key : controls_.ostreloView->subviews()) key->setNeedsLayout();
    controls_.primaryCalculatorLine->setNeedsLayout();
    controls_.secondaryCalculatorLine->setNeedsLayout();
    setNeedsStatusBarAppearanceUpdate();
    KeyTitle::set(controls_.buttonsMemoryAdd, "M+");
    // The currency keypad's "=" key takes the title of its keypad in the new size class ("⇨"
    // only upright on a phone).
    if (controls_.buttonFunctions->normalTitle() != "ƒ(x)")
        KeyTitle::set(controls_.buttonEqual, DisplayRefresh{*this}.layoutEqualTitle());
    // The display as after a key: a loan step that waits keeps its prompt and its title on the
    // "=" key, date mode its "𝑑".
    refreshDisplay();
    KeyHandler{*this}.tail();
}

// ---- Popovers -----------------------------------------------------------------------------

void ViewController::openPanel(ScreenPanel panel) {
    switch (panel) {
    case ScreenPanel::memory: showMemoryPopover(); break;
    case ScreenPanel::functions: showFunctionsPopover(); break;
    case ScreenPanel::settings: showSettingsPopover(); break;
    }
}

template <class T>
std::unique_ptr<T> ViewController::makePopover(const PopoverScene::Placement& placement) {
    // One at a time: a second would not be shown, and must not dim the keys.
    if (presentedViewController() != nullptr) return nullptr;
    return PopoverScene::make<T>(placement, *this, screenLifetime_.weak());
}

// Sizes are taken from the keys' bounds: a key held down is drawn shrunk, and its frame with it.
void ViewController::showMemoryPopover() {
    const uikit::Size key = controls_.buttonZero->bounds().size, source = controls_.buttonMemoryRecall->bounds().size;
    auto memory = makePopover<ViewControllerMemory>({.storyboard = popoverStoryboard,
                                                     .identifier = "Memory",
                                                     .size = {2 * key.width, 0.5 * key.height},
                                                     .source = controls_.buttonMemoryRecall,
                                                     .anchor = uikit::Rect(0.5 * source.width, 0, 1, 1),
                                                     .background = digitBackgroundColor(),
                                                     .arrow = uikit::PopoverArrowDirectionDown});
    if (memory == nullptr) return;
    memory->labelMemoryString = calculator_.memoryPrimaryString();
    presentViewController(std::move(memory), true);
}

void ViewController::showFunctionsPopover() {
    const uikit::Size key = controls_.buttonZero->bounds().size, source = controls_.buttonFunctions->bounds().size;
    auto functions = makePopover<ViewControllerFunctions>({.storyboard = popoverStoryboard,
                                                           .identifier = "Functions",
                                                           .size = {3 * key.width, 4 * key.height},
                                                           .source = controls_.buttonFunctions,
                                                           .anchor = uikit::Rect(source.width, 0.5 * source.height, 1, 1),
                                                           .background = functionBackgroundColor(),
                                                           .arrow = uikit::PopoverArrowDirectionLeft});
    if (functions == nullptr) return;
    setControlsAlpha(dimmedAlpha);
    functions->setDelegate(this, screenLifetime_.weak());
    presentViewController(std::move(functions), true);
}

void ViewController::showSettingsPopover() {
    const uikit::Size key = controls_.buttonZero->bounds().size, source = controls_.buttonDegRad->bounds().size;
    const double rows = compactWidthRegularHeight() ? 3 : 5;
    auto settings = makePopover<ViewControllerSettings>({.storyboard = popoverStoryboard,
                                                         .identifier = "Settings",
                                                         .size = {3.5 * key.width, rows * key.height},
                                                         .source = controls_.buttonDegRad,
                                                         .anchor = uikit::Rect(0.5 * source.width, source.height, 1, 1),
                                                         .background = functionBackgroundColor(),
                                                         .arrow = uikit::PopoverArrowDirectionUp});
    if (settings == nullptr) return;
    setControlsAlpha(dimmedAlpha);
    settings->setDelegate(this, screenLifetime_.weak());
    presentViewController(std::move(settings), true);
}

void ViewController::restoreControlsAlpha() { setControlsAlpha(1.0); }

// Both pickers and every key of the keypad but the `setup` ones.
void ViewController::setControlsAlpha(double alpha) {
    if (links_.keypad == nullptr) return;
    controls_.convertFromPicker->setAlpha(alpha);
    controls_.convertToPicker->setAlpha(alpha);
    setKeysAlpha(alpha);
}

int ViewController::adaptivePresentationStyleForPresentationController(uikit::PopoverPresentationController&,
                                                                       const uikit::TraitCollection&) {
    return uikit::ModalPresentationNone;
}

void ViewController::popoverPresentationControllerDidDismissPopover(uikit::PopoverPresentationController&) {
    restoreControlsAlpha();
}

void ViewController::popoverPresentationControllerWillRepositionPopoverToRect(
    uikit::PopoverPresentationController& popover, uikit::Rect& rect, uikit::View*&) {
    if (popover.arrowDirection() == uikit::PopoverArrowDirectionLeft) {
        const uikit::Size key = controls_.buttonFunctions->bounds().size;
        rect = uikit::Rect(key.width, key.height / 2, 1, 1);
    } else if (popover.arrowDirection() == uikit::PopoverArrowDirectionUp) {
        const uikit::Size key = controls_.buttonDegRad->bounds().size;
        rect = uikit::Rect(key.width / 2, key.height, 1, 1);
    }
}

// The Settings screen's reset: the new calculator clears the stored calculation and memory, and
// then takes the settings (angle mode, currency rows, own currency, notation) as at start; a
// loan or date title of the "=" key goes with the old calculation.
void ViewController::replaceCalculator() {
    calculatorSlot_.emplace();
    StoreReload{*this}.followRetries();
    loadSettings();
    DisplayRefresh{*this}.updateDateTitle();
    updateCalculatorLines();
}

// ---- Hardware keys, Handoff and quick actions ---------------------------------------------

void ViewController::pressesBegan(const uikit::PressSet& presses, const uikit::Event* event) {
    uikit::ViewController::pressesBegan(presses, event);
    const std::weak_ptr<void> guard = screenLifetime_.weak();
    for (const uikit::Press* press : presses) {
        if (guard.expired() || links_.keypad == nullptr) return;
        if (press != nullptr && press->key) HardwareKeyMap{*this}.press(*press->key);
    }
}

// The activity is written to the group directory at once, and again whenever it changes, and
// once more when an unsaved calculation reaches the store (its last write may have failed too).
void ViewController::startHandoffActivity() {
    auto activity = std::make_shared<foundation::UserActivity>(HandoffCalculation::activityType());
    activity->setTitle(HandoffCalculation::title);
    activity->setRefresh(
        [this](foundation::UserActivity& a) {
            updateUserActivityState(a);
            if (!a.isCurrent()) a.becomeCurrent();
        },
        screenLifetime_.weak());
    userActivity = std::move(activity);
    // Made current (and written) at the first save, as after a key: at the first pause, a
    // resignation, a later start's request, the end or a read, and not before the first frame,
    // which a long calculation's text would hold up.
    userActivity->setNeedsSave(true);
}

void ViewController::calculationStored() {
    if (!userActivity) return;
    updateUserActivityState(*userActivity);
    userActivity->becomeCurrent();
}

void ViewController::updateUserActivityState(foundation::UserActivity& activity) {
    activity.addUserInfoEntriesFromDictionary(
        {{HandoffCalculation::userInfoKey, HandoffCalculation::text(calculator_, handoffLines_)}});
    uikit::ViewController::updateUserActivityState(activity);
}

// An activity of another type, or one without a calculation text that can be taken, changes
// nothing. The continued calculation ends with the key handler's tail, so that a loan prompt
// of the calculation it replaced does not outlive it.
void ViewController::restoreUserActivityState(const foundation::UserActivity& activity) {
    const std::optional<std::string> text = HandoffCalculation::acceptedText(activity);
    if (!text) return;
    HandoffCalculation::restore(calculator_, *text);
    updateCalculatorLines();
    KeyHandler{*this}.tail();
    foundation::Log::info("continued the calculation of an activity");
}

bool ViewController::performActivityType(const std::string& type) {
    const std::string prefix = std::string(AppIdentity::bundleIdentifier) + ".";
    if (type == prefix + copyResultAction) {
        uikit::Pasteboard::general().setString(calculator_.resultText());
    } else if (type == prefix + copyExpressionAction) {
        uikit::Pasteboard::general().setString(calculator_.expressionText());
    } else if (type == prefix + pasteCalculationAction) {
        auto text = uikit::Pasteboard::general().string();
        if (text && !calculator_.importCalculationText(*text, false)) {
            foundation::Log::warning("the pasteboard's number is too large to calculate with: nothing was pasted");
            return false;
        }
    }
    return true;
}

}  // namespace ostrelo
