#include "app/ViewController.h"

#include "app/AppIdentity.h"
#include "app/core/CurrencyPickers.h"
#include "app/core/DisplayRefresh.h"
#include "app/core/KeyHandler.h"
#include "app/core/KeyTitle.h"
#include "app/core/KeypadModes.h"
#include "app/core/ScreenProfiles.h"
#include "app/core/SettingsLoader.h"
#include "engine/ExchangeRateFeed.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserActivity.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/Pasteboard.h"
#include "platform/uikit/TapGestureRecognizer.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorLabel.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorScrollView.h"
#include "ui/CalculatorView.h"
#include "ui/PulseLayer.h"
#include "ui/Theme.h"

#include <algorithm>
#include <cctype>

namespace ostrelo {

namespace {
constexpr unsigned clickSound = 1104;
}

ViewController::ViewController() : pulse(PulseLayer::make()) {
    applySavedTheme();
    loadTheme = true;
    declareOutlets();
    links_.calculator = &calculator;
    links_.enableClickSound = &enableClickSound;
    links_.pulse = pulse.get();
    links_.controller = this;
    links_.profile = &ScreenProfiles::main();
    links_.guard = screenLifetime_.weak();
}

ViewController::~ViewController() = default;

void ViewController::declareOutlets() {
    declareOutlet("buttonsMemoryClear", buttonsMemoryClear);
    declareOutlet("buttonsMemoryAdd", buttonsMemoryAdd);
    declareOutlet("buttonMemoryRecall", buttonMemoryRecall);
    declareOutlet("buttonDecimalSeparator", buttonDecimalSeparator);
    declareOutlet("buttonPlusMinus", buttonPlusMinus);
    declareOutlet("buttonDegRad", buttonDegRad);
    declareOutlet("buttonClear", buttonClear);
    declareOutlet("buttonEqual", buttonEqual);
    declareOutlet("buttonZero", buttonZero);
    declareOutlet("buttonOne", buttonOne);
    declareOutlet("buttonTwo", buttonTwo);
    declareOutlet("buttonThree", buttonThree);
    declareOutlet("buttonFour", buttonFour);
    declareOutlet("buttonFive", buttonFive);
    declareOutlet("buttonSix", buttonSix);
    declareOutlet("buttonSeven", buttonSeven);
    declareOutlet("buttonEight", buttonEight);
    declareOutlet("buttonNine", buttonNine);
    declareOutlet("buttonFunctions", buttonFunctions);
    declareOutlet("buttonParenthesisOpen", buttonParenthesisOpen);
    declareOutlet("buttonParenthesisClose", buttonParenthesisClose);
    declareOutlet("buttonsMultiply", buttonsMultiply);
    declareOutlet("buttonsDivide", buttonsDivide);
    declareOutlet("buttonsSubtract", buttonsSubtract);
    declareOutlet("buttonsAdd", buttonsAdd);
    declareOutlet("labelConvert", labelConvert);
    declareOutlet("primaryCalculatorLine", primaryCalculatorLine);
    declareOutlet("secondaryCalculatorLine", secondaryCalculatorLine);
    declareOutlet("convertFromPicker", convertFromPicker);
    declareOutlet("convertToPicker", convertToPicker);
    declareOutlet("ostreloView", ostreloView);
    declareOutlet("scrollView", scrollView);
}

bool ViewController::bindLinks() {
    const uikit::View* outlets[] = {
        buttonsMemoryClear, buttonsMemoryAdd, buttonMemoryRecall, buttonDecimalSeparator, buttonPlusMinus,
        buttonDegRad, buttonClear, buttonEqual, buttonZero, buttonOne, buttonTwo, buttonThree, buttonFour,
        buttonFive, buttonSix, buttonSeven, buttonEight, buttonNine, buttonFunctions, buttonParenthesisOpen,
        buttonParenthesisClose, buttonsMultiply, buttonsDivide, buttonsSubtract, buttonsAdd, labelConvert,
        primaryCalculatorLine, secondaryCalculatorLine, convertFromPicker, convertToPicker, ostreloView, scrollView};
    if (std::any_of(std::begin(outlets), std::end(outlets), [](const uikit::View* v) { return v == nullptr; })) {
        foundation::Log::error("the calculator screen was loaded without its scene's controls");
        return false;
    }
    links_.keypad = ostreloView;
    links_.equalKey = buttonEqual;
    links_.functionKey = buttonFunctions;
    links_.clearKey = buttonClear;
    links_.memoryRecallKey = buttonMemoryRecall;
    links_.decimalSeparatorKey = buttonDecimalSeparator;
    links_.parenthesisOpenKey = buttonParenthesisOpen;
    links_.parenthesisCloseKey = buttonParenthesisClose;
    links_.degRadKey = buttonDegRad;
    links_.primaryLine = primaryCalculatorLine;
    links_.secondaryLine = secondaryCalculatorLine;
    links_.fromPicker = convertFromPicker;
    links_.toPicker = convertToPicker;
    links_.convertLabel = labelConvert;
    return true;
}

// ---- Start-up and lifecycle ---------------------------------------------------------------

void ViewController::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    if (!bindLinks()) return;
    ostreloView->setDelegate(this, screenLifetime_.weak());
    buttonDigitBackgroundColor = buttonZero->backgroundColor();
    buttonFunctionsBackgroundColor = buttonFunctions->backgroundColor();
    startHandoffActivity();
    setupPickers();
    convertFromPicker->selectRow(static_cast<int>(calculator.from), 0, false);
    convertToPicker->selectRow(static_cast<int>(calculator.to), 0, false);
    setupViews();
    restorePickerSelectionAsync();
    auto& center = foundation::NotificationCenter::defaultCenter();
    notification = center.addObserver(uikit::Application::didBecomeActiveNotification, nullptr,
                                      [this](const foundation::Notification&) { setupViews(); });
    notificationBackground = center.addObserver(uikit::Application::didEnterBackgroundNotification, nullptr,
                                                [this](const foundation::Notification&) { showParenthesisKeys(); });
    CurrencyPickers{*this}.attachLongPress();
    std::weak_ptr<void> guard = screenLifetime_.weak();
    foundation::DispatchQueue::global().async([this, guard] {
        ExchangeRateFeed::updateRatesIfNeeded();
        foundation::DispatchQueue::main().async([this, guard] {
            if (!guard.expired()) restorePickerSelectionAsync();
        });
    });
}

void ViewController::viewDidAppear(bool animated) {
    uikit::ViewController::viewDidAppear(animated);
    if (links_.keypad == nullptr) return;
    convertFromPicker->selectRow(static_cast<int>(calculator.from), 0, false);
    convertToPicker->selectRow(static_cast<int>(calculator.to), 0, false);
    updateCalculatorLines();
}

bool ViewController::prefersStatusBarHidden() {
    return SharedSettings::open()->boolForKey("preference_statusbar_phone");
}

int ViewController::preferredStatusBarStyle() { return themeStatusBarStyle(); }

void ViewController::setupViews() {
    if (links_.keypad == nullptr) return;
    showParenthesisKeys();
    loadSettings();
    view()->accessibilityIgnoresInvertColors = true;
    primaryCalculatorLine->setNeedsLayout();
    secondaryCalculatorLine->setNeedsLayout();
    for (const auto& key : ostreloView->subviews()) key->setNeedsLayout();
    attachDisplayTaps();
    primaryCalculatorLine->lineBreakMode = uikit::LineBreakByTruncatingHead;
    DisplayRefresh{*this}.updateDateTitle();
}

// Once per screen: recognisers added at every activation would copy once per activation.
void ViewController::attachDisplayTaps() {
    if (displayTapsAttached_) return;
    displayTapsAttached_ = true;
    const std::weak_ptr<void> guard = screenLifetime_.weak();
    auto primaryTap = std::make_unique<uikit::TapGestureRecognizer>();
    primaryTap->addTarget([this](uikit::GestureRecognizer&) { primaryLabelTap(); }, guard);
    primaryCalculatorLine->addGestureRecognizer(std::move(primaryTap));
    auto secondaryTap = std::make_unique<uikit::TapGestureRecognizer>();
    secondaryTap->addTarget([this](uikit::GestureRecognizer&) { secondaryLabelTap(); }, guard);
    secondaryCalculatorLine->addGestureRecognizer(std::move(secondaryTap));
    primaryCalculatorLine->setUserInteractionEnabled(true);
    secondaryCalculatorLine->setUserInteractionEnabled(true);
}

void ViewController::showParenthesisKeys() {
    if (buttonParenthesisOpen != nullptr) buttonParenthesisOpen->setHidden(false);
    if (buttonParenthesisClose != nullptr) buttonParenthesisClose->setHidden(false);
}

void ViewController::loadSettings() { SettingsLoader{*this}.loadSettings(); }

// ---- Display ------------------------------------------------------------------------------

void ViewController::handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) {
    KeyHandler{*this}.handle(button, longPress, key);
}

void ViewController::updateCalculatorLines() { refreshDisplay(); }

void ViewController::refreshDisplay() {
    DisplayRefresh{*this}.updateCalculatorLines();
    if (userActivity) updateUserActivityState(*userActivity);
}

void ViewController::primaryLabelTap() { copyPrimaryText(); }

void ViewController::secondaryLabelTap() { copyPrimaryText(); }

void ViewController::copyPrimaryText() {
    uikit::Pasteboard::general().setString(calculator.primaryString.value_or(""));
    if (enableClickSound) uikit::AudioServices::playSystemSound(clickSound);
}

// ---- Keypad layouts and size changes ------------------------------------------------------

void ViewController::updateKeypadMode() { KeypadModes{*this}.updateKeypadMode(); }

void ViewController::showKeypad(bool currency) {
    if (currency) showCurrencyKeypad();
    else showStandardKeypad();
}

void ViewController::showStandardKeypad() {
    KeyTitle::set(buttonFunctions, "ƒ(x)");
    const std::string equal = KeyTitle::shown(buttonEqual);
    if (equal != "𝑖" && equal != "𝑚") KeyTitle::set(buttonEqual, "=");
    const bool hide = compactWidthRegularHeight();
    convertFromPicker->setHidden(hide);
    convertToPicker->setHidden(hide);
    labelConvert->setHidden(hide);
    showParenthesisKeys();
}

void ViewController::showCurrencyKeypad() {
    convertFromPicker->setHidden(false);
    convertToPicker->setHidden(false);
    labelConvert->setHidden(false);
    buttonParenthesisOpen->setHidden(true);
    buttonParenthesisClose->setHidden(true);
    KeyTitle::set(buttonFunctions, "⏎");
    KeyTitle::set(buttonEqual, "⇨");
    if (!compactWidthRegularHeight()) KeyTitle::set(buttonEqual, "=");
}

bool ViewController::compactWidthRegularHeight() {
    const uikit::TraitCollection traits = traitCollection();
    return traits.horizontalSizeClass == uikit::UserInterfaceSizeClass::compact &&
           traits.verticalSizeClass == uikit::UserInterfaceSizeClass::regular;
}

bool ViewController::allows(LongPressRow::Condition condition) {
    return condition != LongPressRow::Condition::compactWidthRegularHeight || compactWidthRegularHeight();
}

void ViewController::viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) {
    const std::weak_ptr<void> guard = screenLifetime_.weak();
    coordinator.animateAlongsideTransition({}, [this, guard, size](uikit::TransitionCoordinator&) {
        if (!guard.expired()) relayoutForSize(size);
    });
    uikit::View::setAnimationsEnabled(false);
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
}

void ViewController::relayoutForSize(uikit::Size size) {
    if (links_.keypad != nullptr) {
        updateKeypadMode();
        for (const auto& key : ostreloView->subviews()) key->setNeedsLayout();
        primaryCalculatorLine->setText(calculator.primaryString.value_or(""));
        secondaryCalculatorLine->setText(calculator.secondaryString.value_or(""));
        primaryCalculatorLine->setNeedsLayout();
        secondaryCalculatorLine->setNeedsLayout();
        setNeedsStatusBarAppearanceUpdate();
        KeyTitle::set(buttonsMemoryAdd, "M+");
        if (calculator.dateCalculator) KeyTitle::set(buttonEqual, "𝑑");
        if (buttonFunctions->normalTitle() != "ƒ(x)") {
            if (size.height < size.width) KeyTitle::set(buttonEqual, "=");
            else if (size.width < size.height) KeyTitle::set(buttonEqual, "⇨");
        }
    }
    uikit::View::setAnimationsEnabled(true);
}

// ---- Popovers -----------------------------------------------------------------------------

void ViewController::openPanel(ScreenPanel panel) {
    switch (panel) {
    case ScreenPanel::memory: showMemoryPopover(); break;
    case ScreenPanel::functions: showFunctionsPopover(); break;
    case ScreenPanel::settings: showSettingsPopover(); break;
    }
}

void ViewController::showMemoryPopover() { foundation::Log::info("the Memory screen is not part of this build"); }

void ViewController::showFunctionsPopover() { foundation::Log::info("the Functions screen is not part of this build"); }

void ViewController::showSettingsPopover() { foundation::Log::info("the Settings screen is not part of this build"); }

// ---- Currency pickers ---------------------------------------------------------------------

void ViewController::setupPickers() { CurrencyPickers{*this}.setupPickers(*this, *this); }

void ViewController::restorePickerSelection() {
    if (links_.keypad != nullptr) CurrencyPickers{*this}.restorePickerSelection();
}

void ViewController::restorePickerSelectionAsync() { CurrencyPickers{*this}.restorePickerSelectionAsync(); }

int ViewController::numberOfComponentsInPickerView(uikit::PickerView&) { return 1; }

int ViewController::numberOfRowsInComponent(uikit::PickerView&, int) { return CurrencyPickers{*this}.numberOfRows(); }

double ViewController::rowHeightForComponent(uikit::PickerView& picker, int) {
    return CurrencyPickers{*this}.rowHeight(picker);
}

std::unique_ptr<uikit::View> ViewController::viewForRow(uikit::PickerView& picker, int row, int, uikit::View*) {
    return CurrencyPickers{*this}.viewForRow(picker, row);
}

void ViewController::didSelectRow(uikit::PickerView& picker, int, int) { CurrencyPickers{*this}.didSelectRow(picker); }

// ---- Hardware keys, Handoff and quick actions ---------------------------------------------

void ViewController::pressesBegan(const uikit::PressSet& presses, const uikit::Event* event) {
    uikit::ViewController::pressesBegan(presses, event);
}

void ViewController::startHandoffActivity() {
    std::string type = AppIdentity::bundleIdentifier;
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return std::tolower(c); });
    auto activity = std::make_shared<foundation::UserActivity>(type + ".handoff");
    activity->setTitle("ostrelo");
    userActivity = std::move(activity);
}

void ViewController::updateUserActivityState(foundation::UserActivity& activity) {
    uikit::ViewController::updateUserActivityState(activity);
}

void ViewController::restoreUserActivityState(const foundation::UserActivity& activity) { (void)activity; }

void ViewController::performActivityType(const std::string& type) {
    const std::string prefix = std::string(AppIdentity::bundleIdentifier) + ".";
    if (type == prefix + "copyResult") {
        uikit::Pasteboard::general().setString(calculator.resultText());
    } else if (type == prefix + "copyExpression") {
        uikit::Pasteboard::general().setString(calculator.expressionText());
    } else if (type == prefix + "pasteCalculation") {
        if (auto text = uikit::Pasteboard::general().string()) calculator.importCalculationText(*text, false);
    }
}

}  // namespace ostrelo
