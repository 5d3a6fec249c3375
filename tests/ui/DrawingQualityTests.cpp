// What a person sees of the kit's keys, display, popover and picker. Each test also writes its
// pictures, in both themes, to "snapshots" beside the test program in the build tree.
#include "platform/foundation/Lifetime.h"
#include "platform/uikit/PickerViewDataSource.h"
#include "platform/uikit/PickerViewDelegate.h"
#include "platform/uikit/PopoverPresentationController.h"
#include "platform/uikit/TextMeasurer.h"
#include "platform/uikit/ViewController.h"
#include "tests/ui/UiTest.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorPicker.h"
#include "ui/CalculatorView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

using namespace ostrelo;
using uikit::Color;
using uikit::Rect;
using Type = CalculatorButton::MyButtonType;

namespace {

std::filesystem::path snapshotDirectory() {
    auto dir = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "snapshots";
    std::filesystem::create_directories(dir);
    return dir;
}

double luminance(const Color& c) { return 0.2126 * c.red + 0.7152 * c.green + 0.0722 * c.blue; }

// The keys of the phone's function pad, row by row.
const char* const functionKeys[] = {"x²",  "x!",  "%",    "𝑖",      "xʸ",  "√x",    "1∕x",  "rand",
                                    "sin", "sin⁻¹", "sinh", "sinh⁻¹", "cos", "cos⁻¹", "cosh", "cosh⁻¹",
                                    "tan", "tan⁻¹", "tanh", "tanh⁻¹", "㏑",   "𝜋",     "𝜑",    "𝑒"};

// Main keys with every other caption of the screens.
const char* const mainKeys[] = {"MC", "M+", "MR",  "⚙", "AC", "𝜋",   "𝑒", "√", "x²", "÷", "7", "8", "9", "(⋯)",
                                "×",  "4",  "5",   "6", "⇨",  "−",   "1", "2", "3",  "𝑖", "+", "ƒ(x)", "0", ",",
                                "±",  "=",  "🌐",  "⌫", "⮐",  "✅",  "⏎", "𝑑", "𝑚",  "㏒", "€", "⇦"};

class Currencies : public uikit::PickerViewDataSource, public uikit::PickerViewDelegate {
public:
    foundation::Lifetime lifetime;
    int numberOfComponentsInPickerView(uikit::PickerView&) override { return 1; }
    int numberOfRowsInComponent(uikit::PickerView&, int) override { return 5; }
    // Rows of half the picker's height, in the theme font, as the screens make them.
    double rowHeightForComponent(uikit::PickerView& picker, int) override { return picker.bounds().height() / 2; }
    std::unique_ptr<uikit::View> viewForRow(uikit::PickerView& picker, int row, int, uikit::View*) override {
        static const char* const codes[] = {"CHF", "EUR", "GBP", "JPY", "USD"};
        auto label = std::make_unique<uikit::Label>();
        const double w = picker.frame().width(), h = picker.frame().height();
        label->setFont(uikit::Font::named(themeFontName(), (h / 3) * std::min(w / h, 1.0)));
        label->setTextColor(functionTitleColor());
        label->textAlignment = uikit::TextAlignment::center;
        label->setText(codes[row]);
        return label;
    }
};

class KeepPopover : public uikit::PopoverPresentationControllerDelegate {
public:
    foundation::Lifetime lifetime;
    int adaptivePresentationStyleForPresentationController(uikit::PopoverPresentationController&,
                                                           const uikit::TraitCollection&) override {
        return uikit::ModalPresentationNone;
    }
};

}  // namespace

class DrawingQuality : public uitest::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        host->setRootViewController(std::make_unique<uikit::ViewController>());
        root = host->rootViewController()->view();
    }

    // A pad of keys of one size, `columns` wide, at `top`.
    CalculatorView* addPad(uikit::View& parent, const char* const* titles, int count, int columns, double top,
                           uikit::Size key, Type type = Type::nonDigit) {
        const int rows = (count + columns - 1) / columns;
        auto* pad = parent.add(std::make_unique<CalculatorView>(Rect(0, top, key.width * columns, key.height * rows)));
        for (int i = 0; i < count; ++i) {
            auto button = std::make_unique<CalculatorButton>(
                Rect(key.width * (i % columns), key.height * (i / columns), key.width, key.height));
            button->myButtonType = type;
            button->setTitle(titles[i], uikit::ControlStateNormal);
            pad->add(std::move(button));
        }
        return pad;
    }

    // The calculator's display over a pad with every caption and, below, the phone's function pad.
    void addKeypad() {
        auto* display = root->add(std::make_unique<CalculatorView>(Rect(0, 40, 393, 150)));
        display->add(std::make_unique<CalculatorCalcLabel>(Rect(0, 0, 393, 100)))->setText("2^10×𝜋+√2⁻¹");
        display->add(std::make_unique<CalculatorCalcLabel>(Rect(0, 100, 393, 50)))->setText("3 217.693");
        mainPad = addPad(*root, mainKeys, std::size(mainKeys), 5, 190, {78.6, 50}, Type::digit);
        functionPad = addPad(*root, functionKeys, std::size(functionKeys), 4, 590, {62, 42});
        window->layoutIfNeeded();
    }

    CalculatorButton* key(CalculatorView* pad, const std::string& title) {
        for (const auto& view : pad->subviews())
            if (auto* button = dynamic_cast<CalculatorButton*>(view.get()); button && button->normalTitle() == title)
                return button;
        return nullptr;
    }

    // Both themes, laid out and refreshed anew (`prepare` runs after the theme is applied), each
    // written as `name`-dark.png and `name`-light.png.
    template <typename Prepare, typename Check>
    void inBothThemes(const std::string& name, Prepare prepare, Check check) {
        for (bool dark : {true, false}) {
            dark ? applyDarkTheme() : applyLightTheme();
            refresh(*window);
            prepare();
            host->runUntilIdle();
            const auto file = snapshotDirectory() / (name + (dark ? "-dark.png" : "-light.png"));
            ASSERT_TRUE(host->writeSnapshot(file)) << file;
            check(host->snapshot(), dark);
        }
    }

    // As a screen does after a theme change: every view laid out anew, the display texts set again.
    static void refresh(uikit::View& view) {
        view.setNeedsLayout();
        if (auto* line = dynamic_cast<CalculatorCalcLabel*>(&view)) line->setText(line->text());
        for (const auto& sub : view.subviews()) refresh(*sub);
    }

    Color pixelAt(const render::Image& image, uikit::Point p) const {
        const double scale = host->profile().scale;
        return image.pixel(static_cast<int>(p.x * scale), static_cast<int>(p.y * scale));
    }

    uikit::View* root = nullptr;
    CalculatorView* mainPad = nullptr;
    CalculatorView* functionPad = nullptr;
};

TEST_F(DrawingQuality, KeyTitlesShrinkToFitBeforeTheyAreCut) {
    addKeypad();
    inBothThemes("keypad", [] {}, [](const render::Image&, bool) {});
    const auto& measurer = uikit::TextMeasurer::shared();
    const struct {
        const char* title;
        uikit::Size key;
        bool shrinks;
        bool whole;
    } cases[] = {
        {"cosh⁻¹", {62, 42}, false, true},        // a key of the phone's function pad
        {"cosh⁻¹", {30, 60}, false, true},        // the font follows a narrow key's width
        {"tanh⁻¹(x)", {50, 42}, true, true},      // too long: drawn smaller
        {"1234567890123", {40, 40}, true, false},  // shrinks to half its size, then is cut
    };
    for (const auto& c : cases) {
        auto* button = root->add(std::make_unique<CalculatorButton>(Rect({0, 0}, c.key)));
        button->setTitle(c.title, uikit::ControlStateNormal);
        window->layoutIfNeeded();
        uikit::Label* title = button->titleLabel();
        const double room = title->bounds().width();
        EXPECT_LT(room, c.key.width) << "a margin on both sides";
        const uikit::AttributedString fitted = title->textFittedToWidth(room);
        const double size = fitted.attributesAt(0)->font->pointSize;
        const double keySize = title->effectiveFont().pointSize;
        EXPECT_EQ(size < keySize, c.shrinks) << c.title << " on " << c.key.width;
        EXPECT_GE(size, keySize * CalculatorButton::titleMinimumScale - 1e-9) << c.title;
        EXPECT_EQ(measurer.measure(fitted).width <= room, c.whole) << c.title << " on " << c.key.width;
        auto gone = button->removeFromSuperview();
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
    auto width = [&] { return uikit::TextMeasurer::shared().measure(line->attributedText()).width; };
    const double portrait = fontSize();
    EXPECT_LE(width(), 0.95 * pad->bounds().width());
    host->rotate(host::Orientation::landscape);
    // Wider and lower: the text is fitted to the new height, which is now what bounds it.
    EXPECT_NE(fontSize(), portrait);
    EXPECT_LE(uikit::TextMeasurer::shared().measure(line->attributedText()).height, 0.75 * line->bounds().height());
    EXPECT_LE(width(), 0.95 * pad->bounds().width());
    EXPECT_EQ(line->text(), "1234567890123×4");
    host->rotate(host::Orientation::portrait);
    EXPECT_DOUBLE_EQ(fontSize(), portrait);
}

TEST_F(DrawingQuality, PopoverPointsAtItsSourceAndCastsASoftShadow) {
    addKeypad();
    CalculatorButton* source = key(mainPad, "ƒ(x)");
    for (const auto& view : mainPad->subviews()) view->setAlpha(0.6);
    KeepPopover keep;
    render::Image dimmed;
    uikit::PopoverPresentationController* popover = nullptr;
    // As the functions popover is shown: beside its key, pointing left at the key's right edge.
    auto present = [&] {
        dimmed = host->snapshot();
        auto content = std::make_unique<uikit::ViewController>();
        addPad(*content->view(), functionKeys, std::size(functionKeys), 4, 0, {62, 42});
        content->preferredContentSize = {248, 252};
        content->modalPresentationStyle = uikit::ModalPresentationPopover;
        popover = content->popoverPresentationController();
        popover->setDelegate(&keep, keep.lifetime.weak());
        popover->setSourceView(source);
        popover->sourceRect = Rect(source->bounds().width(), source->bounds().height() / 2, 1, 1);
        popover->permittedArrowDirections = uikit::PopoverArrowDirectionLeft;
        popover->backgroundColor = functionBackgroundColor();
        host->rootViewController()->presentViewController(std::move(content), false);
    };
    const uikit::Point tip = source->convertPointToWindow({source->bounds().width(), source->bounds().height() / 2});
    inBothThemes("popover", present, [&](const render::Image& image, bool dark) {
        const char* theme = dark ? "dark" : "light";
        ASSERT_EQ(popover->arrowDirection(), uikit::PopoverArrowDirectionLeft);
        const Rect frame = popover->popoverFrame();
        // The outline reaches out to the source at its arrow, and only there.
        const uikit::BezierPath outline = popover->popoverOutline();
        EXPECT_TRUE(outline.contains({tip.x + 2, tip.y})) << theme;
        EXPECT_FALSE(outline.contains({tip.x + 2, frame.minY() + 30})) << theme;
        EXPECT_FALSE(outline.contains({tip.x + 2, frame.maxY() - 30})) << theme;
        // The arrow has the popover's colour.
        EXPECT_NEAR(luminance(pixelAt(image, {tip.x + 6, tip.y})), luminance(functionBackgroundColor()), 0.02) << theme;
        // Around the popover the dimmed keys are darker, the more so the closer; further off they
        // are as they were.
        struct Side {
            uikit::Point edge;     // the middle of a side of the popover
            uikit::Point outwards;  // a step of a point away from it
        };
        for (const Side side : {Side{{frame.midX(), frame.minY()}, {0, -1}}, Side{{frame.maxX(), frame.midY()}, {1, 0}}}) {
            auto shade = [&](double distance) {
                const uikit::Point p{side.edge.x + side.outwards.x * distance, side.edge.y + side.outwards.y * distance};
                return luminance(pixelAt(image, p)) / std::max(luminance(pixelAt(dimmed, p)), 1e-3);
            };
            EXPECT_LT(shade(2), 0.85) << theme;
            EXPECT_LT(shade(2), shade(9)) << theme;
            EXPECT_LT(shade(9), shade(16)) << theme;
            EXPECT_NEAR(shade(30), 1, 0.02) << theme;
        }
        host->rootViewController()->dismissViewController(false);
        host->runUntilIdle();
    });
}

TEST_F(DrawingQuality, PickerRowsBesideTheSelectionFadeTowardsItsEdges) {
    addKeypad();
    Currencies currencies;
    std::vector<CalculatorPicker*> pickers;
    for (double x : {0.0, 196.5}) {
        auto* picker = root->add(std::make_unique<CalculatorPicker>(Rect(x, 400, 196.5, 100)));
        picker->setDataSource(&currencies, currencies.lifetime.weak());
        picker->setDelegate(&currencies, currencies.lifetime.weak());
        picker->reloadAllComponents();
        picker->selectRow(2, 0, false);
        pickers.push_back(picker);
    }
    inBothThemes("picker", [] {}, [&](const render::Image& image, bool dark) {
        const char* theme = dark ? "dark" : "light";
        const Color background = functionBackgroundColor();
        // The brightest difference from the background in a band of the picker's rows.
        auto strongest = [&](double from, double to) {
            double most = 0;
            for (double y = from; y < to; y += 0.5)
                for (double x = 10; x < 186; x += 0.5)
                    most = std::max(most, std::fabs(luminance(pixelAt(image, {x, 400 + y})) - luminance(background)));
            return most;
        };
        const double title = std::fabs(luminance(functionTitleColor()) - luminance(background));
        // The selected row in full. Its neighbours, whose middles lie on the picker's edges, show
        // their inner halves faintly, fading out towards the edge instead of ending in a cut.
        EXPECT_GT(strongest(35, 65), 0.8 * title) << theme;
        for (auto [edge, inner] : {std::pair{1.0, 8.0}, std::pair{98.5, 90.5}}) {  // clear of the top border
            const double atEdge = strongest(edge, edge + 1.5);
            const double within = strongest(inner, inner + 1.5);
            EXPECT_LT(within, 0.25 * title) << theme;
            EXPECT_GT(within, 0.03 * title) << theme;
            EXPECT_LT(atEdge, 0.2 * within) << theme << " at " << edge;
        }
    });
}
