#include "platform/foundation/RunLoop.h"
#include "platform/uikit/ShapeLayer.h"
#include "platform/uikit/Transaction.h"
#include "platform/uikit/View.h"

#include <gtest/gtest.h>

using namespace uikit;
using foundation::RunLoop;

namespace {
class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useVirtualTime();
        View::setAnimationsEnabled(true);
    }
    void TearDown() override { View::setAnimationsEnabled(true); }
};

// The ring animation of a long press: path, opacity and line width, held at their ends.
void startRing(ShapeLayer& layer, const Rect& rect, bool* completed) {
    layer.path = BezierPath::roundedRect(rect, 5);
    layer.lineWidth = 1;
    BasicAnimation path("path");
    path.toValue = BezierPath::roundedRect(rect.insetBy(-50, -50), 5);
    BasicAnimation opacity("opacity");
    opacity.toValue = 0.0;
    BasicAnimation width("lineWidth");
    width.toValue = 10.0;
    Transaction::begin();
    Transaction::setCompletionBlock([&layer, completed] {
        layer.removeFromSuperlayer();
        if (completed) *completed = true;
    });
    for (BasicAnimation* a : {&path, &opacity, &width}) {
        a->duration = 0.25;
        a->timingFunction = TimingFunction::easeOut();
        a->removedOnCompletion = false;
        a->fillMode = FillMode::forwards;
        layer.addAnimation(*a, a->keyPath);
    }
    Transaction::commit();
}
}  // namespace

TEST_F(AnimationTest, LayerAnimationsMidFlightAndHeldAtTheEndWithFillForwards) {
    auto parent = Layer::make();
    auto ring = ShapeLayer::make();
    parent->addSublayer(ring);
    bool completed = false;
    startRing(*ring, Rect(10, 10, 80, 60), &completed);
    // From the model values at the start.
    EXPECT_EQ(ring->presentedPath().bounds(), Rect(10, 10, 80, 60));
    EXPECT_DOUBLE_EQ(ring->presentedOpacity(), 1.0);
    RunLoop::main().advance(0.125);
    double progress = TimingFunction::easeOut().evaluate(0.5);
    EXPECT_NEAR(ring->presentedLineWidth(), 1 + 9 * progress, 1e-9);
    EXPECT_NEAR(ring->presentedOpacity(), 1 - progress, 1e-9);
    EXPECT_GT(ring->presentedPath().bounds().width(), 80);
    EXPECT_FALSE(completed);
    RunLoop::main().advance(0.125);
    EXPECT_TRUE(completed);
    // Held at the end: the ring (-40, -40, 180, 160), 10 wide and transparent; the model is unchanged.
    EXPECT_EQ(ring->presentedPath().bounds(), Rect(-40, -40, 180, 160));
    EXPECT_DOUBLE_EQ(ring->presentedLineWidth(), 10);
    EXPECT_DOUBLE_EQ(ring->presentedOpacity(), 0);
    EXPECT_DOUBLE_EQ(ring->lineWidth, 1);
    EXPECT_EQ(ring->superlayer(), nullptr);
    EXPECT_EQ(ring->animationKeys().size(), 3u);

    // A second start replaces the animations (same keys) and begins again from the start values.
    parent->addSublayer(ring);
    completed = false;
    startRing(*ring, Rect(10, 10, 80, 60), &completed);
    EXPECT_EQ(ring->animationKeys().size(), 3u);
    EXPECT_EQ(ring->presentedPath().bounds(), Rect(10, 10, 80, 60));
    RunLoop::main().advance(0.3);
    EXPECT_TRUE(completed);
}

TEST_F(AnimationTest, RemovedOnCompletionShowsTheModelValueAfterwards) {
    auto layer = Layer::make();
    BasicAnimation fade("opacity");
    fade.fromValue = 1.0;
    fade.toValue = 0.0;
    fade.duration = 1.0;
    fade.timingFunction = TimingFunction::linear();
    bool finished = false;
    fade.didStop = [&](bool done) { finished = done; };
    layer->setOpacity(0.5);
    layer->addAnimation(fade, "fade");
    RunLoop::main().advance(0.25);
    EXPECT_NEAR(layer->presentedOpacity(), 0.75, 1e-12);
    RunLoop::main().advance(0.75);
    EXPECT_TRUE(finished);
    EXPECT_EQ(layer->animationForKey("fade"), nullptr);
    EXPECT_DOUBLE_EQ(layer->presentedOpacity(), 0.5);

    // Replacing by key stops the old one (reported unfinished).
    bool firstFinished = true;
    BasicAnimation first("opacity");
    first.toValue = 0.0;
    first.didStop = [&](bool done) { firstFinished = done; };
    layer->addAnimation(first, "k");
    BasicAnimation second("opacity");
    second.toValue = 1.0;
    layer->addAnimation(second, "k");
    EXPECT_FALSE(firstFinished);
    EXPECT_EQ(layer->animationKeys(), std::vector<std::string>{"k"});
    // Properties a layer does not have are not animated.
    layer->addAnimation(BasicAnimation("path"), "p");
    EXPECT_EQ(layer->animationForKey("p"), nullptr);
}

TEST_F(AnimationTest, TransactionCompletionWaitsForAllAndRunsEvenWithoutAnimations) {
    int completions = 0;
    Transaction::begin();
    Transaction::setCompletionBlock([&] { ++completions; });
    Transaction::commit();
    EXPECT_EQ(completions, 0);  // on the run loop, not inside commit
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(completions, 1);

    auto layer = Layer::make();
    Transaction::begin();
    Transaction::setCompletionBlock([&] { ++completions; });
    BasicAnimation shortOne("opacity");
    shortOne.toValue = 0.0;
    shortOne.duration = 0.1;
    BasicAnimation longOne("cornerRadius");
    longOne.toValue = 10.0;
    longOne.duration = 0.5;
    layer->addAnimation(shortOne, "a");
    layer->addAnimation(longOne, "b");
    Transaction::commit();
    RunLoop::main().advance(0.2);
    EXPECT_EQ(completions, 1);
    // Removing the remaining animation completes the transaction too.
    layer->removeAnimation("b");
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(completions, 2);
}

TEST_F(AnimationTest, ViewAnimationsSetTheModelAtOnceAndAnimateThePresentedValue) {
    View view(Rect(0, 0, 60, 40));
    bool done = false;
    unsigned options = ViewAnimationOptionAllowUserInteraction | ViewAnimationOptionOverrideInheritedOptions |
                       ViewAnimationOptionCurveEaseIn;
    EXPECT_EQ(options, 0x10202u);
    View::animate(0.2, 0, options, [&] { view.setTransform(AffineTransform::scale(50.0 / 60, 30.0 / 40)); },
                  [&](bool) { done = true; });
    EXPECT_EQ(view.transform(), AffineTransform::scale(50.0 / 60, 30.0 / 40));
    EXPECT_EQ(view.frame(), Rect(5, 5, 50, 30));
    EXPECT_TRUE(view.layer().presentedTransform().isIdentity());
    RunLoop::main().advance(0.1);
    double p = TimingFunction::easeIn().evaluate(0.5);
    EXPECT_NEAR(view.layer().presentedTransform().a, 1 + (50.0 / 60 - 1) * p, 1e-9);
    EXPECT_FALSE(done);
    RunLoop::main().advance(0.1);
    EXPECT_TRUE(done);
    EXPECT_EQ(view.layer().presentedTransform(), view.transform());
    EXPECT_FALSE(view.layer().hasAnimations());

    // A delay holds the old value until the animation begins.
    View::animate(0.5, 0.5, 0, [&] { view.setAlpha(0); });
    RunLoop::main().advance(0.4);
    EXPECT_DOUBLE_EQ(view.layer().presentedOpacity(), 1.0);
    RunLoop::main().advance(0.7);
    EXPECT_DOUBLE_EQ(view.layer().presentedOpacity(), 0.0);
}

TEST_F(AnimationTest, ViewAnimationsCanBeSwitchedOff) {
    View view(Rect(0, 0, 10, 10));
    View::setAnimationsEnabled(false);
    EXPECT_FALSE(View::areAnimationsEnabled());
    bool done = false;
    View::animate(1.0, [&] { view.setAlpha(0.5); }, [&](bool) { done = true; });
    EXPECT_FALSE(view.layer().hasAnimations());
    EXPECT_DOUBLE_EQ(view.layer().presentedOpacity(), 0.5);
    RunLoop::main().runUntilIdle();
    EXPECT_TRUE(done);
    View::setAnimationsEnabled(true);
    View::performWithoutAnimation([&] { View::animate(1.0, [&] { view.setAlpha(1); }); });
    EXPECT_FALSE(view.layer().hasAnimations());
    EXPECT_TRUE(View::areAnimationsEnabled());
}

TEST_F(AnimationTest, NothingPendingCallsIntoADestroyedLayerOrView) {
    bool called = false;
    {
        auto layer = Layer::make();
        BasicAnimation a("opacity");
        a.toValue = 0.0;
        a.didStop = [&](bool) { called = true; };
        layer->addAnimation(a, "a");
    }
    RunLoop::main().advance(1.0);
    EXPECT_FALSE(called);

    int fired = 0;
    {
        View view;
        RunLoop::main().perform(&view, view.alive(), 0.75, [&] { ++fired; });
    }
    RunLoop::main().advance(1.0);
    EXPECT_EQ(fired, 0);
}
