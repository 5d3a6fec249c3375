#include "OstreloMessage/MessagesExpandedViewController.h"

#include "OstreloMessage/MessageExpandedViewControllerFunctions.h"
#include "OstreloMessage/MessageExpandedViewControllerMemory.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "screens/CurrencyPickers.h"
#include "screens/DisplayRefresh.h"
#include "screens/KeyHandler.h"
#include "screens/KeyTitle.h"
#include "screens/KeypadModes.h"
#include "screens/PopoverScene.h"
#include "screens/ScreenProfiles.h"
#include "screens/ScreenSetUp.h"
#include "screens/SettingsLoader.h"
#include "screens/StoreReload.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorLabel.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorView.h"
#include "ui/PulseLayer.h"
#include "ui/Theme.h"

namespace ostrelo {

namespace {

constexpr const char* popoverStoryboard = "MainInterface";

}  // namespace

MessagesExpandedViewController::MessagesExpandedViewController() : pulse_(PulseLayer::make()) {
    controls_.declare(*this);
    links_ = ScreenLinks::forScreen(calculator_, enableClickSound_, pulse_.get(), *this,
                                    ScreenProfiles::messagesExpanded(), screenLifetime_.weak());
    StoreReload{*this}.followRetries();
}

MessagesExpandedViewController::~MessagesExpandedViewController() = default;

// ---- Loading and appearance ---------------------------------------------------------------

void MessagesExpandedViewController::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    if (!controls_.bind(links_, *this)) return;
    pickerSource_.setupPickers();
    setupExpandedViews();
    pickerSource_.restorePickerSelectionAsync();
    notification_ = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::didBecomeActiveNotification, nullptr,
        [this](const foundation::Notification&) { setupExpandedViews(); });
    CurrencyPickers{*this}.attachLongPress();
}

void MessagesExpandedViewController::viewDidAppear(bool animated) {
    uikit::ViewController::viewDidAppear(animated);
    if (links_.keypad == nullptr) return;
    foundation::DispatchQueue::main().asyncAfter(0, [this] { updateRatesInBackground(); }, screenLifetime_.weak());
    updateExtensionCalculatorLines();
    setupExpandedViews();
}

// The rates are checked off the main thread; the pickers are reselected on it afterwards,
// unless the screen has gone meanwhile.
void MessagesExpandedViewController::updateRatesInBackground() {
    ScreenSetUp{*this}.updateRatesInBackground([this] { pickerSource_.restorePickerSelectionAsync(); });
}

void MessagesExpandedViewController::setupExpandedViews() {
    if (links_.keypad == nullptr) return;
    loadExpandedSettings();
    ScreenSetUp{*this}.prepareViews();
    attachDisplayTaps();
    pickerSource_.restorePickerSelectionAsync();
    if (calculator_.dateCalculator()) KeyTitle::set(controls_.buttonEqual, "𝑑");
}

// Once per screen: recognisers added at every set-up would copy (and click) once per set-up.
void MessagesExpandedViewController::attachDisplayTaps() {
    if (displayTapsAttached_) return;
    displayTapsAttached_ = true;
    ScreenSetUp{*this}.attachDisplayTaps([this] { primaryLabelTap(); }, [this] { secondaryLabelTap(); });
}

void MessagesExpandedViewController::viewDidLayoutSubviews() {
    if (links_.keypad == nullptr) return;
    controls_.primaryCalculatorLine->setText(calculator_.primaryString().value_or(""));
    pickerSource_.restorePickerSelection();
}

void MessagesExpandedViewController::didMoveToParentViewController(uikit::ViewController* parent) {
    uikit::ViewController::didMoveToParentViewController(parent);
    if (links_.keypad == nullptr) return;
    controls_.primaryCalculatorLine->setText(calculator_.primaryString().value_or(""));
    pickerSource_.restorePickerSelection();
}

void MessagesExpandedViewController::primaryLabelTap() { copyPrimaryText(); }

void MessagesExpandedViewController::secondaryLabelTap() { copyPrimaryText(); }

// ---- Size changes and keypad layouts ------------------------------------------------------

void MessagesExpandedViewController::viewWillTransitionToSize(uikit::Size size,
                                                             uikit::TransitionCoordinator& coordinator) {
    ScreenSetUp{*this}.relayoutWithoutAnimation(coordinator, [this] { relayoutExpandedForSize(); });
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
}

void MessagesExpandedViewController::relayoutExpandedForSize() {
    if (links_.keypad == nullptr) return;
    if (compactWidthRegularHeight()) updateKeypadMode();
    else showStandardKeypad();
    for (const auto& key : controls_.ostreloView->subviews()) key->setNeedsLayout();
    controls_.secondaryCalculatorLine->setNeedsLayout();
    controls_.primaryCalculatorLine->setNeedsLayout();
    // The display as after a key: a loan step that waits keeps its prompt and its title on the
    // "=" key, date mode its "𝑑".
    refreshDisplay();
    KeyHandler{*this}.tail();
}

bool MessagesExpandedViewController::compactWidthRegularHeight() {
    return traitCollection().compactWidthRegularHeight();
}

void MessagesExpandedViewController::updateKeypadMode() { KeypadModes{*this}.updateKeypadMode(); }

void MessagesExpandedViewController::showKeypad(bool currency) {
    if (currency) showCurrencyKeypad();
    else showStandardKeypad();
}

void MessagesExpandedViewController::showStandardKeypad() {
    KeyTitle::set(controls_.buttonFunctions, "ƒ(x)");
    KeyTitle::set(controls_.buttonEqual, "=");
    const bool hide = compactWidthRegularHeight();
    controls_.convertToPicker->setHidden(hide);
    controls_.convertFromPicker->setHidden(hide);
    controls_.labelConvert->setHidden(hide);
    controls_.buttonOpen->setHidden(false);
    controls_.buttonClose->setHidden(false);
    KeyTitle::set(controls_.buttonOpen, "(");
    KeyTitle::set(controls_.buttonClose, ")");
}

void MessagesExpandedViewController::showCurrencyKeypad() {
    controls_.convertToPicker->setHidden(false);
    controls_.convertFromPicker->setHidden(false);
    controls_.labelConvert->setHidden(false);
    controls_.buttonOpen->setHidden(true);
    controls_.buttonClose->setHidden(true);
    KeyTitle::set(controls_.buttonFunctions, "⏎");
    KeyTitle::set(controls_.buttonEqual, "⇨");
}

// ---- Popovers -----------------------------------------------------------------------------

void MessagesExpandedViewController::openPanel(ScreenPanel panel) {
    if (panel == ScreenPanel::memory) presentMemoryPopover();
    else if (panel == ScreenPanel::functions) presentFunctionsPopover();
}

// Sizes are taken from the keys' frames.
void MessagesExpandedViewController::presentMemoryPopover() {
    if (links_.keypad == nullptr || presentedViewController() != nullptr) return;
    const uikit::Rect key = controls_.buttonZero->frame(), source = controls_.buttonMemoryRecall->frame();
    auto memory = PopoverScene::make<MessageExpandedViewControllerMemory>(
        {.storyboard = popoverStoryboard,
         .identifier = "Memory",
         .size = {2 * key.width(), 0.5 * key.height()},
         .source = controls_.buttonMemoryRecall,
         .anchor = uikit::Rect(0.5 * source.width(), 0, 1, 1),
         .background = digitBackgroundColor(),
         .arrow = uikit::PopoverArrowDirectionDown},
        *this, screenLifetime_.weak());
    if (!memory) return;
    memory->labelMemoryString = calculator_.memoryPrimaryString();
    presentViewController(std::move(memory), true);
}

void MessagesExpandedViewController::presentFunctionsPopover() {
    if (links_.keypad == nullptr || presentedViewController() != nullptr) return;
    const uikit::Rect key = controls_.buttonZero->frame(), source = controls_.buttonFunctions->frame();
    auto functions = PopoverScene::make<MessageExpandedViewControllerFunctions>(
        {.storyboard = popoverStoryboard,
         .identifier = "Functions",
         .size = {3 * key.width(), 4 * key.height()},
         .source = controls_.buttonFunctions,
         .anchor = uikit::Rect(source.width(), 0.5 * source.height(), 1, 1),
         .background = functionBackgroundColor(),
         .arrow = uikit::PopoverArrowDirectionLeft},
        *this, screenLifetime_.weak());
    if (!functions) return;
    MessageExpandedViewControllerFunctions* shown = functions.get();
    setKeysAlpha(dimmedAlpha);
    presentViewController(std::move(functions), true);
    if (presentedViewController() == shown) shown->setDelegate(this, screenLifetime_.weak());
}

// The pickers keep their opacity.
void MessagesExpandedViewController::restoreControlsAlpha() { setKeysAlpha(1.0); }

int MessagesExpandedViewController::adaptivePresentationStyleForPresentationController(
    uikit::PopoverPresentationController&, const uikit::TraitCollection&) {
    return uikit::ModalPresentationNone;
}

void MessagesExpandedViewController::popoverPresentationControllerDidDismissPopover(
    uikit::PopoverPresentationController&) {
    restoreControlsAlpha();
}

void MessagesExpandedViewController::popoverPresentationControllerWillRepositionPopoverToRect(
    uikit::PopoverPresentationController& popover, uikit::Rect& rect, uikit::View*&) {
    if (popover.arrowDirection() != uikit::PopoverArrowDirectionLeft || controls_.buttonFunctions == nullptr) return;
    const uikit::Rect frame = controls_.buttonFunctions->frame();
    rect = uikit::Rect(frame.width(), frame.height() / 2, 1, 1);
}

// ---- Pickers ------------------------------------------------------------------------------

void MessagesExpandedViewController::longPress(const uikit::GestureRecognizer& recognizer) {
    CurrencyPickers{*this}.longPress(recognizer);
}

// ---- The shared routines ------------------------------------------------------------------

void MessagesExpandedViewController::handleKeyPressExpanded(CalculatorButton* button, bool longPress,
                                                            const std::string& key) {
    KeyHandler{*this}.handle(button, longPress, key);
}

void MessagesExpandedViewController::loadExpandedSettings() { SettingsLoader{*this}.loadSettings(); }

void MessagesExpandedViewController::updateExtensionCalculatorLines() {
    if (links_.keypad != nullptr) DisplayRefresh{*this}.updateExtensionCalculatorLines();
}

}  // namespace ostrelo
