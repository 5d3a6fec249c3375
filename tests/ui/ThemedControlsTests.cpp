#include "tests/ui/UiTest.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorScrollView.h"
#include "ui/CalculatorSwitch.h"

#include <gtest/gtest.h>

using namespace ostrelo;
using uikit::Color;
using uikit::Rect;

class ThemedControlsTest : public uitest::UiTest {};

TEST_F(ThemedControlsTest, ColourChoicesAndBackgrounds) {
    auto* scroll = window->add(std::make_unique<CalculatorScrollView>(Rect(0, 0, 200, 50)));
    auto* toggle = window->add(std::make_unique<CalculatorSwitch>(Rect(0, 0, 51, 31)));
    auto* picker = window->add(std::make_unique<CalculatorPicker>(Rect(0, 0, 100, 100)));
    EXPECT_EQ(scroll->color(), 1);
    EXPECT_EQ(toggle->color(), 1);
    EXPECT_EQ(picker->color(), 1);
    for (const bool dark : {true, false}) {
        dark ? applyDarkTheme() : applyLightTheme();
        const std::optional<Color> backgrounds[] = {Color::clear(), standardBackgroundColor(), digitBackgroundColor()};
        for (int raw = 0; raw <= 2; ++raw) {
            scroll->setColor(raw);
            toggle->setColor(raw);
            EXPECT_EQ(scroll->color(), raw);
            EXPECT_EQ(toggle->color(), raw);
            for (uikit::View* view : {static_cast<uikit::View*>(scroll), static_cast<uikit::View*>(toggle)}) {
                view->setNeedsLayout();
                view->layoutIfNeeded();
                EXPECT_EQ(view->backgroundColor(), backgrounds[raw]);
            }
        }
        picker->setColor(0);
        picker->setNeedsLayout();
        picker->layoutIfNeeded();
        EXPECT_EQ(picker->backgroundColor(), Color::clear());
        picker->setColor(1);
        picker->setNeedsLayout();
        picker->layoutIfNeeded();
        EXPECT_EQ(picker->backgroundColor(), functionBackgroundColor());
    }
    for (int raw : {5, 3, -1}) {
        scroll->setColor(0);
        toggle->setColor(0);
        scroll->setColor(raw);
        toggle->setColor(raw);
        EXPECT_EQ(scroll->myScrollBackgroundColor, CalculatorScrollView::ScrollBackgroundColor::standard);
        EXPECT_EQ(toggle->mySwitchBackgroundColor, CalculatorSwitch::SwitchBackgroundColor::standard);
    }
    for (int raw : {7, 2, -1}) {
        picker->setColor(0);
        picker->setColor(raw);
        EXPECT_EQ(picker->myPickerBackgroundColor, CalculatorPicker::PickerBackgroundColor::standard);
    }
    EXPECT_FALSE(CalculatorScrollView::scrollBackgroundColorFromRawValue(3).has_value());
    EXPECT_FALSE(CalculatorSwitch::switchBackgroundColorFromRawValue(-1).has_value());
    EXPECT_FALSE(CalculatorPicker::pickerBackgroundColorFromRawValue(2).has_value());
    EXPECT_EQ(CalculatorPicker::pickerBackgroundColorFromRawValue(0), CalculatorPicker::PickerBackgroundColor::empty);
    std::string error;
    EXPECT_TRUE(picker->setProperty("color", "0", error));
    EXPECT_EQ(picker->color(), 0);
    EXPECT_TRUE(scroll->setProperty("color", "2", error));
    EXPECT_EQ(scroll->color(), 2);
    EXPECT_TRUE(toggle->setProperty("color", "0", error));
    EXPECT_EQ(toggle->color(), 0);
}

TEST_F(ThemedControlsTest, ScrollViewKeepsTheEndOfItsContentInView) {
    auto* scroll = window->add(std::make_unique<CalculatorScrollView>(Rect(0, 0, 200, 50)));
    scroll->setContentSize({300, 50});
    scroll->layoutIfNeeded();
    EXPECT_EQ(scroll->contentOffset(), (uikit::Point{100, 0}));
    EXPECT_EQ(scroll->myContentWidth, 300);
    EXPECT_EQ(scroll->myViewWidth, 200);

    // The user's offset stays while neither width changes.
    scroll->setContentOffset({20, 0});
    scroll->setNeedsLayout();
    scroll->layoutIfNeeded();
    EXPECT_EQ(scroll->contentOffset(), (uikit::Point{20, 0}));

    scroll->setContentSize({150, 50});
    scroll->layoutIfNeeded();
    EXPECT_EQ(scroll->contentOffset(), (uikit::Point{-50, 0}));

    scroll->setFrame({0, 0, 100, 50});
    scroll->layoutIfNeeded();
    EXPECT_EQ(scroll->contentOffset(), (uikit::Point{50, 0}));
}

TEST_F(ThemedControlsTest, DisplayLinesSizeTheStripSoTheEndOfTheTextShows) {
    auto* display = window->add(std::make_unique<uikit::View>(Rect(0, 100, 200, 100)));
    auto* strip = display->add(std::make_unique<CalculatorScrollView>(Rect(0, 0, 200, 100)));
    auto* primary = strip->add(std::make_unique<CalculatorCalcLabel>());
    auto* secondary = strip->add(std::make_unique<CalculatorCalcLabel>());
    primary->relativeFrame = Rect(0, 0, 1, 0.6);
    secondary->relativeFrame = Rect(0, 0.6, 1, 0.4);
    host->runUntilIdle();
    primary->setText("12");
    secondary->setText("12");
    host->runUntilIdle();
    EXPECT_EQ(strip->contentSize(), (uikit::Size{200, 100}));
    EXPECT_EQ(strip->contentOffset(), (uikit::Point{0, 0}));
    EXPECT_EQ(primary->frame(), Rect(0, 0, 200, 60));

    // Too long for the strip even at the smallest size: the content grows and scrolls to its end,
    // where both lines end (the short one too).
    primary->setText("1234567890×9876543210×1234567890×9876543210");
    host->runUntilIdle();
    const double content = strip->contentSize().width;
    EXPECT_GT(content, 400);
    EXPECT_GE(primary->frame().width(), primary->measuredTextSize().width);
    EXPECT_EQ(primary->frame().maxX(), content);
    EXPECT_EQ(secondary->frame(), Rect(0, 60, content, 40));
    EXPECT_EQ(strip->contentOffset(), (uikit::Point{content - 200, 0}));

    // A taller strip fits the text larger; the content follows within the same layout pass.
    display->setFrame(Rect(0, 100, 200, 150));
    strip->setFrame(Rect(0, 0, 200, 150));
    host->runUntilIdle();
    EXPECT_GT(strip->contentSize().width, content);
    EXPECT_GE(primary->frame().width(), primary->measuredTextSize().width);
    EXPECT_EQ(strip->contentOffset().x, strip->contentSize().width - 200);
    display->setFrame(Rect(0, 100, 200, 100));
    strip->setFrame(Rect(0, 0, 200, 100));
    host->runUntilIdle();
    EXPECT_EQ(strip->contentSize().width, content);

    // The user scrolls back; the same text again leaves the offset, a short one brings it home.
    strip->dragBy(-100, 0);
    primary->setText(primary->text());
    host->runUntilIdle();
    EXPECT_EQ(strip->contentOffset(), (uikit::Point{content - 300, 0}));
    primary->setText("3");
    host->runUntilIdle();
    EXPECT_EQ(strip->contentSize(), (uikit::Size{200, 100}));
    EXPECT_EQ(strip->contentOffset(), (uikit::Point{0, 0}));
    EXPECT_EQ(secondary->frame(), Rect(0, 60, 200, 40));
}

TEST_F(ThemedControlsTest, PickerBorderLines) {
    auto count = [](uikit::View* view, const std::string& name) {
        int n = 0;
        for (const auto& layer : view->layer().sublayers()) n += layer->name == name;
        return n;
    };
    auto* atEdge = window->add(std::make_unique<CalculatorPicker>(Rect(0, 100, 160, 120)));
    auto* inside = window->add(std::make_unique<CalculatorPicker>(Rect(10, 100, 160, 120)));
    for (int pass = 0; pass < 3; ++pass) {
        for (auto* picker : {atEdge, inside}) {
            picker->setNeedsLayout();
            picker->layoutIfNeeded();
        }
    }
    EXPECT_EQ(count(atEdge, "borderTop"), 1);
    EXPECT_EQ(count(atEdge, "borderLeft"), 0);
    EXPECT_EQ(count(inside, "borderTop"), 1);
    EXPECT_EQ(count(inside, "borderLeft"), 1);
    EXPECT_EQ(inside->layer().sublayerNamed("borderTop")->frame(), Rect(0, 0, 160, 0.5));
    EXPECT_EQ(inside->layer().sublayerNamed("borderLeft")->frame(), Rect(0, 0, 0.5, 120));
    EXPECT_EQ(inside->layer().sublayerNamed("borderLeft")->backgroundColor, borderColor());
    EXPECT_EQ(inside->myViewWidth, 160);
    EXPECT_EQ(inside->myViewHeight, 120);

    // A transform (a press or pulse) never adds or resizes a line.
    atEdge->setTransform(uikit::AffineTransform::scale(0.9, 0.9));
    atEdge->setNeedsLayout();
    atEdge->layoutIfNeeded();
    EXPECT_EQ(count(atEdge, "borderLeft"), 0);
    EXPECT_EQ(atEdge->layer().sublayerNamed("borderTop")->frame(), Rect(0, 0, 160, 0.5));
}
