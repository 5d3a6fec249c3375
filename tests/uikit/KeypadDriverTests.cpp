// A keypad container written against the toolkit the way the calculator's keypad uses it:
// base hit-testing from an override, touches forwarded to the base handlers, a shrink
// animation with options 0x10202 and a 0.75 s long press as a delayed perform on the
// container, cancelled by target.
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <gtest/gtest.h>

using namespace uikit;
using foundation::RunLoop;

namespace {

class Pad : public View {
public:
    std::vector<std::string> reports;
    View* startView = nullptr;
    View* current = nullptr;
    bool touched = false;
    using View::View;

    View* hitTest(Point p, const Event* e) override {
        View* v = View::hitTest(p, e);
        if (v == nullptr) return nullptr;
        if (v != this && dynamic_cast<Button*>(v) == nullptr) return v;
        if (auto* b = dynamic_cast<Button*>(v); b && b->titleForState(ControlStateNormal) == "⌫") return v;
        return pointInside(p, e) ? this : nullptr;
    }
    View* under(const TouchSet& t) { return View::hitTest(t.front()->locationInView(this), nullptr); }
    void press(View* key) {
        static_cast<Button*>(key)->setHighlighted(true);
        current = key;
        double w = key->frame().size.width, h = key->frame().size.height;
        View::animate(0.2, 0, 0x10202, [&] { key->setTransform(AffineTransform::scale((w - 10) / w, (h - 10) / h)); });
        touched = false;
        RunLoop::main().perform(this, alive(), 0.75, [this, key] {
            reports.push_back("long " + *static_cast<Button*>(key)->titleForState(ControlStateNormal));
            release();
            touched = true;
        });
    }
    void release() {
        if (current == nullptr) return;
        static_cast<Button*>(current)->setHighlighted(false);
        View::animate(0.2, 0, 0x10202, [&] { current->setTransform(AffineTransform::identity()); });
    }
    void touchesBegan(const TouchSet& t, const Event* e) override {
        current = startView = nullptr;
        View* v = under(t);
        if (v == nullptr || v == this) return;
        startView = v;
        if (dynamic_cast<Button*>(v)) press(v);
        else View::touchesBegan(t, e);
    }
    void touchesMoved(const TouchSet& t, const Event* e) override {
        View* v = under(t);
        if (v == this) {
            release();
            current = nullptr;
            RunLoop::main().cancelPerformRequests(this);
            return;
        }
        if (v == current || (v == nullptr && current == nullptr)) return View::touchesMoved(t, e);
        RunLoop::main().cancelPerformRequests(this);
        release();
        if (dynamic_cast<Button*>(v) && dynamic_cast<Button*>(startView)) press(v);
        else View::touchesMoved(t, e);
    }
    void touchesEnded(const TouchSet& t, const Event* e) override {
        RunLoop::main().cancelPerformRequests(this);
        View* v = under(t);
        release();
        if (dynamic_cast<Button*>(v) && dynamic_cast<Button*>(startView)) {
            if (touched) touched = false;
            else reports.push_back("key " + *static_cast<Button*>(v)->titleForState(ControlStateNormal));
        } else {
            View::touchesEnded(t, e);
        }
        startView = current = nullptr;
    }
    void touchesCancelled(const TouchSet&, const Event*) override {
        RunLoop::main().cancelPerformRequests(this);
        release();
        current = startView = nullptr;
    }
};

class KeypadDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useVirtualTime();
        window = std::make_unique<Window>(Rect(0, 0, 300, 300));
        window->setRootViewController(std::make_unique<ViewController>());
        pad = window->rootViewController()->view()->add(std::make_unique<Pad>(Rect(0, 100, 300, 100)));
        const char* titles[] = {"7", "8", "⌫"};
        for (int i = 0; i < 3; ++i) {
            auto* key = pad->add(std::make_unique<Button>(Rect(i * 100 + 1, 0, 98, 100)));
            key->setTitle(titles[i], ControlStateNormal);
            keys.push_back(key);
        }
        keys[2]->addTarget(this, [this](Control&) { erased++; }, ControlEventTouchUpInside, links.weak());
    }
    std::unique_ptr<Window> window;
    Pad* pad = nullptr;
    std::vector<Button*> keys;
    int erased = 0;
    foundation::Lifetime links;
};

}  // namespace

TEST_F(KeypadDriverTest, TapShrinksReportsAndSpringsBack) {
    window->touchDown({50, 150});
    EXPECT_TRUE(keys[0]->isHighlighted());
    EXPECT_EQ(keys[0]->frame(), Rect(6, 5, 88, 90));
    RunLoop::main().advance(0.1);
    window->touchUp({50, 150});
    EXPECT_EQ(pad->reports, std::vector<std::string>{"key 7"});
    EXPECT_TRUE(keys[0]->transform().isIdentity());
    RunLoop::main().advance(0.2);
    EXPECT_TRUE(keys[0]->layer().presentedTransform().isIdentity());
    RunLoop::main().advance(1);
    EXPECT_EQ(pad->reports.size(), 1u);
}

TEST_F(KeypadDriverTest, HoldingReportsOneLongPressAndSlidingRearmsTheDelay) {
    window->touchDown({50, 150});
    RunLoop::main().advance(0.75);
    EXPECT_EQ(pad->reports, std::vector<std::string>{"long 7"});
    window->touchUp({50, 150});
    EXPECT_EQ(pad->reports.size(), 1u);

    pad->reports.clear();
    window->touchDown({50, 150});
    RunLoop::main().advance(0.5);
    window->touchMove({150, 150});
    RunLoop::main().advance(0.5);  // 1.0 s in all, but only 0.5 s on "8"
    EXPECT_TRUE(pad->reports.empty());
    RunLoop::main().advance(0.25);
    EXPECT_EQ(pad->reports, std::vector<std::string>{"long 8"});
    window->touchUp({150, 150});
    EXPECT_EQ(pad->reports.size(), 1u);
}

TEST_F(KeypadDriverTest, OwnTouchesOfTheEraseKeyAndTouchesStartingOutsideKeys) {
    window->touchDown({250, 150});
    window->touchUp({250, 150});
    EXPECT_EQ(erased, 1);
    EXPECT_TRUE(pad->reports.empty());
    // Beginning on the gap between keys reports nothing, even when sliding onto a key.
    window->touchDown({100, 150});
    window->touchMove({50, 150});
    window->touchUp({50, 150});
    EXPECT_TRUE(pad->reports.empty());
    // A pad that is destroyed with a long press pending is never called.
    window->touchDown({50, 150});
    auto gone = pad->removeFromSuperview();
    gone.reset();
    RunLoop::main().advance(1);
    window->touchUp({50, 150});
}
