#include "tests/script/SampleScreen.h"

#include "platform/host/HeadlessHost.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Pasteboard.h"
#include "platform/uikit/Storyboard.h"
#include "tests/support/TestEnvironment.h"
#include "tools/script/EngineKeys.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorView.h"
#include "ui/InterfaceKitClasses.h"

#include <cstdlib>

namespace scripttest {

SampleScreen::SampleScreen() {
    declareOutlet("ostreloView", ostreloView);
    declareOutlet("primaryCalculatorLine", primaryCalculatorLine);
    declareOutlet("secondaryCalculatorLine", secondaryCalculatorLine);
    declareOutlet("buttonEqual", buttonEqual);
    declareOutlet("memoryClearLeft", memoryClearLeft);
    declareOutlet("memoryClearRight", memoryClearRight);
}

void SampleScreen::viewDidLoad() {
    ostreloView->setDelegate(this, lifetime_.weak());
    activation_ = foundation::NotificationCenter::defaultCenter().addObserver(
        uikit::Application::didBecomeActiveNotification, nullptr, [this](const foundation::Notification&) {
            calculator_.reloadFromSettings();
            show(calculator_.primaryString().value_or(""), calculator_.secondaryString().value_or(""));
        });
    show(calculator_.primaryString().value_or(""), calculator_.secondaryString().value_or(""));
}

void SampleScreen::handleKeyPress(ostrelo::CalculatorButton* button, bool longPress, const std::string& key) {
    uikit::AudioServices::playSystemSound(1104);
    std::string text = button != nullptr ? button->normalTitle() : key;
    if (text == "✕") std::abort();
    if (longPress && text == "M+") {
        text = "M−";
        uikit::AudioServices::playAlertSound(uikit::AudioServices::vibrate);
    }
    bool known = false;
    script::DisplayTexts shown = script::pressEngineKey(calculator_, text, known);
    if (text == "=") uikit::Pasteboard::general().setString(shown.primary);
    show(shown.primary, shown.secondary);
}

void SampleScreen::show(const std::string& primary, const std::string& secondary) {
    primaryCalculatorLine->setText(primary);
    secondaryCalculatorLine->setText(secondary);
    buttonEqual->setTitle(calculator_.dateCalculator() ? "𝑑" : "=", uikit::ControlStateNormal);
    buttonEqual->myButtonState = calculator_.buttonEqualColor();
}

script::ScreenDefinition SampleScreen::definition() {
    script::ScreenDefinition screen;
    screen.name = "sample";
    screen.lines = {{"primary", "primaryCalculatorLine"}, {"secondary", "secondaryCalculatorLine"}};
    screen.start = [](host::HeadlessHost& host, const std::vector<std::string>&, script::ScreenDefinition::KeepAlive&,
                      std::string& error) {
        ostrelo::registerInterfaceKitClasses();
        uikit::ClassRegistry::shared().registerController<SampleScreen>("SampleScreen");
        uikit::Storyboard::setDirectory(testsupport::testDataDirectory() / "storyboards");
        auto board = uikit::Storyboard::named("ScriptSample", error);
        auto controller = board ? board->instantiateInitialViewController(error) : nullptr;
        if (controller == nullptr) return false;
        host.setRootViewController(std::move(controller));
        host.becomeActive();
        return true;
    };
    return screen;
}

}  // namespace scripttest
