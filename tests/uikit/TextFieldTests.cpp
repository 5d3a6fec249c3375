#include "platform/foundation/RunLoop.h"
#include "platform/uikit/TextField.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <gtest/gtest.h>

#include <functional>

using namespace uikit;

namespace {

struct Screen : ViewController, TextFieldDelegate {
    std::vector<std::string> log;
    TextField* field = nullptr;
    TextField* other = nullptr;
    std::function<void(TextField&)> onEnd;
    void viewDidLoad() override {
        field = view()->add(std::make_unique<TextField>(Rect(20, 20, 200, 34)));
        other = view()->add(std::make_unique<TextField>(Rect(20, 80, 200, 34)));
        field->setDelegate(this, alive());
        other->setDelegate(this, alive());
    }
    bool canBecomeFirstResponder() const override { return true; }
    void pressesBegan(const PressSet& presses, const Event*) override {
        log.push_back("screen " + std::to_string(presses.front()->key->keyCode));
    }
    void textFieldDidEndEditing(TextField& textField) override {
        log.push_back(std::string(&textField == field ? "field" : "other") + " ended " + textField.text());
        if (onEnd) onEnd(textField);
    }
};

class TextFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        foundation::RunLoop::main().useVirtualTime();
        auto s = std::make_unique<Screen>();
        screen = s.get();
        window.setRootViewController(std::move(s));
    }
    void tap(Point point) {
        window.touchDown(point);
        window.touchUp(point);
    }
    void type(const std::string& characters, int keyCode = 4) { window.pressKey(Key{characters, characters, keyCode, 0}); }

    Window window{Rect(0, 0, 320, 480)};
    Screen* screen = nullptr;
};

TEST_F(TextFieldTest, TakesCharactersAndBackspaceWhileEditingPassesOtherKeysOnAndEndsEditingOnce) {
    type("a", 4);
    tap({40, 37});
    for (const char* characters : {"x", "ä", "€", "\b", "ü", "\b", "\b", "A", "b c"}) type(characters);
    type("", 41);    // Escape
    type("\t", 43);  // a control character
    window.pressKey(Key{"", "c", 6, KeyModifierControl});
    EXPECT_EQ(screen->field->text(), "xAb c");
    tap({40, 97});  // the other field takes over
    type("\r", 40);
    type("z", 29);
    tap({40, 37});
    tap({40, 37});  // a touch in the field keeps it editing
    EXPECT_TRUE(window.endEditing());
    EXPECT_TRUE(window.endEditing());
    // A delegate may destroy the field as its editing ends.
    screen->onEnd = [](TextField& field) { field.removeFromSuperview(); };
    tap({40, 37});
    type("\r", 40);
    type("q", 20);
    EXPECT_EQ(screen->log, (std::vector<std::string>{"screen 4", "screen 41", "screen 43", "screen 6", "field ended xAb c",
                                                     "other ended ", "screen 29", "field ended xAb c",
                                                     "field ended xAb c", "screen 20"}));
    EXPECT_EQ(window.firstResponder(), nullptr);
}

}  // namespace
