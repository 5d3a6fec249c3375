#include "keyboard/KeyboardViewController.h"
#include "platform/foundation/Timer.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/LongPressGestureRecognizer.h"
#include "platform/uikit/Storyboard.h"
#include "tests/support/TestEnvironment.h"
#include "ui/CalculatorButton.h"

#include <gtest/gtest.h>

using ostrelo::KeyboardViewController;
using uikit::GestureRecognizer;

namespace {

// A host document that records what the keyboard does to it.
class CountingHost : public uikit::InputViewHost, public uikit::TextDocumentProxy {
public:
    int deletions = 0;
    int switches = 0;
    std::string inserted;
    uikit::TextDocumentProxy& textDocumentProxy() override { return *this; }
    void advanceToNextInputMode() override { ++switches; }
    void insertText(const std::string& text) override { inserted += text; }
    void deleteBackward() override { ++deletions; }
    std::string documentContextBeforeInput() const override { return {}; }
    std::weak_ptr<void> alive() const { return lifetime_.weak(); }

private:
    foundation::Lifetime lifetime_;
};

class KeyboardControllerTest : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        uikit::Storyboard::setDirectory(std::filesystem::path(OSTRELO_SCENES));
    }
    void TearDown() override {
        uikit::Storyboard::setDirectory(std::nullopt);
        SuiteTest::TearDown();
    }
    // A keyboard of the device named, filling the window of `host` and typing into `document`.
    KeyboardViewController& show(const std::string& model, CountingHost& document) {
        auto made = std::make_unique<KeyboardViewController>(model);
        KeyboardViewController& keyboard = *made;
        keyboard.setHost(&document, document.alive());
        host.setRootViewController(std::move(made));
        host.runUntilIdle();
        return keyboard;
    }

    host::HeadlessHost host{host::DeviceProfile::smallPhone()};
};

TEST(KeyboardNibTest, ThePhonesWithoutAHomeButtonAndTheirSimulatorsGetKeyboardX) {
    for (const char* model : {"iPhone X", "iPhone 6s Plus", "iPhone 14", "iPhone 15 Pro", "iPhone 15 Pro Max",
                              "Simulator iPhone X", "Simulator iPhone 14", "Simulator iPhone 15 Pro"})
        EXPECT_EQ(KeyboardViewController::nibNameForModel(model), "Keyboard X") << model;
    for (const char* model : {"iPhone SE (2nd generation)", "iPhone SE (3rd generation)", "iPad Air (5th generation)",
                              "iPhone16,1", "Simulator iOS", "Simulator Simulator iPhone X", "iPhone 15 pro", ""})
        EXPECT_EQ(KeyboardViewController::nibNameForModel(model), "Keyboard") << model;
}

// Both nibs in one process: the model name given decides, and only "Keyboard" wires its own
// next-keyboard key.
TEST_F(KeyboardControllerTest, EachNibLoadsWithEveryControlTheKeyboardUses) {
    for (const char* model : {"iPhone 15 Pro", "iPhone SE (3rd generation)"}) {
        CountingHost document;
        KeyboardViewController& keyboard = show(model, document);
        const bool x = std::string(model) == "iPhone 15 Pro";
        EXPECT_EQ(keyboard.nibName(), x ? "Keyboard X" : "Keyboard");
        ASSERT_NE(keyboard.controls().nextKeyboardButton, nullptr) << model;
        EXPECT_EQ(keyboard.controls().nextKeyboardButton->hidden(), x);
        EXPECT_NE(keyboard.links().keypad, nullptr) << model;
        ASSERT_NE(keyboard.heightConstraint(), nullptr) << model;
        EXPECT_EQ(keyboard.heightConstraint()->constant(), 258) << model;
    }
}

// However a held delete key's press ends, the repeat stops at once and the key is fully
// opaque again; a second recogniser beginning meanwhile does not double the rate.
TEST_F(KeyboardControllerTest, TheDeleteRepeatStopsOnEveryEndOfThePress) {
    CountingHost document;
    KeyboardViewController& keyboard = show("iPhone SE (3rd generation)", document);
    for (auto end : {GestureRecognizer::ended, GestureRecognizer::cancelled, GestureRecognizer::failed}) {
        document.deletions = 0;
        uikit::LongPressGestureRecognizer first, second;
        first.setState(GestureRecognizer::began);
        keyboard.handleLongPressForDeleteButtonWithGestureRecognizer(first);
        second.setState(GestureRecognizer::began);
        keyboard.handleLongPressForDeleteButtonWithGestureRecognizer(second);
        host.advance(0.25);
        EXPECT_EQ(document.deletions, 2) << end;
        keyboard.controls().buttonBackSpace->setAlpha(0.5);
        first.setState(end);
        keyboard.handleLongPressForDeleteButtonWithGestureRecognizer(first);
        host.advance(1);
        EXPECT_EQ(document.deletions, 2) << end;
        EXPECT_EQ(keyboard.controls().buttonBackSpace->alpha(), 1.0) << end;
        EXPECT_EQ(keyboard.deleteButtonTimer(), nullptr) << end;
    }
}

TEST_F(KeyboardControllerTest, NoDeletionOutlivesTheKeyboard) {
    CountingHost document;
    KeyboardViewController& keyboard = show("iPhone SE (3rd generation)", document);
    host.touchDown(host::HeadlessHost::centerOf(*keyboard.controls().buttonBackSpace));
    host.advance(0.85);
    EXPECT_EQ(document.deletions, 3);
    keyboard.viewWillDisappear(false);
    host.advance(0.5);
    EXPECT_EQ(document.deletions, 3);

    KeyboardViewController& again = show("iPhone SE (3rd generation)", document);
    host.touchDown(host::HeadlessHost::centerOf(*again.controls().buttonBackSpace));
    host.advance(0.85);
    EXPECT_EQ(document.deletions, 6);
    host.setRootViewController(std::make_unique<uikit::ViewController>());
    host.advance(1);
    EXPECT_EQ(document.deletions, 6);
}

// Texts of the app's keypad modes and secondary screens reach the keyboard without a key of
// its own: they change nothing, in the host, the display or the store.
TEST_F(KeyboardControllerTest, TheAppsKeypadAndScreenKeysChangeNothing) {
    CountingHost document;
    KeyboardViewController& keyboard = show("iPhone SE (3rd generation)", document);
    for (const char* key : {"1", "2"}) keyboard.handleKeyboardKeyPress(nullptr, false, key);
    for (const char* key : {"€", "MS", "ƒ(x)", "⏎", "rand"}) {
        keyboard.handleKeyboardKeyPress(nullptr, false, key);
        EXPECT_EQ(keyboard.calculator().primaryString(), "12") << key;
        EXPECT_EQ(document.inserted + std::to_string(document.switches), "0") << key;
        EXPECT_FALSE(foundation::UserDefaults().object("show_currency")) << key;
    }
    host.runUntilIdle();
    EXPECT_EQ(host.window().rootViewController()->presentedViewController(), nullptr);
}

}  // namespace
