// The keyboard as a program of its own: ostrelo-keyboard in an offscreen window, and the
// store it shares with the app.
#include "app/AppStartup.h"
#include "app/ViewController.h"
#include "engine/ExchangeRateFeed.h"
#include "engine/SharedSettings.h"
#include "keyboard/KeyboardViewController.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/TextFieldHost.h"
#include "platform/uikit/Storyboard.h"
#include "screens/KeyHandler.h"
#include "tests/support/AppProcess.h"
#include "tests/support/TestEnvironment.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"

#include <signal.h>

#include <gtest/gtest.h>

using testsupport::AppProcess;

namespace {

class KeyboardProgramTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        ostrelo::ExchangeRateFeed::setNetworkTest([] { return false; });
        uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_APP_SCENES));
    }
    void TearDown() override {
        foundation::DispatchQueue::global().waitUntilIdle();
        uikit::Storyboard::setDirectory(std::nullopt);
        ostrelo::ExchangeRateFeed::setNetworkTest({});
        SuiteTest::TearDown();
    }
    std::map<std::string, std::string> environment() const {
        return {{"OSTRELO_GROUP_DIR", groupDirectory().string()},
                {"OSTRELO_WINDOW_SYSTEM", "offscreen"},
                {"SDL_AUDIODRIVER", "dummy"},
                {"LANG", "en_US.UTF-8"}};
    }
};

TEST_F(KeyboardProgramTest, TheRealKeyboardStartsOffscreenOnEachDeviceAndRefusesAnUnknownOne) {
    for (const auto& device : {"iPhone 15 Pro", "iPhone SE (3rd generation)", "iPad Air (5th generation)"}) {
        AppProcess keyboard(OSTRELO_KEYBOARD, {"--device", device, "--landscape"}, environment());
        ASSERT_TRUE(keyboard.waitForLine("first frame")) << keyboard.text();
        // The nib loaded and the settings were read: the currency rows are written back.
        EXPECT_EQ(keyboard.text().find("error"), std::string::npos) << keyboard.text();
        EXPECT_EQ(foundation::UserDefaults().integerForKey("from"), 29) << device;
        keyboard.kill(SIGTERM);
        EXPECT_TRUE(keyboard.waitForExit()) << device;
    }
    AppProcess unknown(OSTRELO_KEYBOARD, {"--device", "Nokia 3310"}, environment());
    EXPECT_EQ(unknown.waitForExit(), 2);
    EXPECT_NE(unknown.text().find("usage: ostrelo-keyboard [--device NAME] [--landscape]"), std::string::npos);
}

// The app runs while the keyboard, in a process of its own, types a calculation and steps its
// from-currency: the app's next activation shows both.
TEST_F(KeyboardProgramTest, WhatTheKeyboardTypesIsTheAppsAtItsNextActivation) {
    host::HeadlessHost app(host::DeviceProfile::smallPhone());
    app.launch(ostrelo::AppStartup::description());
    app.runUntilIdle();
    auto* screen = dynamic_cast<ostrelo::ViewController*>(app.rootViewController());
    ASSERT_NE(screen, nullptr);
    app.resignActive();

    AppProcess keyboard(TYPING_CHILD, {"7", "×", "6", "USD"}, {{"OSTRELO_GROUP_DIR", groupDirectory().string()}});
    ASSERT_EQ(keyboard.waitForExit(), 0) << keyboard.text();
    EXPECT_NE(keyboard.text().find("field \n"), std::string::npos) << keyboard.text();

    app.becomeActive();
    app.runUntilIdle();
    EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), "7×6");
    EXPECT_EQ(screen->controls().secondaryCalculatorLine->text(), "42");
    EXPECT_EQ(screen->calculator().from(), 30);
}

// Another program (the keyboard typing child) stores "7×6=42" while the keyboard, which keeps its
// window, shows "1+": at its activation the keyboard shows 42, and its send key types 42.
TEST_F(KeyboardProgramTest, AtItsActivationTheKeyboardShowsAndSendsWhatAnotherProgramStored) {
    uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
    host::HeadlessHost host(host::DeviceProfile::smallPhone());
    auto* field = host::TextFieldHost::launch(host, [] { return std::make_unique<ostrelo::KeyboardViewController>(); });
    auto* keyboard = dynamic_cast<ostrelo::KeyboardViewController*>(field->keyboard());
    for (auto* key : {keyboard->controls().buttonOne, keyboard->controls().buttonAdd})
        host.tap(host::HeadlessHost::centerOf(*key));
    host.resignActive();
    AppProcess other(TYPING_CHILD, {"=", "7", "×", "6", "="}, {{"OSTRELO_GROUP_DIR", groupDirectory().string()}});
    ASSERT_EQ(other.waitForExit(), 0) << other.text();
    host.becomeActive();
    EXPECT_EQ(keyboard->controls().primaryCalculatorLine->text(), "42");
    host.tap(host::HeadlessHost::centerOf(*keyboard->controls().buttonSend));
    EXPECT_EQ(field->fieldText(), "42");
}

// The app waits for a loan's rate ("=" reads "𝑖") when another program stores "5+3": its activation
// ends the prompt, and "=" adds up the new calculation.
TEST_F(KeyboardProgramTest, ALoanPromptEndsWhenAnotherProgramReplacesTheCalculation) {
    ostrelo::SharedSettings::open()->set("preference_percent", true);
    host::HeadlessHost app(host::DeviceProfile::smallPhone());
    app.launch(ostrelo::AppStartup::description());
    auto* screen = dynamic_cast<ostrelo::ViewController*>(app.rootViewController());
    app.tap(host::HeadlessHost::centerOf(*screen->controls().buttonOne));
    ostrelo::KeyHandler{*screen}.handle(screen->controls().buttonParenthesisOpen, true, "");  // "%" held
    ASSERT_EQ(screen->controls().buttonEqual->normalTitle(), "𝑖");
    app.resignActive();
    AppProcess other(TYPING_CHILD, {"=", "5", "+", "3"}, {{"OSTRELO_GROUP_DIR", groupDirectory().string()}});
    ASSERT_EQ(other.waitForExit(), 0) << other.text();
    app.becomeActive();
    EXPECT_EQ(screen->controls().buttonEqual->normalTitle(), "=");
    app.tap(host::HeadlessHost::centerOf(*screen->controls().buttonEqual));
    EXPECT_EQ(screen->controls().primaryCalculatorLine->text(), "8");
}

}  // namespace
