#include "tests/ui/UiTest.h"
#include "ui/PulseLayer.h"

#include <gtest/gtest.h>

using namespace ostrelo;
using uikit::BezierPath;
using uikit::Rect;

class PulseLayerTest : public uitest::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        host = window->add(std::make_unique<uikit::View>(Rect(0, 0, 200, 200)));
        pulse = PulseLayer::make();
    }
    uikit::View* host = nullptr;
    std::shared_ptr<PulseLayer> pulse;
};

TEST_F(PulseLayerTest, RingGrowsWidensFadesAndPutsItselfAway) {
    host->layer().addSublayer(pulse);
    pulse->startPulse({10, 10, 80, 60});
    EXPECT_EQ(pulse->strokeColor, pulseColor());
    EXPECT_FALSE(pulse->fillColor.has_value());
    const auto start = BezierPath::roundedRect({10, 10, 80, 60}, 5);
    const auto end = BezierPath::roundedRect({-40, -40, 180, 160}, 5);
    EXPECT_EQ(pulse->path, start);
    EXPECT_EQ(pulse->lineWidth, 1);
    for (const char* key : {"path", "opacity", "lineWidth"}) {
        const auto* animation = pulse->animationForKey(key);
        ASSERT_NE(animation, nullptr) << key;
        EXPECT_DOUBLE_EQ(animation->duration, 0.25);
        EXPECT_EQ(animation->timingFunction, uikit::TimingFunction::easeOut());
        EXPECT_FALSE(animation->removedOnCompletion);
        EXPECT_EQ(animation->fillMode, uikit::FillMode::forwards);
    }

    advance(0.125);
    const double width = pulse->presentedLineWidth();
    EXPECT_GT(width, 1);
    EXPECT_LT(width, 10);
    EXPECT_GT(pulse->presentedOpacity(), 0);
    EXPECT_LT(pulse->presentedOpacity(), 1);
    const Rect midway = pulse->presentedPath().bounds();
    EXPECT_LT(midway.origin.x, 10);
    EXPECT_GT(midway.origin.x, -40);
    EXPECT_EQ(pulse->superlayer(), &host->layer());

    advance(0.2);
    EXPECT_EQ(pulse->superlayer(), nullptr);
    EXPECT_EQ(pulse->presentedPath(), end);
    EXPECT_EQ(pulse->presentedPath().bounds(), Rect(-40, -40, 180, 160));
    EXPECT_DOUBLE_EQ(pulse->presentedLineWidth(), 10);
    EXPECT_DOUBLE_EQ(pulse->presentedOpacity(), 0);
    // The model values never take the end values.
    EXPECT_EQ(pulse->path, start);
    EXPECT_EQ(pulse->lineWidth, 1);
    EXPECT_EQ(pulse->opacity(), 1);

    // The same layer pulses again from the start values, in the colour of the moment.
    applyLightTheme();
    host->layer().addSublayer(pulse);
    pulse->startPulse({0, 0, 20, 20});
    EXPECT_EQ(pulse->strokeColor, pulseColor());
    EXPECT_EQ(pulse->presentedLineWidth(), 1);
    EXPECT_DOUBLE_EQ(pulse->presentedOpacity(), 1);
    advance(0.3);
    EXPECT_EQ(pulse->superlayer(), nullptr);
}

TEST_F(PulseLayerTest, ASecondPulseIsNotCutShortByTheFirst) {
    host->layer().addSublayer(pulse);
    pulse->startPulse({10, 10, 80, 60});
    advance(0.15);
    pulse->startPulse({10, 10, 80, 60});
    EXPECT_EQ(pulse->animationKeys().size(), 3u);
    advance(0.05);
    EXPECT_EQ(pulse->superlayer(), &host->layer());
    advance(0.07);  // past the end of the first pulse
    EXPECT_EQ(pulse->superlayer(), &host->layer());
    EXPECT_LT(pulse->presentedLineWidth(), 10);
    advance(0.15);
    EXPECT_EQ(pulse->superlayer(), nullptr);
}

TEST_F(PulseLayerTest, ALayerGoneBeforeItsEndIsNoProblem) {
    host->layer().addSublayer(pulse);
    pulse->startPulse({0, 0, 10, 10});
    pulse->removeFromSuperlayer();
    pulse.reset();
    advance(1);
    SUCCEED();
}
