#include "OstreloMessage/MessagesCollapsedViewController.h"

#include "OstreloMessage/MessagesCollapsedViewControllerDelegate.h"
#include "engine/ExchangeRateFeed.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/LayoutGuide.h"
#include "screens/CurrencyKeys.h"
#include "screens/DisplayRefresh.h"
#include "screens/KeyHandler.h"
#include "screens/KeyTitle.h"
#include "screens/ScreenProfiles.h"
#include "screens/ScreenSetUp.h"
#include "screens/SettingsLoader.h"
#include "screens/StoreReload.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorView.h"
#include "ui/PulseLayer.h"

namespace ostrelo {

MessagesCollapsedViewController::MessagesCollapsedViewController() : pulse_(PulseLayer::make()) {
    controls_.declare(*this);
    links_ = ScreenLinks::forScreen(calculator_, enableClickSound_, pulse_.get(), *this,
                                    ScreenProfiles::messagesCollapsed(), screenLifetime_.weak());
    StoreReload{*this}.followRetries();
}

MessagesCollapsedViewController::~MessagesCollapsedViewController() = default;

// ---- Loading and appearance ---------------------------------------------------------------

void MessagesCollapsedViewController::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    uikit::View* pad = view();
    uikit::LayoutConstraint::activateConstraints(
        {pad->topAnchor().constraintEqualToAnchor(pad->safeAreaLayoutGuide().topAnchor())});
    if (!controls_.bind(links_, *this)) return;
    setupCollapsedViews();
    notification_ = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::didBecomeActiveNotification, nullptr,
        [this](const foundation::Notification&) { setupCollapsedViews(); });
}

void MessagesCollapsedViewController::viewDidAppear(bool animated) {
    uikit::ViewController::viewDidAppear(animated);
    if (links_.keypad == nullptr) return;
    foundation::DispatchQueue::main().asyncAfter(0, [this] { setConvertTitlesAndUpdateRates(); },
                                                 screenLifetime_.weak());
    updateCollapsedCalculatorLines();
}

void MessagesCollapsedViewController::viewDidLayoutSubviews() {
    if (links_.keypad == nullptr) return;
    controls_.primaryCalculatorLine->setText(calculator_.primaryString().value_or(""));
    setConvertTitles();
}

void MessagesCollapsedViewController::didMoveToParentViewController(uikit::ViewController* parent) {
    if (links_.keypad != nullptr) {
        controls_.primaryCalculatorLine->setText(calculator_.primaryString().value_or(""));
        setConvertTitles();
    }
    uikit::ViewController::didMoveToParentViewController(parent);
}

void MessagesCollapsedViewController::setupCollapsedViews() {
    if (links_.keypad == nullptr) return;
    loadCollapsedSettings();
    ScreenSetUp{*this}.prepareViews();
    attachDisplayTap();
    CurrencyKeys::queue(*this, &CurrencyKeys::setConvertTitles);
    if (calculator_.dateCalculator()) KeyTitle::set(controls_.buttonEqual, "𝑑");
}

// Once per screen: a recogniser added at every activation would copy (and click) once per
// activation.
void MessagesCollapsedViewController::attachDisplayTap() {
    if (displayTapAttached_) return;
    displayTapAttached_ = true;
    ScreenSetUp{*this}.attachDisplayTaps([this] { primaryLabelTap(); }, {});
}

void MessagesCollapsedViewController::primaryLabelTap() { copyPrimaryText(); }

void MessagesCollapsedViewController::secondaryLabelTap() { primaryLabelTap(); }

void MessagesCollapsedViewController::setConvertTitlesAndUpdateRates() {
    setConvertTitles();
    foundation::DispatchQueue::global().async([] { ExchangeRateFeed::updateRatesIfNeeded(); });
}

// ---- Size changes -------------------------------------------------------------------------

void MessagesCollapsedViewController::viewWillTransitionToSize(uikit::Size size,
                                                              uikit::TransitionCoordinator& coordinator) {
    ScreenSetUp{*this}.relayoutWithoutAnimation(coordinator, [this] { relayoutAfterSizeChange(); });
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
}

void MessagesCollapsedViewController::relayoutAfterSizeChange() {
    if (links_.keypad == nullptr) return;
    for (const auto& key : controls_.ostreloView->subviews()) key->setNeedsLayout();
    controls_.primaryCalculatorLine->setText(calculator_.primaryString().value_or(""));
    controls_.primaryCalculatorLine->setNeedsLayout();
}

// ---- The shared routines ------------------------------------------------------------------

void MessagesCollapsedViewController::handleKeyPressCollapsed(CalculatorButton* button, bool longPress,
                                                              const std::string& key) {
    KeyHandler{*this}.handle(button, longPress, key);
}

void MessagesCollapsedViewController::loadCollapsedSettings() { SettingsLoader{*this}.loadSettings(); }

void MessagesCollapsedViewController::updateCollapsedCalculatorLines() {
    if (links_.keypad != nullptr) DisplayRefresh{*this}.updateCalculatorLines();
}

void MessagesCollapsedViewController::setConvertFromTitle() { CurrencyKeys{*this}.setConvertFromTitle(); }

void MessagesCollapsedViewController::setConvertToTitle() { CurrencyKeys{*this}.setConvertToTitle(); }

void MessagesCollapsedViewController::setConvertTitles() { CurrencyKeys{*this}.setConvertTitles(); }

void MessagesCollapsedViewController::refreshLayoutAndStatusBar() { CurrencyKeys{*this}.refreshLayoutAndStatusBar(); }

void MessagesCollapsedViewController::updateCurrencyTitlesAndSave() { CurrencyKeys{*this}.updateCurrencyTitlesAndSave(); }

void MessagesCollapsedViewController::deliver(const std::string& text) {
    if (savedConversation_) savedConversation_->insertText(text);
    if (auto* root = delegate_.get()) root->dismiss();
}

}  // namespace ostrelo
