#include "app/ViewControllerSettings.h"

#include "engine/Calculator.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/Switch.h"
#include "platform/uikit/Window.h"
#include "ui/Theme.h"

namespace ostrelo {

namespace {

std::string replacingAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

void showStoredText(uikit::Label* label, const foundation::UserDefaults& suite, const std::string& key) {
    const auto stored = suite.object(key);
    const auto text = stored ? stored->stringValue() : std::nullopt;
    if (label != nullptr && text) label->setText(*text);
}

}  // namespace

ViewControllerSettings::ViewControllerSettings() {
    declareOutlets();
    declareActions();
}

void ViewControllerSettings::declareOutlets() {
    declareOutlet("switchStatusBar", switchStatusBar);
    declareOutlet("switchScientific", switchScientific);
    declareOutlet("switchParenthesis", switchParenthesis);
    declareOutlet("switchDarkTheme", switchDarkTheme);
    declareOutlet("switchSound", switchSound);
    declareOutlet("switchReset", switchReset);
    declareOutlet("switchRemember", switchRemember);
    declareOutlet("switchPercent", switchPercent);
    declareOutlet("lableCurrencies", lableCurrencies);
    declareOutlet("lableVersion", lableVersion);
    declareOutlet("lableCopyright", lableCopyright);
    declareOutlet("lableCopyrightBig", lableCopyrightBig);
    declareOutlet("labelOwnCurrency", labelOwnCurrency);
    declareOutlet("viewSettings", viewSettings);
}

void ViewControllerSettings::declareActions() {
    using Action = void (ViewControllerSettings::*)(uikit::Switch&);
    const std::pair<const char*, Action> switches[] = {
        {"switchStatusBarChanged", &ViewControllerSettings::switchStatusBarChanged},
        {"switchScientificChanged", &ViewControllerSettings::switchScientificChanged},
        {"switchParenthesisChanged", &ViewControllerSettings::switchParenthesisChanged},
        {"switchDarkThemeChanged", &ViewControllerSettings::switchDarkThemeChanged},
        {"switchSoundChanged", &ViewControllerSettings::switchSoundChanged},
        {"switchPercentChanged", &ViewControllerSettings::switchPercentChanged},
        {"switchRememberChanged", &ViewControllerSettings::switchRememberChanged},
        {"switchResetChanged", &ViewControllerSettings::switchResetChanged},
    };
    for (const auto& entry : switches) {
        const Action action = entry.second;
        declareAction<uikit::Switch>(entry.first, [this, action](uikit::Switch& sender) { (this->*action)(sender); });
    }
    declareAction<uikit::Button>("callSettings", [this](uikit::Button&) { callSettings(); });
}

// ---- Lifecycle ------------------------------------------------------------------------------

void ViewControllerSettings::viewDidLoad() {
    uikit::ViewController::viewDidLoad();
    view()->setBackgroundColor(functionBackgroundColor());
    notification = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::willEnterForegroundNotification, nullptr,
        [this](const foundation::Notification&) { dismissSettingsScreen(); });
    if (delegate() == nullptr) {
        // Not while it is being presented: the presentation goes on with this screen.
        foundation::DispatchQueue::main().asyncAfter(0, [this] { dismissViewController(false); },
                                                     screenLifetime_.weak());
        return;
    }
    showSettings();
}

void ViewControllerSettings::showSettings() {
    auto suite = SharedSettings::open();
    const Calculator& calculator = delegate()->screenCalculator();
    const std::pair<uikit::Switch*, bool> states[] = {
        {switchStatusBar, suite->boolForKey(SharedSettings::hideStatusBar)},
        {switchScientific, calculator.scientificNotation()},
        {switchParenthesis, calculator.autoParenthesis()},
        {switchDarkTheme, suite->boolForKey(SharedSettings::darkTheme)},
        {switchRemember, suite->boolForKey(SharedSettings::rememberCurrencyKeypad)},
        {switchPercent, suite->boolForKey(SharedSettings::percentKeys)},
        {switchSound, suite->boolForKey(SharedSettings::clickSound)},
        {switchReset, false},
    };
    for (const auto& [control, on] : states)
        if (control != nullptr) control->setOn(on);
    showStoredText(lableCurrencies, *suite, SharedSettings::ratesDate);
    showStoredText(labelOwnCurrency, *suite, SharedSettings::ownCurrency);
    if (lableVersion != nullptr) lableVersion->setText(suite->stringForKey(SharedSettings::version).value_or(""));
    const std::optional<std::string> notice = suite->stringForKey(SharedSettings::copyright);
    if (lableCopyright != nullptr)
        lableCopyright->setText(notice ? replacingAll(*notice, noticeName, noticeShortName) : "");
    if (lableCopyrightBig != nullptr) lableCopyrightBig->setText(notice.value_or(""));
}

void ViewControllerSettings::viewDidAppear(bool animated) {
    uikit::ViewController::viewDidAppear(animated);
    shown = true;
}

// The closing refresh: however the screen went (a tap outside, the foreground, a size change),
// the presenting screen shows its keys' titles again.
void ViewControllerSettings::viewDidDisappear(bool animated) {
    uikit::ViewController::viewDidDisappear(animated);
    if (ViewControllerDelegate* screen = delegate()) screen->updateCalculatorLines();
}

void ViewControllerSettings::viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) {
    uikit::ViewController::viewWillTransitionToSize(size, coordinator);
    if (!shown) return;
    restoreMainScreen();
    dismissViewController(false);
}

void ViewControllerSettings::dismissSettingsScreen() {
    if (delegate() == nullptr) return;
    restoreMainScreen();
    dismissViewController(false);
}

void ViewControllerSettings::restoreMainScreen() {
    if (ViewControllerDelegate* screen = delegate()) screen->restoreControlsAlpha();
}

bool ViewControllerSettings::prefersStatusBarHidden() {
    return SharedSettings::open()->boolForKey(SharedSettings::hideStatusBar);
}

int ViewControllerSettings::preferredStatusBarStyle() { return themeStatusBarStyle(); }

void ViewControllerSettings::applySettingsTheme() {
    if (viewSettings != nullptr)
        for (const auto& control : viewSettings->subviews()) control->setNeedsLayout();
    view()->setBackgroundColor(functionBackgroundColor());
    if (auto* popover = popoverPresentationController()) popover->backgroundColor = functionBackgroundColor();
    if (uikit::Window* shownIn = window()) shownIn->setNeedsLayout();
}

// ---- Switches -------------------------------------------------------------------------------

void ViewControllerSettings::switchStatusBarChanged(uikit::Switch& sender) {
    SharedSettings::store(SharedSettings::hideStatusBar, sender.isOn());
    setNeedsStatusBarAppearanceUpdate();
}

void ViewControllerSettings::switchScientificChanged(uikit::Switch& sender) {
    SharedSettings::store(SharedSettings::scientificNotation, sender.isOn());
    ViewControllerDelegate* screen = delegate();
    if (screen == nullptr) return;
    screen->screenCalculator().setScientificNotation(sender.isOn());
    screen->screenCalculator().updatePrimaryString();
    screen->updateCalculatorLines();
}

void ViewControllerSettings::switchParenthesisChanged(uikit::Switch& sender) {
    SharedSettings::store(SharedSettings::autoParenthesis, sender.isOn());
    ViewControllerDelegate* screen = delegate();
    if (screen == nullptr) return;
    screen->screenCalculator().setAutoParenthesis(sender.isOn());
    screen->screenCalculator().updatePrimaryString();
    screen->updateCalculatorLines();
}

// The theme, and the app's icon to match where the platform lets the app choose its icon.
void ViewControllerSettings::switchDarkThemeChanged(uikit::Switch& sender) {
    const bool dark = sender.isOn();
    applyTheme(dark ? "Dark" : "Light");
    SharedSettings::store(SharedSettings::darkTheme, dark);
    uikit::Application& application = uikit::Application::shared();
    if (application.supportsAlternateIcons) {
        if (dark) application.setAlternateIconName("AppIconDark", [](std::optional<std::string>) {});
        else application.setAlternateIconName("AppIconLight");
    }
    if (ViewControllerDelegate* screen = delegate()) {
        screen->relayoutViews();
        screen->screenCalculator().updatePrimaryString();
        screen->updateCalculatorLines();
    }
    applySettingsTheme();
}

void ViewControllerSettings::switchSoundChanged(uikit::Switch& sender) {
    SharedSettings::store(SharedSettings::clickSound, sender.isOn());
    if (ViewControllerDelegate* screen = delegate()) screen->setClickSound(sender.isOn());
}

void ViewControllerSettings::switchPercentChanged(uikit::Switch& sender) {
    SharedSettings::store(SharedSettings::percentKeys, sender.isOn());
    if (ViewControllerDelegate* screen = delegate()) screen->updateCalculatorLines();
}

// Applies at the next settings load.
void ViewControllerSettings::switchRememberChanged(uikit::Switch& sender) {
    SharedSettings::store(SharedSettings::rememberCurrencyKeypad, sender.isOn());
}

// A momentary switch: on clears the calculation and the memory, then turns itself off once the
// main queue runs (unless the screen has gone by then).
void ViewControllerSettings::switchResetChanged(uikit::Switch& sender) {
    SharedSettings::store(SharedSettings::reset, sender.isOn());
    ViewControllerDelegate* screen = delegate();
    if (!sender.isOn() || screen == nullptr) return;
    screen->replaceCalculator();
    SharedSettings::store(SharedSettings::reset, false);
    uikit::Switch* control = &sender;
    foundation::DispatchQueue::main().asyncAfter(0, [control] { control->setOn(false, true); }, sender.alive());
}

void ViewControllerSettings::callSettings() {
    uikit::Application& application = uikit::Application::shared();
    const std::string url = uikit::Application::openSettingsURLString;
    if (application.canOpenURL(url)) application.openURL(url);
}

}  // namespace ostrelo
