#include "platform/host/HeadlessHost.h"
#include "platform/host/HostTextField.h"
#include "platform/host/TextFieldHost.h"
#include "platform/host/WrappingTextView.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/Pasteboard.h"
#include "platform/uikit/Screen.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace uikit;
using host::HeadlessHost;
using host::TextFieldHost;
using Mode = host::TextFieldHostController::InputMode;

namespace {

using Log = std::vector<std::string>;

// A keyboard that asks for a height by the screen's orientation (one constraint, made on its
// first layout) and has a next-keyboard key registered for all its touch events.
struct Keyboard : InputViewController {
    Log* log;
    Button* next = nullptr;
    std::shared_ptr<LayoutConstraint> height;
    explicit Keyboard(Log* log) : log(log) {}
    void viewDidLoad() override {
        next = inputView()->add(std::make_unique<Button>(Rect(10, 10, 60, 40)));
        next->addTarget(this, [this](Control& c) { handleInputModeListFromView(&c, nullptr); },
                        ControlEventAllTouchEvents, alive());
    }
    void viewDidLayoutSubviews() override {
        Rect screen = Screen::mainScreen().bounds();
        double wanted = screen.height() < screen.width() ? 194 : 258;
        if (height) {
            height->setConstant(wanted);
            return;
        }
        height = LayoutConstraint::constraintWithItem(inputView(), LayoutAttribute::height, LayoutRelation::equal,
                                                      nullptr, LayoutAttribute::notAnAttribute, 1, wanted);
        height->priority = 990;
        inputView()->addConstraint(height);
    }
    void viewDidAppear(bool) override { log->push_back("appeared"); }
    void viewWillDisappear(bool) override { log->push_back("will disappear"); }
    void textDidChange() override { log->push_back("text changed to " + textDocumentProxy().documentContextBeforeInput()); }
};

class TextFieldHostTest : public testsupport::SuiteTest {
protected:
    host::TextFieldHostController* launch() {
        return TextFieldHost::launch(host, [this] { return std::make_unique<Keyboard>(&log); });
    }
    Keyboard& keyboard(host::TextFieldHostController& window) { return static_cast<Keyboard&>(*window.keyboard()); }
    Log take() { return std::exchange(log, {}); }

    Log log;
    HeadlessHost host;  // iPhone 15 Pro: 393 x 852, safe area 59 at the top and 34 at the bottom
};

TEST_F(TextFieldHostTest, TheKeyboardTypesThroughTheProxyAndDeletesWholeCharacters) {
    auto* window = launch();
    TextDocumentProxy& proxy = window->keyboard()->textDocumentProxy();
    struct Row {
        std::string before;
        std::string after;
    } rows[] = {
        {"𝜋", ""}, {"2−", "2"}, {"7×6=42", "7×6=4"}, {"a👍🏽", "a"}, {"e\u0301", ""}, {"1\n", "1"}, {"", ""},
    };
    for (const auto& row : rows) {
        window->setFieldText(row.before);
        proxy.deleteBackward();
        EXPECT_EQ(window->fieldText(), row.after) << row.before;
    }
    window->setFieldText("");
    for (const char* typed : {"5", " ", "7×6=42", "\n"}) proxy.insertText(typed);
    EXPECT_EQ(window->fieldText(), "5 7×6=42\n");
    EXPECT_EQ(proxy.documentContextBeforeInput(), "5 7×6=42\n");
    host.tap(HeadlessHost::centerOf(window->copyButton()));
    EXPECT_EQ(Pasteboard::general().string(), "5 7×6=42\n");
}

TEST_F(TextFieldHostTest, OneTapOnTheNextKeyboardKeyIsOneSwitchAndTheGlobeBringsTheKeyboardBack) {
    auto* window = launch();
    Point next = HeadlessHost::centerOf(*keyboard(*window).next);
    take();
    // A touch that ends outside the key, or is cancelled, switches nothing.
    host.touchDown(next);
    host.touchMove({next.x, next.y - 400});
    host.touchUp({next.x, next.y - 400});
    host.touchDown(next);
    host.touchCancel();
    EXPECT_TRUE(window->inputModeSwitches().empty());

    host.touchDown(next);
    host.touchMove({next.x + 2, next.y});
    host.touchUp({next.x + 2, next.y});
    EXPECT_EQ(window->inputModeSwitches(), (std::vector<Mode>{Mode::system}));
    EXPECT_EQ(take(), (Log{"will disappear"}));
    EXPECT_EQ(keyboard(*window).view()->window(), nullptr);

    // System typing: text, Backspace and Return from the physical keyboard.
    for (const char* key : {"1", "2", "\b", "+", "\r", "x"}) host.pressKey(key);
    host.pressKey("", 41);
    EXPECT_EQ(window->fieldText(), "1+\nx");

    host.tap(HeadlessHost::centerOf(window->globeButton()));
    EXPECT_EQ(window->inputModeSwitches(), (std::vector<Mode>{Mode::system, Mode::keyboard}));
    EXPECT_EQ(take(), (Log{"appeared"}));
    host.pressKey("9");
    EXPECT_EQ(window->fieldText(), "1+\nx");
}

TEST_F(TextFieldHostTest, TheKeyboardIsDockedAtTheHeightItAsksForAndFollowsARotation) {
    auto* window = launch();
    View& input = *keyboard(*window).inputView();
    EXPECT_EQ(input.frame(), Rect(0, 852 - 34 - 258, 393, 258));
    EXPECT_EQ(window->globeButton().superview()->frame(), Rect(0, 852 - 34 - 258 - 44, 393, 44));

    host.rotate(host::Orientation::landscape);
    EXPECT_EQ(input.frame(), Rect(0, 393 - 21 - 194, 852, 194));
    EXPECT_EQ(input.constraints().size(), 1u);

    // The field keeps the end of a text too long for it in view.
    window->setFieldText(std::string(400, '7') + "\nend");
    EXPECT_EQ(take().back(), "text changed to " + window->fieldText());
    host.runUntilIdle();
    const auto& text = window->field().textView();
    auto shown = text.visibleLines();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.back(), "end");
    std::size_t sevens = 0;
    for (std::size_t i = 0; i + 1 < shown.size(); ++i) sevens += shown[i].size();
    EXPECT_LT(sevens, 400u);
    for (const auto& line : text.subviews()) EXPECT_LE(line->frame().maxY(), text.bounds().height());
}

TEST(TextWrappingTest, LinesBreakAtBlanksOrBetweenCharactersAndAtLineFeeds) {
    // Every character one unit wide, lines of 5 units.
    auto width = [](const std::string&) { return 1.0; };
    struct Row {
        std::string text;
        std::vector<std::string> lines;
    } rows[] = {
        {"", {""}},
        {"12345", {"12345"}},
        {"123456789012", {"12345", "67890", "12"}},
        {"12 456 89", {"12 ", "456 ", "89"}},
        {"1234   78", {"1234   ", "78"}},
        {"a\n\nb\n", {"a", "", "b", ""}},
        {"𝜋×2−e\u0301f", {"𝜋×2−e\u0301", "f"}},
    };
    for (const auto& row : rows) EXPECT_EQ(host::WrappingTextView::wrap(row.text, width, 5), row.lines) << row.text;
}

TEST(TextFieldHostArgumentsTest, ADeviceAndAnOrientationPickTheProfileAndItsModel) {
    struct Row {
        std::vector<std::string> arguments;
        std::optional<std::string> device;
        bool landscape = false;
    } rows[] = {
        {{}, "iPhone 15 Pro"},
        {{"--device", "iPhone SE (3rd generation)"}, "iPhone SE (3rd generation)"},
        {{"--landscape", "--device", "iPad Air (5th generation)"}, "iPad Air (5th generation)", true},
        {{"--device", "iPhone 99"}, std::nullopt},
        {{"--device"}, std::nullopt},
        {{"--landscape", "--landscape"}, std::nullopt},
        {{"landscape"}, std::nullopt},
    };
    for (const auto& row : rows) {
        auto parsed = TextFieldHost::parseArguments(row.arguments);
        ASSERT_EQ(parsed.has_value(), row.device.has_value()) << testing::PrintToString(row.arguments);
        if (!parsed) continue;
        EXPECT_EQ(parsed->device.name, *row.device);
        EXPECT_EQ(parsed->orientation == host::Orientation::landscape, row.landscape);
    }
    TextFieldHost::simulateModel(*host::DeviceProfile::named("iPad Air (5th generation)"));
    EXPECT_STREQ(std::getenv("SIMULATOR_MODEL_IDENTIFIER"), "iPad13,16");
    EXPECT_EQ(TextFieldHost::usage("ostrelo-keyboard"),
              "usage: ostrelo-keyboard [--device NAME] [--landscape] (NAME: \"iPhone 15 Pro\", "
              "\"iPhone SE (3rd generation)\", \"iPad Air (5th generation)\")");
}

}  // namespace
