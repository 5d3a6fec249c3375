#include "platform/foundation/RunLoop.h"
#include "platform/uikit/LongPressGestureRecognizer.h"
#include "platform/uikit/TapGestureRecognizer.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <gtest/gtest.h>

#include <limits>

using namespace uikit;
using foundation::RunLoop;

namespace {

struct TouchLog : View {
    std::vector<std::string> events;
    using View::View;
    void touchesBegan(const TouchSet&, const Event*) override { events.push_back("began"); }
    void touchesMoved(const TouchSet&, const Event*) override { events.push_back("moved"); }
    void touchesEnded(const TouchSet&, const Event*) override { events.push_back("ended"); }
    void touchesCancelled(const TouchSet&, const Event*) override { events.push_back("cancelled"); }
};

class GestureTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useVirtualTime();
        window = std::make_unique<Window>(Rect(0, 0, 320, 480));
        window->setRootViewController(std::make_unique<ViewController>());
        target = window->rootViewController()->view()->add(std::make_unique<TouchLog>(Rect(0, 0, 200, 200)));
    }
    std::unique_ptr<Window> window;
    TouchLog* target = nullptr;
    foundation::Lifetime links;
};

}  // namespace

TEST_F(GestureTest, TapRecognisesOnLiftAndFailsOnMovement) {
    std::vector<int> states;
    auto* tap = target->addGestureRecognizer(
        std::make_unique<TapGestureRecognizer>([&](GestureRecognizer& r) { states.push_back(r.state()); }, links.weak()));
    window->touchDown({50, 50});
    EXPECT_EQ(tap->state(), GestureRecognizer::possible);
    window->touchUp({52, 51});
    EXPECT_EQ(states, std::vector<int>{3});
    // The view had began, then its touch was cancelled when the tap was recognised.
    EXPECT_EQ(target->events, (std::vector<std::string>{"began", "cancelled"}));
    EXPECT_EQ(tap->state(), GestureRecognizer::possible);  // reset after the sequence
    EXPECT_EQ(tap->locationInView(target), (Point{52, 51}));

    states.clear();
    target->events.clear();
    window->touchDown({50, 50});
    window->touchMove({80, 50});
    EXPECT_EQ(tap->state(), GestureRecognizer::failed);
    window->touchUp({80, 50});
    EXPECT_TRUE(states.empty());
    EXPECT_EQ(target->events, (std::vector<std::string>{"began", "moved", "ended"}));
    EXPECT_EQ(tap->state(), GestureRecognizer::possible);

    // Without cancelling, the view keeps its touches.
    target->events.clear();
    tap->cancelsTouchesInView = false;
    window->touchDown({50, 50});
    window->touchUp({50, 50});
    EXPECT_EQ(target->events, (std::vector<std::string>{"began", "ended"}));
}

TEST_F(GestureTest, LongPressBeginsAfterItsDurationThenChangesAndEnds) {
    std::vector<int> states;
    auto recognizer = std::make_unique<LongPressGestureRecognizer>([&](GestureRecognizer& r) { states.push_back(r.state()); },
                                                                  links.weak());
    recognizer->minimumPressDuration = 0.75;
    auto* press = target->addGestureRecognizer(std::move(recognizer));
    window->touchDown({50, 50});
    RunLoop::main().advance(0.74);
    EXPECT_TRUE(states.empty());
    RunLoop::main().advance(0.01);
    EXPECT_EQ(states, std::vector<int>{1});
    EXPECT_EQ(target->events, (std::vector<std::string>{"began", "cancelled"}));
    window->touchMove({60, 60});
    window->touchUp({60, 60});
    EXPECT_EQ(states, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(press->state(), GestureRecognizer::possible);

    // Lifting early fails it; moving too far fails it; the timer never fires afterwards.
    states.clear();
    window->touchDown({50, 50});
    RunLoop::main().advance(0.3);
    window->touchUp({50, 50});
    RunLoop::main().advance(2);
    EXPECT_TRUE(states.empty());
    window->touchDown({50, 50});
    window->touchMove({50, 70});
    EXPECT_EQ(press->state(), GestureRecognizer::failed);
    RunLoop::main().advance(2);
    window->touchUp({50, 70});
    EXPECT_TRUE(states.empty());
}

TEST_F(GestureTest, ZeroDurationAndUnlimitedMovementReportEveryTouchAtOnce) {
    std::vector<std::pair<int, Point>> seen;
    auto recognizer = std::make_unique<LongPressGestureRecognizer>();
    recognizer->minimumPressDuration = 0;
    recognizer->allowableMovement = std::numeric_limits<double>::max();
    auto* press = target->addGestureRecognizer(std::move(recognizer));
    press->addTarget([&](GestureRecognizer& r) { seen.emplace_back(r.state(), r.locationInView(target)); }, links.weak());
    window->touchDown({10, 20});
    window->touchMove({400, 20});
    window->touchUp({400, 20});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], (std::pair<int, Point>{1, {10, 20}}));
    EXPECT_EQ(seen[1].first, 2);
    EXPECT_EQ(seen[2], (std::pair<int, Point>{3, {400, 20}}));
}

TEST_F(GestureTest, SeveralRecognisersOnOneViewAndSubclassesSeeTouchesFirst) {
    struct ForceRecognizer : GestureRecognizer {
        std::vector<std::string>* order;
        double ratio = 0;
        void touchesBegan(const TouchSet& t, const Event*) override {
            order->push_back("recogniser");
            ratio = t.front()->force / t.front()->maximumPossibleForce;
        }
        void touchesEnded(const TouchSet&, const Event*) override { setState(failed); }
    };
    struct OrderView : View {
        std::vector<std::string>* order;
        using View::View;
        void touchesBegan(const TouchSet&, const Event*) override { order->push_back("view"); }
    };
    std::vector<std::string> order;
    auto* view = window->rootViewController()->view()->add(std::make_unique<OrderView>(Rect(250, 250, 50, 50)));
    view->order = &order;
    auto force = std::make_unique<ForceRecognizer>();
    force->order = &order;
    auto* forceRaw = static_cast<ForceRecognizer*>(view->addGestureRecognizer(std::move(force)));
    int taps = 0;
    view->addGestureRecognizer(std::make_unique<TapGestureRecognizer>([&](GestureRecognizer&) { ++taps; }, links.weak()));
    window->touchDown({260, 260}, 3.0, 6.0);
    EXPECT_EQ(order, (std::vector<std::string>{"recogniser", "view"}));
    EXPECT_DOUBLE_EQ(forceRaw->ratio, 0.5);
    window->touchUp({260, 260});
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(forceRaw->state(), GestureRecognizer::possible);

    // A recogniser destroyed with its view mid-touch is not called again.
    window->touchDown({260, 260});
    auto gone = view->removeFromSuperview();
    gone.reset();
    window->touchUp({260, 260});
    EXPECT_EQ(taps, 1);
}

TEST_F(GestureTest, AHandlerThatEndsTheTouchOrDestroysItsViewIsSafe) {
    struct Ender : View {
        Window* window_;
        Ender(Window* w, Rect f) : View(f), window_(w) {}
        void touchesBegan(const TouchSet&, const Event*) override { window_->touchCancel(); }
    };
    auto* ender = window->rootViewController()->view()->add(std::make_unique<Ender>(window.get(), Rect(250, 0, 50, 50)));
    std::vector<int> states;
    ender->addGestureRecognizer(std::make_unique<TapGestureRecognizer>([&](GestureRecognizer& r) { states.push_back(r.state()); }, links.weak()));
    window->touchDown({260, 10});
    EXPECT_FALSE(window->touchActive());
    window->touchUp({260, 10});  // nothing is down any more
    EXPECT_TRUE(states.empty());

    // A recogniser whose action removes its own view.
    auto* doomed = window->rootViewController()->view()->add(std::make_unique<View>(Rect(250, 100, 50, 50)));
    int fired = 0;
    doomed->addGestureRecognizer(std::make_unique<TapGestureRecognizer>([&](GestureRecognizer& r) {
        ++fired;
        auto gone = r.view()->removeFromSuperview();
    }, links.weak()));
    window->touchDown({260, 110});
    window->touchUp({260, 110});
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(window->touchActive());
}
