#include "tests/ui/UiTest.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorView.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

using namespace ostrelo;
using uikit::AffineTransform;
using uikit::Point;
using uikit::Rect;

namespace {

struct Press {
    CalculatorButton* button;
    bool longPress;
    std::string key;
    friend bool operator==(const Press&, const Press&) = default;
};

class Recorder : public CalculatorViewTouchDelegate {
public:
    std::vector<Press> presses;
    std::function<void()> during;
    void handleKeyPress(CalculatorButton* button, bool longPress, const std::string& key) override {
        presses.push_back({button, longPress, key});
        if (during) during();
    }
};

}  // namespace

// A pad of 4 × 4 keys, 78 points square on an 80-point grid (2-point gaps between them),
// 100 points below the top of the window.
class CalculatorViewTest : public uitest::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        pad = window->add(std::make_unique<CalculatorView>(Rect(0, 100, 320, 320)));
        const char* titles[] = {"7", "8", "9", "÷", "4", "5", "6", "×", "1", "2", "3", "−", "🌐", "0", "⌫", "="};
        for (int i = 0; i < 16; ++i) {
            auto key = std::make_unique<CalculatorButton>(Rect(1 + 80 * (i % 4), 1 + 80 * (i / 4), 78, 78));
            key->setTitle(titles[i], uikit::ControlStateNormal);
            keys.push_back(pad->add(std::move(key)));
        }
        pad->setDelegate(&recorder, links.weak());
        window->layoutIfNeeded();
    }

    // The centre of key i in window coordinates.
    static Point at(int i) { return {40.0 + 80 * (i % 4), 140.0 + 80 * (i / 4)}; }
    static constexpr Point gap{80, 140};
    static AffineTransform shrunk() { return AffineTransform::scale(68.0 / 78.0, 68.0 / 78.0); }

    CalculatorView* pad = nullptr;
    std::vector<CalculatorButton*> keys;
    Recorder recorder;
    foundation::Lifetime links;
};

TEST_F(CalculatorViewTest, TapShrinksTheKeyAndReportsItOnLift) {
    window->touchDown(at(5));
    EXPECT_TRUE(keys[5]->isHighlighted());
    EXPECT_EQ(pad->currentButtonView(), keys[5]);
    EXPECT_EQ(pad->startView(), keys[5]);
    EXPECT_EQ(keys[5]->transform(), shrunk());
    const auto* animation = keys[5]->layer().animationForKey("transform");
    ASSERT_NE(animation, nullptr);
    EXPECT_DOUBLE_EQ(animation->duration, 0.2);
    EXPECT_EQ(animation->timingFunction, uikit::TimingFunction::easeIn());
    advance(0.1);
    const auto midway = keys[5]->layer().presentedTransform();
    EXPECT_LT(midway.a, 1.0);
    EXPECT_GT(midway.a, 68.0 / 78.0);
    EXPECT_TRUE(recorder.presses.empty());

    window->touchUp(at(5));
    EXPECT_EQ(recorder.presses, (std::vector<Press>{{keys[5], false, ""}}));
    EXPECT_FALSE(keys[5]->isHighlighted());
    EXPECT_TRUE(keys[5]->transform().isIdentity());
    EXPECT_EQ(pad->currentButtonView(), nullptr);
    EXPECT_EQ(pad->startView(), nullptr);
    advance(2);
    EXPECT_EQ(recorder.presses.size(), 1u);
}

TEST_F(CalculatorViewTest, HoldingAKeyIsOneLongPressAndLiftingAddsNothing) {
    window->touchDown(at(0));
    advance(0.74);
    EXPECT_TRUE(recorder.presses.empty());
    advance(0.02);
    EXPECT_EQ(recorder.presses, (std::vector<Press>{{keys[0], true, ""}}));
    EXPECT_FALSE(keys[0]->isHighlighted());
    EXPECT_TRUE(keys[0]->transform().isIdentity());
    EXPECT_TRUE(pad->touched);
    EXPECT_FALSE(pad->longTouch);
    advance(3);
    window->touchUp(at(0));
    EXPECT_EQ(recorder.presses.size(), 1u);
    EXPECT_FALSE(pad->touched);

    // A custom delay.
    pad->treshholdLongTouch = 0.3;
    window->touchDown(at(1));
    advance(0.31);
    window->touchUp(at(1));
    EXPECT_EQ(recorder.presses.back(), (Press{keys[1], true, ""}));
    EXPECT_EQ(recorder.presses.size(), 2u);
}

TEST_F(CalculatorViewTest, SlidingFromKeyToKey) {
    // Held long enough on the first key, then slid to a second and lifted there.
    window->touchDown(at(0));
    advance(0.8);
    window->touchMove(at(1));
    EXPECT_TRUE(keys[1]->isHighlighted());
    EXPECT_FALSE(pad->touched);
    EXPECT_EQ(keys[1]->transform(), shrunk());
    EXPECT_TRUE(keys[0]->transform().isIdentity());
    window->touchUp(at(1));
    EXPECT_EQ(recorder.presses, (std::vector<Press>{{keys[0], true, ""}, {keys[1], false, ""}}));

    // The second key gets its own delay from the moment the finger entered it.
    recorder.presses.clear();
    window->touchDown(at(2));
    advance(0.5);
    window->touchMove(at(3));
    EXPECT_FALSE(keys[2]->isHighlighted());
    EXPECT_TRUE(keys[2]->transform().isIdentity());
    advance(0.5);
    EXPECT_TRUE(recorder.presses.empty());
    advance(0.26);
    EXPECT_EQ(recorder.presses, (std::vector<Press>{{keys[3], true, ""}}));
    window->touchUp(at(3));
    EXPECT_EQ(recorder.presses.size(), 1u);

    // Moving within the same key changes nothing.
    recorder.presses.clear();
    window->touchDown(at(4));
    window->touchMove({at(4).x + 10, at(4).y + 10});
    EXPECT_EQ(pad->currentButtonView(), keys[4]);
    window->touchUp({at(4).x + 10, at(4).y + 10});
    EXPECT_EQ(recorder.presses, (std::vector<Press>{{keys[4], false, ""}}));
}

TEST_F(CalculatorViewTest, GapsAndTheOutsideReportNothing) {
    // Begins on a gap, then slides onto a key.
    window->touchDown(gap);
    EXPECT_EQ(pad->startView(), nullptr);
    window->touchMove(at(1));
    EXPECT_FALSE(keys[1]->isHighlighted());
    advance(1);
    window->touchUp(at(1));
    EXPECT_TRUE(recorder.presses.empty());

    // Begins on a key and ends over a gap: the key springs back, the delay is cancelled.
    window->touchDown(at(0));
    window->touchMove(gap);
    EXPECT_FALSE(keys[0]->isHighlighted());
    EXPECT_TRUE(keys[0]->transform().isIdentity());
    EXPECT_EQ(pad->currentButtonView(), nullptr);
    advance(1);
    window->touchUp(gap);
    EXPECT_TRUE(recorder.presses.empty());

    // Begins on a key and ends outside the keypad.
    window->touchDown(at(0));
    window->touchMove({40, 50});
    window->touchUp({40, 50});
    EXPECT_TRUE(recorder.presses.empty());
    EXPECT_FALSE(keys[0]->isHighlighted());
    window->touchDown(at(15));
    window->touchUp({40, 50});
    EXPECT_TRUE(recorder.presses.empty());
    advance(1);
    EXPECT_TRUE(recorder.presses.empty());
}

TEST_F(CalculatorViewTest, GlobeAndEraseKeysKeepTheirOwnTouches) {
    int erased = 0;
    keys[14]->addTarget(this, [&](uikit::Control&) { ++erased; }, uikit::ControlEventTouchUpInside, links.weak());
    EXPECT_EQ(pad->hitTest({40, 40}, nullptr), pad);
    EXPECT_EQ(pad->hitTest({200, 280}, nullptr), keys[14]);
    EXPECT_EQ(pad->hitTest({40, 280}, nullptr), keys[12]);
    EXPECT_EQ(pad->hitTest({80, 40}, nullptr), pad);
    EXPECT_EQ(pad->hitTest({400, 40}, nullptr), nullptr);

    window->touchDown(at(14));
    EXPECT_EQ(pad->startView(), nullptr);
    advance(1);
    window->touchUp(at(14));
    EXPECT_EQ(erased, 1);
    window->touchDown(at(12));
    window->touchUp(at(12));
    EXPECT_TRUE(recorder.presses.empty());

    // Slid from another key onto the globe key and lifted there.
    window->touchDown(at(13));
    window->touchMove(at(12));
    window->touchUp(at(12));
    EXPECT_TRUE(recorder.presses.empty());
}

TEST_F(CalculatorViewTest, SlidingOverAnotherViewAndBackStillReportsTheKey) {
    auto* other = pad->add(std::make_unique<uikit::View>(Rect(79, 1, 2, 78)));
    window->touchDown(at(0));
    window->touchMove({80, 140});
    EXPECT_FALSE(keys[0]->isHighlighted());
    EXPECT_EQ(pad->currentButtonView(), keys[0]);
    window->touchMove(at(0));
    EXPECT_FALSE(keys[0]->isHighlighted());
    window->touchUp(at(0));
    EXPECT_EQ(recorder.presses, (std::vector<Press>{{keys[0], false, ""}}));
    (void)other;
}

TEST_F(CalculatorViewTest, ANewTouchCancelsTheLongPressOfAnEarlierOne) {
    // Two began deliveries without an end between them: the first key's delay must not fire.
    uikit::Touch first;
    first.setWindow(window);
    first.startAt(at(0));
    pad->touchesBegan({&first}, nullptr);
    uikit::Touch second;
    second.setWindow(window);
    second.startAt(gap);
    pad->touchesBegan({&second}, nullptr);
    advance(1);
    EXPECT_TRUE(recorder.presses.empty());

    uikit::Touch third;
    third.setWindow(window);
    third.startAt(at(5));
    pad->touchesBegan({&first}, nullptr);
    pad->touchesBegan({&third}, nullptr);
    advance(1);
    EXPECT_EQ(recorder.presses, (std::vector<Press>{{keys[5], true, ""}}));

    // A cancelled touch reports nothing and lets the key spring back.
    recorder.presses.clear();
    window->touchDown(at(6));
    window->touchCancel();
    advance(1);
    EXPECT_TRUE(recorder.presses.empty());
    EXPECT_FALSE(keys[6]->isHighlighted());
    EXPECT_TRUE(keys[6]->transform().isIdentity());
}

TEST_F(CalculatorViewTest, ADelegateMayRemoveTheKeypadDuringTheCall) {
    recorder.during = [&] {
        pad->removeFromSuperview();
        pad = nullptr;
    };
    window->touchDown(at(0));
    window->touchUp(at(0));
    ASSERT_EQ(recorder.presses.size(), 1u);
    EXPECT_EQ(window->subviews().size(), 0u);
    advance(1);
    EXPECT_EQ(recorder.presses.size(), 1u);
}

TEST_F(CalculatorViewTest, ADelegateMayRemoveTheKeypadDuringALongPress) {
    recorder.during = [&] {
        pad->removeFromSuperview();
        pad = nullptr;
    };
    window->touchDown(at(0));
    advance(0.8);
    ASSERT_EQ(recorder.presses.size(), 1u);
    EXPECT_TRUE(recorder.presses[0].longPress);
    window->touchUp(at(0));
    advance(1);
    EXPECT_EQ(recorder.presses.size(), 1u);
}

TEST_F(CalculatorViewTest, AGoneDelegateOrKeypadGetsNothing) {
    {
        auto owner = std::make_shared<Recorder>();
        pad->setDelegate(owner.get(), owner);
        EXPECT_EQ(pad->delegate(), owner.get());
    }
    EXPECT_EQ(pad->delegate(), nullptr);
    window->touchDown(at(0));
    advance(1);
    window->touchUp(at(0));

    // A keypad removed while a key is held takes its pending long press with it.
    pad->setDelegate(&recorder, links.weak());
    window->touchDown(at(1));
    pad->removeFromSuperview();
    pad = nullptr;
    advance(1);
    EXPECT_TRUE(recorder.presses.empty());
}

TEST_F(CalculatorViewTest, ViewTypeAndBackground) {
    EXPECT_EQ(CalculatorView().myViewType, CalculatorView::ViewType::black);
    for (int raw : {6, 255, -1}) {
        pad->setType(3);
        pad->setType(raw);
        EXPECT_EQ(pad->myViewType, CalculatorView::ViewType::black);
    }
    for (const bool dark : {true, false}) {
        dark ? applyDarkTheme() : applyLightTheme();
        const std::optional<uikit::Color> expected[] = {borderColor(), uikit::Color::clear(), digitBackgroundColor(),
                                                        standardBackgroundColor(), functionBackgroundColor(),
                                                        standardBackgroundColor()};
        for (int raw = 0; raw <= 5; ++raw) {
            pad->setType(raw);
            EXPECT_EQ(pad->type(), raw);
            pad->setNeedsLayout();
            pad->layoutIfNeeded();
            EXPECT_EQ(pad->backgroundColor(), expected[raw]) << raw;
        }
    }
    std::string error;
    EXPECT_TRUE(pad->setProperty("type", "4", error));
    EXPECT_EQ(pad->myViewType, CalculatorView::ViewType::function);
    EXPECT_FALSE(pad->setProperty("type", "", error));
}
