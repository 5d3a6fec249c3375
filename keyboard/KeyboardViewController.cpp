#include "keyboard/KeyboardViewController.h"

#include "keyboard/KeyboardBundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Timer.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/Device.h"
#include "platform/uikit/GestureRecognizer.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/LongPressGestureRecognizer.h"
#include "platform/uikit/Nib.h"
#include "platform/uikit/Screen.h"
#include "screens/CurrencyKeys.h"
#include "screens/DisplayRefresh.h"
#include "screens/KeyHandler.h"
#include "screens/ScreenProfiles.h"
#include "screens/ScreenSetUp.h"
#include "screens/SettingsLoader.h"
#include "screens/StoreReload.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorView.h"
#include "ui/DeviceModel.h"
#include "ui/PulseLayer.h"

#include <algorithm>
#include <array>

namespace ostrelo {

namespace {

constexpr double deleteRepeatInterval = 0.1;
constexpr double deleteRepeatTolerance = 0.01;
constexpr float heightPriority = 990;

// The phones without a home button, whose keyboard leaves the switch to the system's globe.
constexpr std::array<const char*, 24> homeIndicatorPhones = {
    "iPhone X",      "iPhone 6s Plus", "iPhone XS",         "iPhone XS Max", "iPhone XR",      "iPhone 11",
    "iPhone 11 Pro", "iPhone 11 Pro Max", "iPhone 12 mini", "iPhone 12",     "iPhone 12 Pro",  "iPhone 12 Pro Max",
    "iPhone 13 mini", "iPhone 13",     "iPhone 13 Pro",     "iPhone 13 Pro Max", "iPhone 14",  "iPhone 14 Plus",
    "iPhone 14 Pro", "iPhone 14 Pro Max", "iPhone 15",      "iPhone 15 Plus", "iPhone 15 Pro", "iPhone 15 Pro Max"};

}  // namespace

KeyboardViewController::KeyboardViewController(std::string modelName)
    : pulse_(PulseLayer::make()), modelName_(std::move(modelName)) {
    // Started by a host that knows nothing of the keyboard: what its bundle says comes first.
    KeyboardBundle::load();
    controls_.declare(*this);
    declareAction<CalculatorButton>("buttonBackspacePressed", [this](CalculatorButton&) { buttonBackspacePressed(); });
    links_ = ScreenLinks::forScreen(calculator_, enableClickSound_, pulse_.get(), *this, ScreenProfiles::keyboard(),
                                    screenLifetime_.weak());
    StoreReload{*this}.followRetries();
}

// No deletion outlives the keyboard (the timer's guard would stop it too).
KeyboardViewController::~KeyboardViewController() {
    if (deleteButtonTimer_) deleteButtonTimer_->invalidate();
}

std::string KeyboardViewController::defaultModelName() { return DeviceModel::modelName(); }

std::string KeyboardViewController::nibNameForModel(const std::string& modelName) {
    const std::string simulator = "Simulator ";
    const std::string phone = modelName.starts_with(simulator) ? modelName.substr(simulator.size()) : modelName;
    const bool homeIndicator = std::any_of(homeIndicatorPhones.begin(), homeIndicatorPhones.end(),
                                           [&](const char* name) { return phone == name; });
    return homeIndicator ? "Keyboard X" : "Keyboard";
}

double KeyboardViewController::keyboardHeight(uikit::UserInterfaceIdiom idiom, uikit::Size screen) {
    const bool landscape = screen.height < screen.width;
    if (idiom == uikit::UserInterfaceIdiom::pad) return landscape ? 398 : 313;
    return landscape ? 194 : 258;
}

// ---- Start-up and lifecycle ---------------------------------------------------------------

void KeyboardViewController::viewDidLoad() { keyboardSetupView(); }

void KeyboardViewController::keyboardSetupView() {
    uikit::InputViewController::viewDidLoad();
    nibName_ = nibNameForModel(modelName_);
    std::string error;
    auto nib = uikit::Nib::named(nibName_, error);
    std::unique_ptr<uikit::View> keypad = nib ? nib->instantiateWithOwner(*this, error) : nullptr;
    if (!keypad) {
        foundation::Log::error("the keyboard's nib \"" + nibName_ + "\" did not load: " + error);
        return;
    }
    uikit::View* input = inputView();
    if (input == nullptr) return;
    uikit::View* top = input->addSubview(std::move(keypad));
    if (!controls_.bind(links_, *this)) return;
    uikit::LayoutConstraint::activateConstraints({
        controls_.ostreloView->leftAnchor().constraintEqualToAnchor(input->leftAnchor()),
        controls_.ostreloView->topAnchor().constraintEqualToAnchor(input->topAnchor()),
        controls_.ostreloView->rightAnchor().constraintEqualToAnchor(input->rightAnchor()),
        controls_.ostreloView->bottomAnchor().constraintEqualToAnchor(input->bottomAnchor()),
    });
    top->translatesAutoresizingMaskIntoConstraints = false;
    if (nibName_ == "Keyboard") {
        controls_.nextKeyboardButton->addTarget(
            this, [this](uikit::Control& key) { handleInputModeListFromView(&key, nullptr); },
            uikit::ControlEventAllTouchEvents, screenLifetime_.weak());
    }
    setupKeyboardViews();
    notification_ = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::didBecomeActiveNotification, nullptr,
        [this](const foundation::Notification&) { setupKeyboardViews(); });
}

// At load and at every activation: what another program stored meanwhile is shown, and the "="
// key's loan or date title of the calculation it replaced gives way.
void KeyboardViewController::setupKeyboardViews() {
    if (links_.keypad == nullptr) return;
    const bool changed = StoreReload{*this}.reloadCalculation();
    loadKeyboardSettings();
    CurrencyKeys{*this}.setConvertTitles();
    ScreenSetUp{*this}.prepareViews();
    auto recognizer = std::make_unique<uikit::LongPressGestureRecognizer>();
    recognizer->addTarget(
        [this](uikit::GestureRecognizer& sender) { handleLongPressForDeleteButtonWithGestureRecognizer(sender); },
        screenLifetime_.weak());
    controls_.buttonBackSpace->addGestureRecognizer(std::move(recognizer));
    DisplayRefresh{*this}.updateDateTitle();
    refreshKeyTitles();
    if (changed) KeyHandler{*this}.tail();
}

void KeyboardViewController::loadKeyboardSettings() { SettingsLoader{*this}.loadSettings(); }

void KeyboardViewController::updateViewConstraints() {
    uikit::InputViewController::updateViewConstraints();
    const uikit::Rect frame = view()->frame();
    if (frame.width() != 0 && frame.height() != 0) updateKeyboardHeight();
}

void KeyboardViewController::updateKeyboardHeight() {
    const double height =
        keyboardHeight(uikit::Device::currentDevice().userInterfaceIdiom(), uikit::Screen::mainScreen().bounds().size);
    if (heightConstraint_) {
        // An unchanged height asks for no layout.
        if (heightConstraint_->constant() != height) heightConstraint_->setConstant(height);
        return;
    }
    uikit::View* input = inputView();
    if (input == nullptr) return;
    heightConstraint_ = uikit::LayoutConstraint::constraintWithItem(input, uikit::LayoutAttribute::height,
                                                                   uikit::LayoutRelation::equal, nullptr,
                                                                   uikit::LayoutAttribute::notAnAttribute, 1.0, height);
    heightConstraint_->priority = heightPriority;
    input->addConstraint(heightConstraint_);
}

void KeyboardViewController::viewDidAppear(bool animated) { keyboardViewDidAppear(animated); }

void KeyboardViewController::keyboardViewDidAppear(bool animated) {
    if (links_.keypad != nullptr) {
        CurrencyKeys{*this}.setConvertTitles();
        refreshKeyTitles();
    }
    uikit::InputViewController::viewDidAppear(animated);
}

// A keyboard going away mid-press deletes no more.
void KeyboardViewController::viewWillDisappear(bool animated) {
    stopDeleteRepeat();
    uikit::InputViewController::viewWillDisappear(animated);
}

void KeyboardViewController::viewDidLayoutSubviews() { keyboardLayoutSubviews(); }

void KeyboardViewController::keyboardLayoutSubviews() {
    uikit::InputViewController::viewDidLayoutSubviews();
    updateKeyboardHeight();
    if (links_.keypad == nullptr) return;
    controls_.buttonSend->layer().zPosition = 1.0;
    CurrencyKeys{*this}.setConvertTitles();
}

// The keypad takes its new size without animation; the height follows at the next layout.
void KeyboardViewController::viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) {
    ScreenSetUp{*this}.relayoutWithoutAnimation(coordinator, {});
    uikit::InputViewController::viewWillTransitionToSize(size, coordinator);
}

// ---- Keys ---------------------------------------------------------------------------------

void KeyboardViewController::handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) {
    handleKeyboardKeyPress(button, longPress, key);
}

void KeyboardViewController::handleKeyboardKeyPress(CalculatorButton* button, bool longPress, const std::string& key) {
    KeyHandler{*this}.handle(button, longPress, key);
}

// The display line, the clear and separator titles, the states of "=" and of the send key beside
// it, the angle key (blank while no angle matters) and "𝑑" in date mode.
void KeyboardViewController::refreshKeyTitles() { DisplayRefresh{*this}.updateCalculatorLines(); }

void KeyboardViewController::refreshDisplay() { refreshKeyTitles(); }

// The keys that act on the host: the next keyboard, a blank, a deletion and a line feed.
bool KeyboardViewController::ownKey(CalculatorButton*, std::string& text) {
    if (text == "🌐") advanceToNextInputMode();
    else if (text == "SP") textDocumentProxy().insertText(" ");
    else if (text == "⌫") textDocumentProxy().deleteBackward();
    else if (text == "⮐") textDocumentProxy().insertText("\n");
    else return false;
    return true;
}

// What the send key types: exactly the text, and nothing when there is none.
void KeyboardViewController::deliver(const std::string& text) {
    if (!text.empty()) textDocumentProxy().insertText(text);
}

// ---- Delete key ---------------------------------------------------------------------------

void KeyboardViewController::buttonBackspacePressed() {
    if (enableClickSound_) uikit::AudioServices::playSystemSound(uikit::AudioServices::keyClick);
    textDocumentProxy().deleteBackward();
}

void KeyboardViewController::handleLongPressForDeleteButtonWithGestureRecognizer(uikit::GestureRecognizer& recognizer) {
    switch (recognizer.state()) {
    case uikit::GestureRecognizer::began:
        if (deleteButtonTimer_) return;
        deleteButtonTimer_ = foundation::Timer::timerWithTimeInterval(
            deleteRepeatInterval, true, [this](foundation::Timer&) { handleDeleteButtonTimerTick(); },
            screenLifetime_.weak());
        deleteButtonTimer_->setTolerance(deleteRepeatTolerance);
        deleteButtonTimer_->addToRunLoop();
        return;
    // Every end of the press stops it: a press the system cancels or that fails would otherwise
    // go on deleting the host's text.
    case uikit::GestureRecognizer::ended:
    case uikit::GestureRecognizer::cancelled:
    case uikit::GestureRecognizer::failed: stopDeleteRepeat(); return;
    default: return;
    }
}

void KeyboardViewController::stopDeleteRepeat() {
    if (controls_.buttonBackSpace != nullptr) controls_.buttonBackSpace->setAlpha(1.0);
    if (deleteButtonTimer_) deleteButtonTimer_->invalidate();
    deleteButtonTimer_.reset();
}

void KeyboardViewController::handleDeleteButtonTimerTick() {
    if (enableClickSound_) uikit::AudioServices::playSystemSound(uikit::AudioServices::keyClick);
    textDocumentProxy().deleteBackward();
}

}  // namespace ostrelo
