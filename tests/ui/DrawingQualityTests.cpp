// What a person sees of the kit's keys, display, popover and picker. The pictures are written in
// both themes to "snapshots" beside the test program in the build tree.
#include "platform/foundation/Lifetime.h"
#include "platform/uikit/PickerViewDataSource.h"
#include "platform/uikit/PickerViewDelegate.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/TextMeasurer.h"
#include "tests/ui/UiTest.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

using namespace ostrelo;
using uikit::Color;
using uikit::Point;
using uikit::Rect;

namespace {

double luminance(const Color& c) { return 0.2126 * c.red + 0.7152 * c.green + 0.0722 * c.blue; }

// The phone's function pad and every other marker of the screens' keys.
const char* const captions[] = {
    "x²",  "x!",  "%",    "𝑖",      "xʸ",  "√x",    "1∕x", "rand",   "sin", "sin⁻¹", "sinh", "sinh⁻¹", "cos", "cos⁻¹",
    "cosh", "cosh⁻¹", "tan", "tan⁻¹", "tanh", "tanh⁻¹", "㏑", "𝜋", "𝜑", "𝑒", "ƒ(x)", "𝑚", "㏒", "(⋯)", "𝑑", "⇨",
    "⇦", "⏎", "⮐", "⌫", "🌐", "✅", "⚙", "±", "−", "×", "÷", "7", "8", "9"};

// One column of currency codes in rows half the picker high, in the theme font, as the screens.
struct Currencies : uikit::PickerViewDataSource, uikit::PickerViewDelegate {
    int numberOfComponentsInPickerView(uikit::PickerView&) override { return 1; }
    int numberOfRowsInComponent(uikit::PickerView&, int) override { return 5; }
    double rowHeightForComponent(uikit::PickerView& picker, int) override { return picker.bounds().height() / 2; }
    std::unique_ptr<uikit::View> viewForRow(uikit::PickerView& picker, int row, int, uikit::View*) override {
        static const char* const codes[] = {"CHF", "EUR", "GBP", "JPY", "USD"};
        auto label = std::make_unique<uikit::Label>();
        label->setFont(uikit::Font::named(themeFontName(), picker.frame().height() / 3));
        label->setTextColor(functionTitleColor());
        label->textAlignment = uikit::TextAlignment::center;
        label->setText(codes[row]);
        return label;
    }
    foundation::Lifetime lifetime;
};

struct StayPopover : uikit::PopoverPresentationControllerDelegate {
    int adaptivePresentationStyleForPresentationController(uikit::PopoverPresentationController&,
                                                           const uikit::TraitCollection&) override {
        return uikit::ModalPresentationNone;
    }
    foundation::Lifetime lifetime;
};

}  // namespace

class DrawingQuality : public uitest::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        host->setRootViewController(std::make_unique<uikit::ViewController>());
        root = host->rootViewController()->view();
    }

    // The first `count` captions on keys of the function pad's size, 65.5 by 42 points.
    CalculatorView* addPad(uikit::View& parent, int count, int columns, double top) {
        const double rows = (count + columns - 1) / columns;
        auto* pad = parent.add(std::make_unique<CalculatorView>(Rect(0, top, 65.5 * columns, 42 * rows)));
        for (int i = 0; i < count; ++i) {
            auto key = std::make_unique<CalculatorButton>(Rect(65.5 * (i % columns), 42.0 * (i / columns), 65.5, 42));
            key->setTitle(captions[i], uikit::ControlStateNormal);
            pad->add(std::move(key));
        }
        return pad;
    }
    Color pixelAt(const render::Image& image, Point p) const {
        return image.pixel(static_cast<int>(p.x * host->profile().scale), static_cast<int>(p.y * host->profile().scale));
    }
    // As a screen does after a theme change.
    static void relayout(uikit::View& view) {
        view.setNeedsLayout();
        for (const auto& sub : view.subviews()) relayout(*sub);
    }
    void writeSnapshot(const std::string& name) {
        const auto dir = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "snapshots";
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(host->writeSnapshot(dir / (name + ".png")));
    }

    uikit::View* root = nullptr;
};

TEST_F(DrawingQuality, KeyTitlesShrinkToFitBeforeTheyAreCut) {
    const struct {
        const char* title;
        uikit::Size key;
        bool shrinks, whole;
    } cases[] = {{"cosh⁻¹", {65.5, 42}, false, true},  // on the phone's function pad
                 {"tanh⁻¹(x)", {50, 42}, true, true},
                 {"1234567890123", {40, 40}, true, false}};  // would need less than half its size
    for (const auto& c : cases) {
        auto* key = root->add(std::make_unique<CalculatorButton>(Rect({0, 0}, c.key)));
        key->setTitle(c.title, uikit::ControlStateNormal);
        window->layoutIfNeeded();
        uikit::Label* title = key->titleLabel();
        const double room = title->bounds().width();
        const uikit::AttributedString drawn = title->textFittedToWidth(room);
        const double scale = drawn.attributesAt(0)->font->pointSize / title->effectiveFont().pointSize;
        EXPECT_EQ(scale < 1, c.shrinks) << c.title;
        EXPECT_GE(scale, CalculatorButton::titleMinimumScale - 1e-9) << c.title;
        EXPECT_EQ(uikit::TextMeasurer::shared().measure(drawn).width <= room, c.whole) << c.title;
        EXPECT_LT(room, c.key.width);
        auto gone = key->removeFromSuperview();
    }
}

TEST_F(DrawingQuality, DisplayTextFitsItsLabelAgainAfterARotation) {
    auto* pad = root->add(std::make_unique<CalculatorView>());
    pad->relativeFrame = Rect(0, 0.1, 1, 0.3);
    auto* line = pad->add(std::make_unique<CalculatorCalcLabel>());
    line->relativeFrame = Rect(0, 0, 1, 0.5);
    window->layoutIfNeeded();
    line->setText("1234567890123×4");
    auto fontSize = [&] { return line->attributedText().attributesAt(0)->font->pointSize; };
    const double portrait = fontSize();
    host->rotate(host::Orientation::landscape);
    // Lower now: fitted to the new height, and still within the keypad's width.
    const uikit::Size measured = uikit::TextMeasurer::shared().measure(line->attributedText());
    EXPECT_LT(fontSize(), portrait);
    EXPECT_LE(measured.height, 0.75 * line->bounds().height());
    EXPECT_LE(measured.width, 0.95 * pad->bounds().width());
    host->rotate(host::Orientation::portrait);
    EXPECT_DOUBLE_EQ(fontSize(), portrait);
}

TEST_F(DrawingQuality, KeypadPickerAndPopoverInBothThemes) {
    auto* display = root->add(std::make_unique<CalculatorView>(Rect(0, 40, 393, 150)));
    auto* expression = display->add(std::make_unique<CalculatorCalcLabel>(Rect(0, 0, 393, 100)));
    auto* pad = addPad(*root, std::size(captions), 6, 292);
    auto* source = static_cast<CalculatorButton*>(pad->subviews()[24].get());  // "ƒ(x)", first in its row
    Currencies currencies;
    auto* picker = root->add(std::make_unique<CalculatorPicker>(Rect(0, 190, 196, 100)));
    picker->setDataSource(&currencies, currencies.lifetime.weak());
    picker->setDelegate(&currencies, currencies.lifetime.weak());
    picker->selectRow(2, 0, false);
    StayPopover stay;
    for (bool dark : {true, false}) {
        const std::string theme = dark ? "dark" : "light";
        dark ? applyDarkTheme() : applyLightTheme();
        for (const auto& key : pad->subviews()) key->setAlpha(1);
        expression->setText("2^10×𝜋+√2⁻¹");
        relayout(*root);
        host->runUntilIdle();
        writeSnapshot("keypad-" + theme);
        const render::Image keypad = host->snapshot();

        // Picker rows: the selected one in full; its neighbours, whose middles lie on the picker's
        // edges, fade out towards the edge instead of ending in a cut there.
        auto strongest = [&](double from, double to) {
            double most = 0;
            for (double y = 190 + from; y < 190 + to; y += 0.5)
                for (double x = 10; x < 186; x += 0.5)
                    most = std::max(most, std::fabs(luminance(pixelAt(keypad, {x, y})) - luminance(functionBackgroundColor())));
            return most;
        };
        const double title = std::fabs(luminance(functionTitleColor()) - luminance(functionBackgroundColor()));
        EXPECT_GT(strongest(35, 65), 0.8 * title) << theme;
        for (auto [edge, inner] : {std::pair{1.0, 8.0}, std::pair{98.5, 90.5}}) {  // clear of the top border
            EXPECT_LT(strongest(inner, inner + 1.5), 0.25 * title) << theme;
            EXPECT_GT(strongest(inner, inner + 1.5), 0.03 * title) << theme;
            EXPECT_LT(strongest(edge, edge + 1.5), 0.2 * strongest(inner, inner + 1.5)) << theme << " at " << edge;
        }

        // The functions popover over the dimmed keys, pointing left at its key's right edge.
        for (const auto& key : pad->subviews()) key->setAlpha(0.6);
        const render::Image dimmed = host->snapshot();
        auto content = std::make_unique<uikit::ViewController>();
        addPad(*content->view(), 12, 4, 0);
        content->preferredContentSize = {262, 126};
        content->modalPresentationStyle = uikit::ModalPresentationPopover;
        auto* popover = content->popoverPresentationController();
        popover->setDelegate(&stay, stay.lifetime.weak());
        popover->setSourceView(source);
        popover->sourceRect = Rect(source->bounds().width(), source->bounds().height() / 2, 1, 1);
        popover->permittedArrowDirections = uikit::PopoverArrowDirectionLeft;
        popover->backgroundColor = functionBackgroundColor();
        host->rootViewController()->presentViewController(std::move(content), false);
        host->runUntilIdle();
        writeSnapshot("popover-" + theme);
        const render::Image shown = host->snapshot();
        const Rect frame = popover->popoverFrame();
        const Point tip = source->convertPointToWindow({source->bounds().width(), source->bounds().height() / 2});
        ASSERT_EQ(popover->arrowDirection(), uikit::PopoverArrowDirectionLeft);
        EXPECT_TRUE(popover->popoverOutline().contains({tip.x + 2, tip.y})) << theme;
        EXPECT_FALSE(popover->popoverOutline().contains({tip.x + 2, frame.minY() + 20})) << theme;
        EXPECT_NEAR(luminance(pixelAt(shown, {tip.x + 6, tip.y})), luminance(functionBackgroundColor()), 0.02) << theme;
        // Around it the keys are darker, the more so the closer; further off they are as they were.
        for (Point step : {Point{0, -1}, Point{1, 0}}) {
            const Point from{step.x > 0 ? frame.maxX() : frame.midX(), step.y < 0 ? frame.minY() : frame.midY()};
            auto shade = [&](double d) {
                const Point p{from.x + step.x * d, from.y + step.y * d};
                return luminance(pixelAt(shown, p)) / std::max(luminance(pixelAt(dimmed, p)), 1e-3);
            };
            EXPECT_LT(shade(2), 0.85) << theme;
            EXPECT_LT(shade(2), shade(9)) << theme;
            EXPECT_LT(shade(9), shade(16)) << theme;
            EXPECT_NEAR(shade(30), 1, 0.02) << theme;
        }
        host->rootViewController()->dismissViewController(false);
        host->runUntilIdle();
    }
}
