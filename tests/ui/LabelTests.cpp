#include "platform/foundation/Characters.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/uikit/GraphicsContext.h"
#include "platform/uikit/TextMeasurer.h"
#include "tests/ui/UiTest.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorLabel.h"
#include "ui/CalculatorSettingsLabel.h"
#include "ui/CalculatorView.h"

#include <gtest/gtest.h>

using namespace ostrelo;
using uikit::Color;
using uikit::Rect;

namespace {

// Each character is half its point size wide; a run is as high as its point size plus its raise.
class FakeMeasurer : public uikit::TextMeasurer {
public:
    uikit::Size measure(const uikit::AttributedString& text) const override {
        double width = 0, height = 0;
        for (const auto& run : text.runs()) {
            const double size = run.attributes.font ? run.attributes.font->pointSize : 17;
            width += 0.5 * size * static_cast<double>(foundation::Characters::count(run.text));
            height = std::max(height, size + run.attributes.baselineOffset);
        }
        return {width, height};
    }
};

// Records where text is drawn.
class RecordingContext : public uikit::GraphicsContext {
public:
    std::vector<Rect> textRects;
    void saveState() override {}
    void restoreState() override {}
    void concat(const uikit::AffineTransform&) override {}
    void clipToRect(const Rect&) override {}
    void setFillColor(const Color&) override {}
    void setStrokeColor(const Color&) override {}
    void setLineWidth(double) override {}
    void fillRect(const Rect&) override {}
    void fillPath(const uikit::BezierPath&) override {}
    void strokePath(const uikit::BezierPath&) override {}
    void drawText(const uikit::AttributedString&, const Rect& rect, uikit::TextAlignment, uikit::LineBreakMode,
                  int) override {
        textRects.push_back(rect);
    }
};

double sizeAt(const uikit::AttributedString& text, std::size_t index) { return text.attributesAt(index)->font->pointSize; }

}  // namespace

class LabelTest : public uitest::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        uikit::TextMeasurer::setShared(std::make_shared<FakeMeasurer>());
    }
    void TearDown() override {
        uikit::TextMeasurer::setShared(nullptr);
        UiTest::TearDown();
    }
    using Background = CalculatorCalcLabel::LableBackgroundColor;
    static uikit::AttributedString build(const std::string& text, double height = 100, double width = 1000,
                                         Background background = Background::standard, bool highlight = false) {
        return CalculatorCalcLabel::makeAttributedDisplayText(text, height, width, background, highlight);
    }
};

TEST_F(LabelTest, ThemedLabelsAndTheirColourChoices) {
    auto* label = window->add(std::make_unique<CalculatorLabel>(Rect(0, 0, 100, 30)));
    auto* settings = window->add(std::make_unique<CalculatorSettingsLabel>(Rect(0, 0, 200, 30)));
    EXPECT_EQ(label->myLableBackgroundColor, CalculatorLabel::LableBackgroundColor::standard);
    EXPECT_EQ(settings->color(), 1);
    for (const bool dark : {true, false}) {
        dark ? applyDarkTheme() : applyLightTheme();
        const std::optional<Color> backgrounds[] = {Color::clear(), standardBackgroundColor(), digitBackgroundColor()};
        for (int raw = 0; raw <= 2; ++raw) {
            label->setColor(raw);
            EXPECT_EQ(label->color(), raw);
            label->setNeedsLayout();
            label->layoutIfNeeded();
            EXPECT_EQ(label->backgroundColor(), backgrounds[raw]);
            EXPECT_EQ(label->textColor(), labelTextColor());
        }
    }
    for (int raw : {3, 7, -1}) {
        label->setColor(0);
        label->setColor(raw);
        EXPECT_EQ(label->myLableBackgroundColor, CalculatorLabel::LableBackgroundColor::standard);
    }
    EXPECT_FALSE(CalculatorLabel::lableBackgroundColorFromRawValue(3).has_value());
    EXPECT_EQ(CalculatorLabel::lableBackgroundColorFromRawValue(2), CalculatorLabel::LableBackgroundColor::memory);
    std::string error;
    EXPECT_TRUE(label->setProperty("color", "2", error));
    EXPECT_EQ(label->color(), 2);
    EXPECT_FALSE(label->setProperty("color", "x", error));

    settings->setText("Sound");
    RecordingContext context;
    uikit::GraphicsContext::Scope scope(&context);
    settings->drawRect(settings->bounds());
    ASSERT_EQ(context.textRects.size(), 1u);
    EXPECT_EQ(context.textRects[0], Rect(20, 0, 160, 30));
}

TEST_F(LabelTest, DisplayLabelColourChoices) {
    auto* label = window->add(std::make_unique<CalculatorCalcLabel>(Rect(0, 0, 300, 60)));
    EXPECT_EQ(label->myLableBackgroundColor, Background::standard);
    for (const bool dark : {true, false}) {
        dark ? applyDarkTheme() : applyLightTheme();
        const std::optional<Color> backgrounds[] = {Color::clear(), standardBackgroundColor(), digitBackgroundColor(),
                                                    Color::clear()};
        for (int raw = 0; raw <= 3; ++raw) {
            label->setColor(raw);
            label->setNeedsLayout();
            label->layoutIfNeeded();
            EXPECT_EQ(label->backgroundColor(), backgrounds[raw]);
        }
        EXPECT_EQ(build("12", 100, 1000, Background::standard).attributesAt(0)->foregroundColor, labelTextColor());
        EXPECT_EQ(build("12", 100, 1000, Background::memory).attributesAt(1)->foregroundColor, labelTextColor());
        EXPECT_EQ(build("12", 100, 1000, Background::emptydark).attributesAt(0)->foregroundColor, Color::white());
        EXPECT_EQ(build("12", 100, 1000, Background::empty).attributesAt(0)->foregroundColor, Color::black());
    }
    for (int raw : {4, 7, -1}) {
        label->setColor(3);
        label->setColor(raw);
        EXPECT_EQ(label->myLableBackgroundColor, Background::standard);
    }
    EXPECT_EQ(CalculatorCalcLabel::lableBackgroundColorFromRawValue(3), Background::emptydark);
    EXPECT_FALSE(CalculatorCalcLabel::lableBackgroundColorFromRawValue(4).has_value());
}

TEST_F(LabelTest, TheTextSetIsTheTextReadBack) {
    auto* label = window->add(std::make_unique<CalculatorCalcLabel>(Rect(0, 0, 300, 60)));
    label->setText("2^10");
    EXPECT_EQ(label->text(), "2^10");
    EXPECT_EQ(label->attributedText().string(), "210");
    label->setText("5⁻¹");
    EXPECT_EQ(label->text(), "5⁻¹");
    EXPECT_EQ(label->attributedText().string(), "5−1");
    label->setText("");
    EXPECT_EQ(label->text(), "");
    EXPECT_TRUE(label->attributedText().empty());
}

TEST_F(LabelTest, ExponentsAreRaisedAndSmaller) {
    const auto text = build("2^10");
    ASSERT_EQ(text.string(), "210");
    const double size = sizeAt(text, 0);
    EXPECT_DOUBLE_EQ(sizeAt(text, 1), size * 2 / 3);
    EXPECT_DOUBLE_EQ(sizeAt(text, 2), size * 2 / 3);
    EXPECT_DOUBLE_EQ(text.attributesAt(0)->baselineOffset, 0);
    EXPECT_DOUBLE_EQ(text.attributesAt(1)->baselineOffset, size * 0.5);

    const auto nested = build("2^3^2");
    ASSERT_EQ(nested.string(), "232");
    const double s = sizeAt(nested, 0);
    EXPECT_DOUBLE_EQ(sizeAt(nested, 2), s * 4 / 9);
    EXPECT_DOUBLE_EQ(nested.attributesAt(2)->baselineOffset, s * 0.5 * (1 + 2.0 / 3));

    const auto caret = build("2^");
    ASSERT_EQ(caret.string(), "2^");
    EXPECT_DOUBLE_EQ(sizeAt(caret, 1), sizeAt(caret, 0) * 2 / 3);
    const auto group = build("2^(3+4)");
    ASSERT_EQ(group.string(), "2(3+4)");
    for (std::size_t i = 1; i < 6; ++i) EXPECT_DOUBLE_EQ(group.attributesAt(i)->baselineOffset, sizeAt(group, 0) * 0.5);
    EXPECT_EQ(group.attributesAt(0)->font->name, "HelveticaNeue-Thin");
}

TEST_F(LabelTest, FontSizeSearch) {
    // Height-bound: lo 30, hi 288; the search ends at 74.703125 (the text may be 75 high).
    EXPECT_DOUBLE_EQ(sizeAt(build("8", 100, 1000), 0), 74.703125);
    // Width-bound: eight characters in 0.95 × 200; the last round is the result.
    EXPECT_DOUBLE_EQ(sizeAt(build("12345678", 100, 200), 0), 48.296875);
    // The lower bound is 0.3 of the label's height; a label 960 high starts and ends at 288.
    EXPECT_DOUBLE_EQ(sizeAt(build("12345678", 960, 10), 0), 288);
    EXPECT_DOUBLE_EQ(sizeAt(build("1", 963, 1000), 0), 288);
    // From 964 (lo 289) there is nothing to show.
    EXPECT_TRUE(build("12345678", 964, 1000).empty());
    EXPECT_TRUE(build("", 100, 1000).empty());
    // lo 12: 150, 80.5, 45.75 are too high, 28.375 fits, 37.0625, 32.71875, 30.546875 do not, 29.4609375 ends.
    EXPECT_DOUBLE_EQ(sizeAt(build("8", 40, 1000), 0), 29.4609375);
}

TEST_F(LabelTest, FitsTheKeypadItSitsIn) {
    auto* pad = window->add(std::make_unique<CalculatorView>(Rect(0, 0, 200, 100)));
    auto* label = pad->add(std::make_unique<CalculatorCalcLabel>(Rect(0, 0, 50, 100)));
    EXPECT_DOUBLE_EQ(label->containerWidth(), 200);
    label->setText("12345678");
    EXPECT_DOUBLE_EQ(sizeAt(label->attributedText(), 0), 48.296875);

    auto* outer = window->add(std::make_unique<uikit::View>(Rect(0, 0, 400, 100)));
    auto* inner = outer->add(std::make_unique<uikit::View>(Rect(0, 0, 200, 100)));
    auto* nested = inner->add(std::make_unique<CalculatorCalcLabel>(Rect(0, 0, 50, 100)));
    EXPECT_DOUBLE_EQ(nested->containerWidth(), 400);
    CalculatorCalcLabel alone(Rect(0, 0, 120, 100));
    EXPECT_DOUBLE_EQ(alone.containerWidth(), 120);
    alone.setText("1");
    EXPECT_FALSE(alone.attributedText().empty());
}

TEST_F(LabelTest, TrailingGroupParenthesesAreHighlightedWhenAsked) {
    auto colourAt = [](const uikit::AttributedString& text, std::size_t i) { return *text.attributesAt(i)->foregroundColor; };
    for (const bool dark : {true, false}) {
        dark ? applyDarkTheme() : applyLightTheme();
        const auto nested = build("(1+(2×3))", 100, 1000, Background::standard, true);
        for (std::size_t i = 0; i < 9; ++i) {
            EXPECT_EQ(colourAt(nested, i), (i == 0 || i == 8) ? equalBackgroundColor() : labelTextColor()) << i;
        }
        const auto simple = build("(1+2)", 100, 1000, Background::standard, true);
        for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(colourAt(simple, i), labelTextColor());
        const auto inner = build("5+((1)+2)", 100, 1000, Background::standard, true);
        EXPECT_EQ(colourAt(inner, 2), equalBackgroundColor());
        EXPECT_EQ(colourAt(inner, 3), labelTextColor());
        EXPECT_EQ(colourAt(inner, 8), equalBackgroundColor());
        const auto off = build("(1+(2×3))", 100, 1000, Background::standard, false);
        EXPECT_EQ(colourAt(off, 0), labelTextColor());
        EXPECT_EQ(colourAt(off, 8), labelTextColor());
        const auto open = build("(1+(2×3)", 100, 1000, Background::standard, true);
        EXPECT_EQ(colourAt(open, 0), labelTextColor());
    }
    // The display label reads the setting from the suite.
    auto* label = window->add(std::make_unique<CalculatorCalcLabel>(Rect(0, 0, 300, 60)));
    label->setText("(1+(2×3))");
    EXPECT_EQ(colourAt(label->attributedText(), 0), labelTextColor());
    foundation::UserDefaults().set("preference_color", foundation::PropertyListValue(true));
    label->setText("(1+(2×3))");
    EXPECT_EQ(colourAt(label->attributedText(), 0), equalBackgroundColor());
    EXPECT_EQ(colourAt(label->attributedText(), 1), labelTextColor());
}
