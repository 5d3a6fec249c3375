#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Timer.h"
#include "platform/uikit/LongPressGestureRecognizer.h"
#include "platform/uikit/ShapeLayer.h"
#include "platform/uikit/TapGestureRecognizer.h"
#include "platform/uikit/View.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <gtest/gtest.h>

using namespace uikit;
using foundation::RunLoop;

namespace {
class ToolkitEdgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useVirtualTime();
        View::setAnimationsEnabled(true);
    }
    foundation::Lifetime links;
};

struct Logger : View {
    std::vector<std::string>* log;
    Logger(std::vector<std::string>* l, Rect f) : View(f), log(l) {}
    void touchesBegan(const TouchSet&, const Event*) override { log->push_back("began"); }
    void touchesMoved(const TouchSet&, const Event*) override { log->push_back("moved"); }
    void touchesEnded(const TouchSet&, const Event*) override { log->push_back("ended"); }
    void touchesCancelled(const TouchSet&, const Event*) override { log->push_back("cancelled"); }
};
}  // namespace

TEST_F(ToolkitEdgeTest, PointsConvertBetweenViewsInDifferentBranches) {
    View root(Rect(0, 0, 300, 300));
    auto* a = root.add(std::make_unique<View>(Rect(100, 0, 100, 100)));
    auto* a1 = a->add(std::make_unique<View>(Rect(10, 10, 20, 20)));
    auto* b = root.add(std::make_unique<View>(Rect(0, 100, 100, 100)));
    b->setBounds(Rect(0, -10, 100, 100));
    b->setTransform(AffineTransform::scale(2, 2));
    auto* b1 = b->add(std::make_unique<View>(Rect(0, 0, 10, 10)));
    Point p = a1->convertPoint({0, 0}, b1);
    EXPECT_NEAR(p.x, 80, 1e-9);
    EXPECT_NEAR(p.y, -30, 1e-9);
    Point q = b1->convertPointFrom({0, 0}, a1);
    EXPECT_NEAR(q.x, 80, 1e-9);
    EXPECT_NEAR(q.y, -30, 1e-9);
    Point back = b1->convertPoint(p, a1);
    EXPECT_NEAR(back.x, 0, 1e-9);
    EXPECT_NEAR(back.y, 0, 1e-9);
}

TEST_F(ToolkitEdgeTest, AnOuterTransactionCompletesAfterItsNestedOnes) {
    auto layer = Layer::make();
    bool outerDone = false;
    Transaction::begin();
    Transaction::setCompletionBlock([&] { outerDone = true; });
    BasicAnimation shortOne("opacity");
    shortOne.toValue = AnimationValue(0.0);
    shortOne.duration = 0.5;
    layer->addAnimation(shortOne, "a");
    Transaction::begin();
    BasicAnimation longOne("cornerRadius");
    longOne.toValue = AnimationValue(5.0);
    longOne.duration = 2;
    layer->addAnimation(longOne, "b");
    Transaction::commit();
    Transaction::commit();
    RunLoop::main().advance(1);
    EXPECT_FALSE(outerDone);
    RunLoop::main().advance(1.5);
    EXPECT_TRUE(outerDone);
}

TEST_F(ToolkitEdgeTest, ADelayedAnimationHoldsItsStartThenFillsForwards) {
    auto layer = ShapeLayer::make();
    layer->lineWidth = 1;
    BasicAnimation a("lineWidth");
    a.toValue = AnimationValue(10.0);
    a.duration = 1;
    a.beginTime = 1;
    a.removedOnCompletion = false;
    a.fillMode = FillMode::forwards;
    a.timingFunction = TimingFunction::linear();
    layer->addAnimation(a, "lineWidth");
    RunLoop::main().advance(0.5);
    EXPECT_DOUBLE_EQ(std::get<double>(layer->presentedValue("lineWidth", 1.0)), 1.0);
    RunLoop::main().advance(1.0);
    EXPECT_NEAR(std::get<double>(layer->presentedValue("lineWidth", 1.0)), 5.5, 1e-9);
    RunLoop::main().advance(5);
    EXPECT_DOUBLE_EQ(std::get<double>(layer->presentedValue("lineWidth", 1.0)), 10.0);
}

TEST_F(ToolkitEdgeTest, ARecognisedLongPressCancelsTheViewsTouchesAndIsReset) {
    std::vector<std::string> log;
    Window window(Rect(0, 0, 200, 200));
    auto* v = window.add(std::make_unique<Logger>(&log, Rect(0, 0, 100, 100)));
    std::vector<int> states;
    auto* lp = static_cast<LongPressGestureRecognizer*>(v->addGestureRecognizer(
        std::make_unique<LongPressGestureRecognizer>([&](GestureRecognizer& g) { states.push_back(g.state()); },
                                                     links.weak())));
    lp->minimumPressDuration = 0.5;
    window.touchDown({50, 50});
    RunLoop::main().advance(0.6);
    window.touchMove({52, 52});
    window.touchUp({52, 52});
    EXPECT_EQ(log, (std::vector<std::string>{"began", "cancelled"}));
    EXPECT_EQ(states, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(lp->state(), GestureRecognizer::possible);
    log.clear();
    states.clear();
    window.touchDown({50, 50});
    RunLoop::main().advance(0.2);
    window.touchUp({50, 50});
    EXPECT_EQ(log, (std::vector<std::string>{"began", "ended"}));
    EXPECT_TRUE(states.empty());
    RunLoop::main().advance(1);
    EXPECT_TRUE(states.empty());
}

TEST_F(ToolkitEdgeTest, ARepeatingTimerStopsWhenItsTargetIsGone) {
    int fires = 0;
    std::shared_ptr<foundation::Timer> keep;
    {
        auto target = std::make_unique<foundation::Lifetime>();
        keep = foundation::Timer::scheduledTimer(0.1, true, [&](foundation::Timer&) { ++fires; }, target->weak());
        RunLoop::main().advance(0.25);
        EXPECT_EQ(fires, 2);
    }
    RunLoop::main().advance(1);
    EXPECT_EQ(fires, 2);
    EXPECT_FALSE(keep->isValid());
    keep->fire();
    EXPECT_EQ(fires, 2);
}

TEST_F(ToolkitEdgeTest, SizeTransitionCompletionSeesTheSubviewsLaidOut) {
    struct C : ViewController {
        View* child = nullptr;
        double seen = 0;
        double alongside = 0;
        void viewDidLoad() override {
            child = view()->add(std::make_unique<View>());
            child->relativeFrame = Rect(0, 0, 0.5, 1);
        }
        void viewWillTransitionToSize(Size s, TransitionCoordinator& c) override {
            ViewController::viewWillTransitionToSize(s, c);
            c.animateAlongsideTransition([this](TransitionCoordinator&) { alongside = child->frame().size.width; },
                                         [this](TransitionCoordinator&) { seen = child->frame().size.width; });
        }
    };
    Window window(Rect(0, 0, 320, 480));
    auto c = std::make_unique<C>();
    auto* cc = c.get();
    window.setRootViewController(std::move(c));
    EXPECT_EQ(cc->child->frame().size.width, 160);
    window.resize(Size{480, 320});
    EXPECT_EQ(cc->seen, 240);
    EXPECT_EQ(cc->alongside, 160);
}

TEST_F(ToolkitEdgeTest, AnObserverDroppedByAnEarlierBlockIsNotCalled) {
    auto& center = foundation::NotificationCenter::defaultCenter();
    int a = 0, b = 0;
    foundation::NotificationCenter::Token tb;
    auto ta = center.addObserver("edge", nullptr, [&](const foundation::Notification&) {
        ++a;
        tb.reset();
    });
    tb = center.addObserver("edge", nullptr, [&](const foundation::Notification&) { ++b; });
    center.post("edge");
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);
    center.removeObserver(ta);
    center.post("edge");
    EXPECT_EQ(a, 1);
}

TEST_F(ToolkitEdgeTest, ADelayedViewAnimationShowsTheOldValueUntilItStarts) {
    View v(Rect(0, 0, 100, 100));
    bool finished = false;
    View::animate(1.0, 0.5, ViewAnimationOptionCurveLinear, [&] { v.setAlpha(0); }, [&](bool f) { finished = f; });
    EXPECT_EQ(v.alpha(), 0);
    RunLoop::main().advance(0.25);
    EXPECT_DOUBLE_EQ(v.layer().presentedOpacity(), 1.0);
    RunLoop::main().advance(0.75);
    EXPECT_NEAR(v.layer().presentedOpacity(), 0.5, 1e-9);
    EXPECT_FALSE(finished);
    RunLoop::main().advance(0.6);
    EXPECT_TRUE(finished);
    EXPECT_DOUBLE_EQ(v.layer().presentedOpacity(), 0.0);
}

TEST_F(ToolkitEdgeTest, HitTestingSkipsCollapsedViewsAndTransparentAncestors) {
    View root(Rect(0, 0, 300, 300));
    auto* below = root.add(std::make_unique<View>(Rect(0, 0, 300, 300)));
    auto* t = root.add(std::make_unique<View>(Rect(100, 100, 100, 100)));
    t->setTransform(AffineTransform::scale(0, 0));
    EXPECT_EQ(root.hitTest({150, 150}, nullptr), below);
    t->setTransform(AffineTransform::identity());
    auto* inner = t->add(std::make_unique<View>(Rect(0, 0, 100, 100)));
    EXPECT_EQ(root.hitTest({150, 150}, nullptr), inner);
    t->setAlpha(0.005);
    EXPECT_EQ(root.hitTest({150, 150}, nullptr), below);
}
