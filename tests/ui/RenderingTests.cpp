#include "platform/host/HeadlessHost.h"
#include "platform/render/PangoTextMeasurer.h"
#include "platform/uikit/TextMeasurer.h"
#include "platform/uikit/ViewController.h"
#include "tests/support/TestEnvironment.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorView.h"
#include "ui/Theme.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace ostrelo;
using uikit::Color;
using uikit::Rect;

namespace {

bool near(const Color& a, const Color& b, double tolerance = 1.5 / 255) {
    return std::fabs(a.red - b.red) <= tolerance && std::fabs(a.green - b.green) <= tolerance &&
           std::fabs(a.blue - b.blue) <= tolerance;
}

std::string describe(const Color& c) {
    return std::to_string(std::lround(c.red * 255)) + "," + std::to_string(std::lround(c.green * 255)) + "," +
           std::to_string(std::lround(c.blue * 255));
}

// The pixel of a PNG file, read back with Cairo.
Color pngPixel(const std::filesystem::path& path, int x, int y) {
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    Color result{0, 0, 0, 0};
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        std::uint32_t argb;
        std::memcpy(&argb, data + y * stride + x * 4, 4);
        const double a = ((argb >> 24) & 0xFF) / 255.0;
        if (a > 0) {
            result = {((argb >> 16) & 0xFF) / 255.0 / a, ((argb >> 8) & 0xFF) / 255.0 / a, (argb & 0xFF) / 255.0 / a, a};
        }
    }
    cairo_surface_destroy(surface);
    return result;
}

void relayout(uikit::View& view) {
    view.setNeedsLayout();
    for (const auto& sub : view.subviews()) relayout(*sub);
}

}  // namespace

// A small keypad with its two display lines, drawn in both themes.
class KeypadRendering : public testsupport::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        applyDarkTheme();
        host = std::make_unique<host::HeadlessHost>();
        auto controller = std::make_unique<uikit::ViewController>();
        uikit::View* root = controller->view();
        root->setFrame({0, 0, 393, 852});
        pad = root->add(std::make_unique<CalculatorView>(Rect(0, 100, 392, 200)));
        primary = pad->add(std::make_unique<CalculatorCalcLabel>(Rect(0, 0, 392, 80)));
        secondary = pad->add(std::make_unique<CalculatorCalcLabel>(Rect(0, 80, 392, 40)));
        digit = addKey("7", CalculatorButton::MyButtonType::digit, 0);
        operant = addKey("×", CalculatorButton::MyButtonType::operant, 98);
        addKey("8", CalculatorButton::MyButtonType::digit, 196);
        equal = addKey("=", CalculatorButton::MyButtonType::equalBottomRight, 294);
        host->setRootViewController(std::move(controller));
        primary->setText("12×3^2");
        secondary->setText("108");
    }
    void TearDown() override {
        host.reset();
        applyDarkTheme();
        SuiteTest::TearDown();
    }
    CalculatorButton* addKey(const char* title, CalculatorButton::MyButtonType type, double x) {
        auto key = std::make_unique<CalculatorButton>(Rect(x, 120, 98, 80));
        key->myButtonType = type;
        key->setTitle(title, uikit::ControlStateNormal);
        return pad->add(std::move(key));
    }
    // A point of a key's background, clear of its border lines and title, in pixels.
    std::pair<int, int> backgroundPixel(const uikit::View& view) const {
        const auto origin = view.convertPointToWindow({6, 6});
        const double scale = host->profile().scale;
        return {static_cast<int>(origin.x * scale), static_cast<int>(origin.y * scale)};
    }
    Color pixelOf(const render::Image& image, const uikit::View& view) const {
        const auto [x, y] = backgroundPixel(view);
        return image.pixel(x, y);
    }
    // Whether some pixel inside the view has the text colour.
    bool showsText(const render::Image& image, const uikit::View& view, const Color& color) const {
        const double scale = host->profile().scale;
        const auto origin = view.convertPointToWindow({2, 2});
        const int width = static_cast<int>((view.bounds().width() - 4) * scale);
        const int height = static_cast<int>((view.bounds().height() - 4) * scale);
        for (int dy = 0; dy < height; ++dy) {
            for (int dx = 0; dx < width; ++dx) {
                const int x = static_cast<int>(origin.x * scale) + dx;
                const int y = static_cast<int>(origin.y * scale) + dy;
                if (near(image.pixel(x, y), color, 0.08)) return true;
            }
        }
        return false;
    }
    void render(bool dark) {
        dark ? applyDarkTheme() : applyLightTheme();
        relayout(*pad);
        equal->myButtonState = CalculatorButton::ButtonState::success;
        primary->setText(primary->text());
        secondary->setText(secondary->text());
        const auto file = groupDirectory() / (std::string("keypad-") + (dark ? "dark" : "light") + ".png");
        ASSERT_TRUE(host->writeSnapshot(file));
        const render::Image image = host->snapshot();
        const auto expect = [&](const char* what, const uikit::View& view, const Color& expected) {
            const Color actual = pixelOf(image, view);
            EXPECT_TRUE(near(actual, expected)) << what << (dark ? " dark: " : " light: ") << describe(actual)
                                                << " instead of " << describe(expected);
            const auto [x, y] = backgroundPixel(view);
            EXPECT_TRUE(near(pngPixel(file, x, y), expected)) << what << " in the PNG file";
        };
        expect("digit key", *digit, digitBackgroundColor());
        expect("operator key", *operant, operatorBackgroundColor());
        expect("= key", *equal, equalBackgroundColor());
        expect("display", *primary, standardBackgroundColor());
        expect("second display line", *secondary, standardBackgroundColor());
        EXPECT_TRUE(showsText(image, *digit, digitTitleColor()));
        EXPECT_TRUE(showsText(image, *operant, operatorTitleColor()));
        EXPECT_TRUE(showsText(image, *primary, labelTextColor()));
        EXPECT_TRUE(showsText(image, *secondary, labelTextColor()));

        // The rounded corner of the "=" key shows the keypad behind it.
        const auto corner = equal->convertPointToWindow({97.5, 79.5});
        const double scale = host->profile().scale;
        EXPECT_TRUE(near(image.pixel(static_cast<int>(corner.x * scale), static_cast<int>(corner.y * scale)),
                         borderColor()));

        // The "=" key in its error state.
        equal->myButtonState = CalculatorButton::ButtonState::error;
        equal->applyButtonColors();
        const auto errorFile = groupDirectory() / (std::string("keypad-error-") + (dark ? "dark" : "light") + ".png");
        ASSERT_TRUE(host->writeSnapshot(errorFile));
        const render::Image failed = host->snapshot();
        EXPECT_TRUE(near(pixelOf(failed, *equal), equalErrorBackgroundColor())) << describe(pixelOf(failed, *equal));
        const auto [x, y] = backgroundPixel(*equal);
        EXPECT_TRUE(near(pngPixel(errorFile, x, y), equalErrorBackgroundColor()));
        EXPECT_TRUE(near(pixelOf(failed, *digit), digitBackgroundColor()));
    }

    std::unique_ptr<host::HeadlessHost> host;
    CalculatorView* pad = nullptr;
    CalculatorCalcLabel* primary = nullptr;
    CalculatorCalcLabel* secondary = nullptr;
    CalculatorButton* digit = nullptr;
    CalculatorButton* operant = nullptr;
    CalculatorButton* equal = nullptr;
};

TEST_F(KeypadRendering, DarkAndLightThemesToPNG) {
    render(true);
    render(false);
    // The two themes differ where their tables differ.
    EXPECT_FALSE(near(Color::rgb(64, 64, 64), Color::rgb(224, 224, 224)));
}

TEST_F(KeypadRendering, DisplayTextMeasuredWithTheInstalledFonts) {
    render::PangoTextMeasurer::install();
    // Height-bound: the largest size whose text is about 0.75 of the label's height.
    const auto tall = CalculatorCalcLabel::makeAttributedDisplayText(
        "2^10", 100, 1000, CalculatorCalcLabel::LableBackgroundColor::standard, false);
    const auto tallSize = uikit::TextMeasurer::shared().measure(tall);
    const double size = tall.attributesAt(0)->font->pointSize;
    EXPECT_GT(size, 30);
    EXPECT_LT(size, 288);
    EXPECT_LE(tallSize.height, 75 * 1.05);
    EXPECT_GE(tallSize.height, 75 * 0.9);
    // Width-bound: a long text in a narrow keypad (the size stays above 0.3 of the label's height).
    const auto wide = CalculatorCalcLabel::makeAttributedDisplayText(
        "1234567890×9876543210", 40, 200, CalculatorCalcLabel::LableBackgroundColor::standard, false);
    const auto wideSize = uikit::TextMeasurer::shared().measure(wide);
    EXPECT_LE(wideSize.width, 200);
    EXPECT_GE(wideSize.width, 0.95 * 200 * 0.9);
    EXPECT_LT(wide.attributesAt(0)->font->pointSize, size);
}
