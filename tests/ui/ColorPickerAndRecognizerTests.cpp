#include "platform/uikit/AudioServices.h"
#include "platform/uikit/GraphicsContext.h"
#include "tests/ui/UiTest.h"
#include "ui/ButtonShapesProbe.h"
#include "ui/CalculatorColorPicker.h"
#include "ui/CalculatorRecognizer.h"

#include <gtest/gtest.h>

using namespace ostrelo;
using uikit::Color;
using uikit::GestureRecognizer;
using uikit::Point;
using uikit::Rect;

namespace {

struct Touched {
    Color color;
    Point point;
    GestureRecognizer::State state;
};

class PickerRecorder : public CalculatorColorPickerDelegate {
public:
    std::vector<Touched> touches;
    void colorPickerTouched(CalculatorColorPicker&, const Color& color, Point point,
                            GestureRecognizer::State state) override {
        touches.push_back({color, point, state});
    }
};

class FillRecorder : public uikit::GraphicsContext {
public:
    std::vector<std::pair<Rect, Color>> fills;
    Color fill;
    void saveState() override {}
    void restoreState() override {}
    void concat(const uikit::AffineTransform&) override {}
    void clipToRect(const Rect&) override {}
    void setFillColor(const Color& color) override { fill = color; }
    void setStrokeColor(const Color&) override {}
    void setLineWidth(double) override {}
    void fillRect(const Rect& rect) override { fills.emplace_back(rect, fill); }
    void fillPath(const uikit::BezierPath&) override {}
    void strokePath(const uikit::BezierPath&) override {}
    void drawText(const uikit::AttributedString&, const Rect&, uikit::TextAlignment, uikit::LineBreakMode, int) override {}
};

void expectColor(const Color& actual, const Color& expected) {
    EXPECT_NEAR(actual.red, expected.red, 1e-9);
    EXPECT_NEAR(actual.green, expected.green, 1e-9);
    EXPECT_NEAR(actual.blue, expected.blue, 1e-9);
    EXPECT_EQ(actual.alpha, 1);
}

}  // namespace

class ColorPickerTest : public uitest::UiTest {};

TEST_F(ColorPickerTest, CellColours) {
    auto* picker = window->add(std::make_unique<CalculatorColorPicker>(Rect(0, 0, 100, 100)));
    EXPECT_EQ(picker->elements(), 1.0);
    EXPECT_TRUE(picker->clipsToBounds());
    picker->setElements(10);
    expectColor(*picker->colorAtPoint({55, 25}), Color::fromHSB(0.5, 0.4f, 1.0));
    expectColor(*picker->colorAtPoint({5, 75}), Color::fromHSB(0.0, 0.6f, 0.6));
    expectColor(*picker->colorAtPoint({0, 0}), Color::white());
    expectColor(*picker->colorAtPoint({99, 50}), Color::fromHSB(0.9, 1.0, 1.0));
    expectColor(*picker->colorAtPoint({30, 90}), Color::fromHSB(0.3, 0.2f, 0.2));

    // One cell: one white rectangle over everything.
    FillRecorder context;
    {
        uikit::GraphicsContext::Scope scope(&context);
        picker->setElements(1);
        picker->drawRect(picker->bounds());
    }
    ASSERT_EQ(context.fills.size(), 1u);
    EXPECT_EQ(context.fills[0].first, Rect(0, 0, 100, 100));
    expectColor(context.fills[0].second, Color::white());

    // Four by four cells, each coloured by its corner.
    context.fills.clear();
    {
        uikit::GraphicsContext::Scope scope(&context);
        picker->setElements(4);
        picker->drawRect({0, 0, 100, 100});
    }
    ASSERT_EQ(context.fills.size(), 16u);
    EXPECT_EQ(context.fills[5].first, Rect(25, 25, 25, 25));
    expectColor(context.fills[5].second, Color::fromHSB(0.25, 0.5f, 1.0));
    EXPECT_EQ(context.fills[15].first, Rect(75, 75, 25, 25));
    expectColor(context.fills[15].second, Color::fromHSB(0.75, 0.5f, 0.5));

    // No cells, or nothing to draw in: nothing drawn, nothing found.
    for (double elements : {0.0, -2.0}) {
        context.fills.clear();
        uikit::GraphicsContext::Scope scope(&context);
        picker->setElements(elements);
        picker->drawRect(picker->bounds());
        EXPECT_TRUE(context.fills.empty());
        EXPECT_FALSE(picker->colorAtPoint({10, 10}).has_value());
    }
    picker->setElements(3);
    context.fills.clear();
    uikit::GraphicsContext::Scope scope(&context);
    picker->drawRect({0, 0, 0, 100});
    EXPECT_TRUE(context.fills.empty());
}

TEST_F(ColorPickerTest, CellsStartAtWholeMultiplesOfTheCellSize) {
    // 60 / 7 does not add up exactly: summing the cell width seven times stays just below 60,
    // yet the grid still has exactly seven cells a row, the k-th at k × the cell width.
    auto* picker = window->add(std::make_unique<CalculatorColorPicker>(Rect(0, 0, 60, 60)));
    FillRecorder context;
    const double cell = 60.0 / 7;
    for (const Rect& area : {Rect(0, 0, 60, 60), Rect(0, 0, 1, 1)}) {
        const double w = area.size.width / 7;
        context.fills.clear();
        uikit::GraphicsContext::Scope scope(&context);
        picker->setElements(7);
        picker->drawRect(area);
        ASSERT_EQ(context.fills.size(), 49u) << area.size.width;
        for (int row = 0; row < 7; ++row) {
            for (int column = 0; column < 7; ++column) {
                const auto& [rect, color] = context.fills[static_cast<std::size_t>(row * 7 + column)];
                EXPECT_EQ(rect, Rect(column * w, row * w, w, w)) << row << " " << column;
                EXPECT_EQ(color, CalculatorColorPicker::cellColor(column * w, row * w, area.size.width,
                                                                  area.size.height));
            }
        }
    }
    expectColor(*picker->colorAtPoint({59.9, 0}), Color::fromHSB(6 * cell / 60, 0, 1.0));
}

TEST_F(ColorPickerTest, TouchesReportTheColourUnderTheFinger) {
    auto* picker = window->add(std::make_unique<CalculatorColorPicker>(Rect(20, 20, 100, 100)));
    picker->setElements(10);
    auto recorder = std::make_shared<PickerRecorder>();
    picker->setDelegate(recorder.get(), recorder);

    window->touchDown({75, 45});
    ASSERT_EQ(recorder->touches.size(), 1u);
    EXPECT_EQ(recorder->touches[0].point, (Point{55, 25}));
    EXPECT_EQ(recorder->touches[0].state, GestureRecognizer::began);
    expectColor(recorder->touches[0].color, Color::fromHSB(0.5, 0.4f, 1.0));
    window->touchMove({25, 95});
    ASSERT_EQ(recorder->touches.size(), 2u);
    EXPECT_EQ(recorder->touches[1].state, GestureRecognizer::changed);
    expectColor(recorder->touches[1].color, Color::fromHSB(0.0, 0.6f, 0.6));
    // Outside the picker (at its width, or left of it): computed and dropped.
    window->touchMove({120, 50});
    window->touchMove({10, 50});
    EXPECT_EQ(recorder->touches.size(), 2u);
    window->touchMove({300, 300});
    window->touchUp({30, 30});
    ASSERT_EQ(recorder->touches.size(), 3u);
    EXPECT_EQ(recorder->touches[2].state, GestureRecognizer::ended);

    // No cells: nothing reported.
    picker->setElements(0);
    window->touchDown({75, 45});
    window->touchUp({75, 45});
    EXPECT_EQ(recorder->touches.size(), 3u);
    picker->setElements(10);

    // The delegate is not kept alive.
    recorder.reset();
    window->touchDown({75, 45});
    window->touchUp({75, 45});
    EXPECT_EQ(picker->delegate(), nullptr);

    std::string error;
    EXPECT_TRUE(picker->setProperty("elements", "12", error));
    EXPECT_EQ(picker->elements(), 12);
    EXPECT_FALSE(picker->setProperty("elements", "many", error));
}

class DeepPressTest : public uitest::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        uikit::AudioServices::clearRequests();
        target = window->add(std::make_unique<uikit::View>(Rect(10, 10, 100, 80)));
        auto made = std::make_unique<CalculatorRecognizer>([this](GestureRecognizer& r) { states.push_back(r.state()); },
                                                           links.weak(), 0.5, true);
        recognizer = made.get();
        target->addGestureRecognizer(std::move(made));
    }
    int vibrations() const {
        int n = 0;
        for (const auto& request : uikit::AudioServices::requests()) n += request.alert && request.soundID == 4095;
        return n;
    }
    uikit::View* target = nullptr;
    CalculatorRecognizer* recognizer = nullptr;
    std::vector<GestureRecognizer::State> states;
    foundation::Lifetime links;
};

TEST_F(DeepPressTest, PulseOnceAtTheThresholdEndWhenTheForceDrops) {
    window->touchDown({50, 50}, 1, 10);
    EXPECT_EQ(recognizer->state(), GestureRecognizer::possible);
    window->touchMove({50, 50}, 6);
    EXPECT_TRUE(recognizer->deepPressed);
    EXPECT_EQ(states, (std::vector<GestureRecognizer::State>{GestureRecognizer::began}));
    EXPECT_EQ(recognizer->pulse->superlayer(), &target->layer());
    EXPECT_EQ(recognizer->pulse->path, uikit::BezierPath::roundedRect({0, 0, 100, 80}, 5));
    EXPECT_EQ(vibrations(), 1);
    window->touchMove({50, 50}, 8);
    EXPECT_EQ(vibrations(), 1);
    EXPECT_EQ(states.size(), 1u);
    window->touchMove({50, 50}, 3);
    EXPECT_EQ(states.back(), GestureRecognizer::ended);
    EXPECT_FALSE(recognizer->deepPressed);
    window->touchUp({50, 50});
    advance(0.3);
    EXPECT_EQ(recognizer->pulse->superlayer(), nullptr);

    // Deep press, then lift.
    states.clear();
    window->touchDown({50, 50}, 5, 10);
    EXPECT_EQ(states, (std::vector<GestureRecognizer::State>{GestureRecognizer::began}));
    window->touchUp({50, 50});
    EXPECT_EQ(states.back(), GestureRecognizer::ended);

    // Never past the threshold: failed.
    states.clear();
    window->touchDown({50, 50}, 2, 10);
    window->touchMove({50, 50}, 4.9);
    window->touchUp({50, 50});
    EXPECT_TRUE(states.empty());
    EXPECT_EQ(vibrations(), 2);
}

TEST_F(DeepPressTest, NoForceInformationNeverTriggersAndVibrationIsOptional) {
    window->touchDown({50, 50}, 0, 10);
    window->touchMove({50, 50}, 0);
    window->touchUp({50, 50});
    window->touchDown({50, 50}, 5, 0);
    window->touchUp({50, 50});
    EXPECT_TRUE(states.empty());
    recognizer->vibrateOnDeepPress = false;
    window->touchDown({50, 50}, 9, 10);
    EXPECT_EQ(states.size(), 1u);
    EXPECT_EQ(vibrations(), 0);
    window->touchUp({50, 50});
}

TEST_F(DeepPressTest, ACancelledDeepPressEndsAsCancelledAndTheNextOneWorks) {
    window->touchDown({50, 50}, 7, 10);
    EXPECT_TRUE(recognizer->deepPressed);
    window->touchCancel();
    EXPECT_EQ(states, (std::vector<GestureRecognizer::State>{GestureRecognizer::began, GestureRecognizer::cancelled}));
    EXPECT_FALSE(recognizer->deepPressed);
    EXPECT_EQ(recognizer->state(), GestureRecognizer::possible);

    window->touchDown({50, 50}, 7, 10);
    EXPECT_EQ(states.back(), GestureRecognizer::began);
    EXPECT_EQ(states.size(), 3u);
    window->touchUp({50, 50});
    EXPECT_EQ(states.back(), GestureRecognizer::ended);
}

TEST(ButtonShapes, PlainTitlesMeanTheSettingIsOff) { EXPECT_FALSE(isButtonShapesEnabled()); }
