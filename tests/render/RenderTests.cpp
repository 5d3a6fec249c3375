#include "platform/foundation/RunLoop.h"
#include "platform/render/FrameRenderer.h"
#include "platform/render/Image.h"
#include "platform/render/PangoTextMeasurer.h"
#include "platform/render/Renderer.h"
#include "platform/render/TextLayout.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/ShapeLayer.h"
#include "platform/uikit/Storyboard.h"
#include "platform/uikit/TextMeasurer.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"
#include "tests/support/TestEnvironment.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace uikit;

namespace {

bool near(const Color& a, const Color& b, double tolerance = 0.02) {
    return std::fabs(a.red - b.red) <= tolerance && std::fabs(a.green - b.green) <= tolerance &&
           std::fabs(a.blue - b.blue) <= tolerance && std::fabs(a.alpha - b.alpha) <= tolerance;
}

TextAttributes fontOnly(const char* name, double size) {
    TextAttributes a;
    a.font = Font::named(name, size);
    return a;
}

const Color red = Color::rgb(255, 0, 0);
const Color green = Color::rgb(0, 255, 0);
const Color blue = Color::rgb(0, 0, 255);

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override { foundation::RunLoop::main().useVirtualTime(); }
};

}  // namespace

TEST_F(RenderTest, RoundedAtOneCornerOnlyAtTheChosenScale) {
    View root(Rect(0, 0, 100, 100));
    root.setBackgroundColor(Color::white());
    auto* key = root.add(std::make_unique<View>(Rect(0, 0, 60, 40)));
    key->setBackgroundColor(red);
    key->roundCorners(RectCornerBottomRight, 12);
    auto image = render::Renderer::render(root, 2);
    ASSERT_EQ(image.width(), 200);
    EXPECT_TRUE(near(image.pixel(118, 78), Color::white()));  // the rounded-away corner (59, 39)
    EXPECT_TRUE(near(image.pixel(1, 1), red));                // sharp corners stay
    EXPECT_TRUE(near(image.pixel(118, 1), red));
    EXPECT_TRUE(near(image.pixel(1, 78), red));
    EXPECT_TRUE(near(image.pixel(100, 60), red));             // inside the arc (50, 30)
    EXPECT_TRUE(near(image.pixel(130, 50), Color::white()));  // beside the key
}

TEST_F(RenderTest, ClipsSubviewsToBoundsAndAppliesTransformsAndOpacity) {
    View root(Rect(0, 0, 100, 100));
    root.setBackgroundColor(Color::white());
    auto* clipper = root.add(std::make_unique<View>(Rect(10, 10, 40, 40)));
    clipper->setClipsToBounds(true);
    auto* child = clipper->add(std::make_unique<View>(Rect(20, 20, 60, 60)));
    child->setBackgroundColor(blue);
    auto* loose = root.add(std::make_unique<View>(Rect(60, 10, 20, 20)));
    auto* overhang = loose->add(std::make_unique<View>(Rect(10, 10, 20, 20)));
    overhang->setBackgroundColor(green);
    auto image = render::Renderer::render(root, 1);
    EXPECT_TRUE(near(image.pixel(45, 45), blue));
    EXPECT_TRUE(near(image.pixel(55, 55), Color::white()));   // clipped away
    EXPECT_TRUE(near(image.pixel(85, 35), green));            // not clipped
    // A key shrunk by 5 points on each side and at half opacity.
    auto* key = root.add(std::make_unique<View>(Rect(0, 60, 40, 40)));
    key->setBackgroundColor(red);
    key->setTransform(AffineTransform::scale(30.0 / 40, 30.0 / 40));
    key->setAlpha(0.5);
    image = render::Renderer::render(root, 1);
    EXPECT_TRUE(near(image.pixel(2, 62), Color::white()));
    EXPECT_TRUE(near(image.pixel(20, 80), Color{1, 0.5, 0.5, 1}));
    // Hidden views draw nothing.
    key->setHidden(true);
    EXPECT_TRUE(near(render::Renderer::render(root, 1).pixel(20, 80), Color::white()));
}

TEST_F(RenderTest, MasksShapesStrokesAndTheAnimatedRing) {
    auto root = Layer::make();
    root->setFrame(Rect(0, 0, 100, 100));
    root->backgroundColor = Color::white();
    auto masked = Layer::make();
    masked->setFrame(Rect(0, 0, 50, 50));
    masked->backgroundColor = red;
    auto mask = ShapeLayer::make();
    mask->path = BezierPath::ovalInRect(Rect(0, 0, 50, 50));
    masked->mask = mask;
    root->addSublayer(masked);
    auto ring = ShapeLayer::make();
    ring->fillColor.reset();
    ring->strokeColor = Color::rgb(150, 20, 0);
    ring->lineWidth = 4;
    ring->path = BezierPath::roundedRect(Rect(60, 60, 30, 30), 5);
    root->addSublayer(ring);
    auto image = render::Renderer::render(*root, Size{100, 100}, 1);
    EXPECT_TRUE(near(image.pixel(25, 25), red));
    EXPECT_TRUE(near(image.pixel(2, 2), Color::white()));  // outside the oval mask
    EXPECT_TRUE(near(image.pixel(75, 60), Color::rgb(150, 20, 0)));
    EXPECT_TRUE(near(image.pixel(75, 75), Color::white()));  // not filled

    // Presented values: an animation to a grown path, drawn mid-flight and held at its end.
    BasicAnimation grow("path");
    grow.toValue = BezierPath::roundedRect(Rect(60, 60, 30, 30).insetBy(-10, -10), 5);
    grow.duration = 1;
    grow.timingFunction = TimingFunction::linear();
    grow.removedOnCompletion = false;
    grow.fillMode = FillMode::forwards;
    ring->addAnimation(grow, "path");
    foundation::RunLoop::main().advance(0.5);
    image = render::Renderer::render(*root, Size{100, 100}, 1);
    EXPECT_TRUE(near(image.pixel(75, 55), Color::rgb(150, 20, 0)));
    foundation::RunLoop::main().advance(1);
    image = render::Renderer::render(*root, Size{100, 100}, 1);
    EXPECT_TRUE(near(image.pixel(75, 50), Color::rgb(150, 20, 0)));
    EXPECT_TRUE(near(image.pixel(75, 60), Color::white()));
}

TEST_F(RenderTest, LabelsDrawTheirTextInItsColour) {
    render::PangoTextMeasurer::install();
    View root(Rect(0, 0, 200, 60));
    root.setBackgroundColor(Color::black());
    auto* label = root.add(std::make_unique<Label>(Rect(0, 0, 200, 60)));
    label->setFont(Font::named("HelveticaNeue-Thin", 40));
    label->setTextColor(Color::white());
    label->setText("8888");
    auto image = render::Renderer::render(root, 2);
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y).red > 0.5) ++lit;
    EXPECT_GT(lit, 200);
    // Left-aligned: nothing on the right half.
    int right = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 250; x < image.width(); ++x)
            if (image.pixel(x, y).red > 0.5) ++right;
    EXPECT_EQ(right, 0);
    // Attributed text: a raised, smaller run in its own colour.
    AttributedString text("2", TextAttributes{Font::named("HelveticaNeue-Thin", 40), Color::white(), 0, std::nullopt});
    text.append("10", TextAttributes{Font::named("HelveticaNeue-Thin", 40 * 2.0 / 3), green, 20, std::nullopt});
    label->setAttributedText(text);
    label->textAlignment = TextAlignment::right;
    image = render::Renderer::render(root, 2);
    bool greenSeen = false;
    for (int y = 0; y < image.height() && !greenSeen; ++y)
        for (int x = 200; x < image.width(); ++x)
            if (near(image.pixel(x, y), green, 0.1)) greenSeen = true;
    EXPECT_TRUE(greenSeen);

    // The real measurer: wider text measures wider, and a smaller font smaller.
    auto wide = TextMeasurer::shared().measure(AttributedString("8888", fontOnly("HelveticaNeue-Thin", 40)));
    auto narrow = TextMeasurer::shared().measure(AttributedString("88", fontOnly("HelveticaNeue-Thin", 40)));
    auto small = TextMeasurer::shared().measure(AttributedString("88", fontOnly("HelveticaNeue-Thin", 20)));
    EXPECT_NEAR(wide.width, 2 * narrow.width, 1.0);
    EXPECT_NEAR(small.width, narrow.width / 2, 1.0);
    EXPECT_GT(narrow.height, 40);
    EXPECT_FALSE(Font::named("NoSuchFont", 20).has_value());
    TextMeasurer::setShared(nullptr);
}

TEST_F(RenderTest, EveryCaptionHasRealGlyphs) {
    const char* captions[] = {"𝜋", "𝑒", "𝜑", "𝑖", "𝑑", "𝑚", "㏑", "√", "⁻¹", "²", "ⁿ", "ʸ", "∕", "−", "×", "÷", "±", "€",
                              "(⋯)", "⇨", "⏎", "ƒ(x)", "⌫", "🌐", "✅", "⚙", "⮐", "0123456789", "M+ M− MR MC",
                              "deg rad AC C = , ."};
    for (const char* name : {"HelveticaNeue-Thin", "HelveticaNeue"}) {
        for (const char* caption : captions) {
            AttributedString text(caption, fontOnly(name, 30));
            render::TextLayout layout(text);
            EXPECT_EQ(layout.unknownGlyphsCount(), 0) << caption << " in " << name;
            EXPECT_GT(layout.size().width, 0) << caption;
        }
    }
    // The check itself works: a character of the last private-use plane has no glyph.
    render::TextLayout missing(AttributedString("\xF4\x8F\xBF\xBD", fontOnly("HelveticaNeue", 30)));
    EXPECT_GT(missing.unknownGlyphsCount(), 0);
}

TEST_F(RenderTest, WritesAPngOfAnExampleScene) {
    render::PangoTextMeasurer::install();
    Storyboard::setDirectory(testsupport::testDataDirectory() / "storyboards");
    std::string error;
    auto board = Storyboard::named("Example", error);
    ASSERT_TRUE(board) << error;
    auto controller = board->instantiateInitialViewController(error);
    ASSERT_TRUE(controller) << error;
    Window window(Rect(0, 0, 200, 300));
    window.setRootViewController(std::move(controller));
    auto image = render::Renderer::render(window, 2);
    EXPECT_TRUE(near(image.pixel(10, 10), Color::black()));
    EXPECT_TRUE(near(image.pixel(390, 590), Color::rgb(20, 150, 0)));
    auto dir = testsupport::makeTemporaryDirectory("ostrelo-png");
    auto path = dir / "example.png";
    ASSERT_TRUE(image.writePNG(path));
    EXPECT_GT(std::filesystem::file_size(path), 1000u);
    EXPECT_FALSE(std::filesystem::exists(dir / "example.png.partial"));
    EXPECT_FALSE(image.writePNG(dir / "missing" / "x.png"));
    std::filesystem::remove_all(dir);
    Storyboard::setDirectory(std::nullopt);
    TextMeasurer::setShared(nullptr);
}

TEST_F(RenderTest, ZPositionOrdersSiblingsAndBordersDrawOnTop) {
    auto root = Layer::make();
    root->setFrame(Rect(0, 0, 40, 40));
    auto high = Layer::make();
    high->setFrame(Rect(0, 0, 40, 40));
    high->backgroundColor = red;
    high->zPosition = 1;
    auto low = Layer::make();
    low->setFrame(Rect(0, 0, 40, 40));
    low->backgroundColor = blue;
    root->addSublayer(high);
    root->addSublayer(low);  // later in the list but lower in z
    high->borderWidth = 4;
    high->borderColor = green;
    auto image = render::Renderer::render(*root, Size{40, 40}, 1);
    EXPECT_TRUE(near(image.pixel(20, 20), red));
    EXPECT_TRUE(near(image.pixel(1, 20), green));
    high->zPosition = 0;
    image = render::Renderer::render(*root, Size{40, 40}, 1);
    EXPECT_TRUE(near(image.pixel(20, 20), blue));
}

TEST_F(RenderTest, TruncatingTheHeadKeepsTheEndVisibleAndDrawTextInRectCanBeOverridden) {
    render::PangoTextMeasurer::install();
    struct Inset : Label {
        using Label::Label;
        void drawTextInRect(const Rect& rect) override {
            Label::drawTextInRect(Rect(rect.origin.x + 20, rect.origin.y, rect.size.width - 40, rect.size.height));
        }
    };
    auto litColumns = [](const render::Image& image, int from, int to) {
        int lit = 0;
        for (int x = from; x < to; ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixel(x, y).red > 0.5) {
                    ++lit;
                    break;
                }
        return lit;
    };
    View root(Rect(0, 0, 200, 40));
    root.setBackgroundColor(Color::black());
    auto* label = root.add(std::make_unique<Label>(Rect(0, 0, 200, 40)));
    label->setFont(Font::named("HelveticaNeue", 30));
    label->setTextColor(Color::white());
    label->setText("12345678901234567890123");
    label->lineBreakMode = LineBreakByTruncatingHead;
    EXPECT_GT(label->measuredTextSize().width, 200);
    // The tail is drawn: the rightmost columns are lit.
    EXPECT_GT(litColumns(render::Renderer::render(root, 1), 170, 200), 0);
    auto gone = label->removeFromSuperview();
    auto* inset = root.add(std::make_unique<Inset>(Rect(0, 0, 200, 40)));
    inset->setFont(Font::named("HelveticaNeue", 30));
    inset->setTextColor(Color::white());
    inset->setText("88888888888888");
    auto image = render::Renderer::render(root, 1);
    EXPECT_EQ(litColumns(image, 0, 20), 0);
    EXPECT_EQ(litColumns(image, 181, 200), 0);
    EXPECT_GT(litColumns(image, 20, 180), 0);
    TextMeasurer::setShared(nullptr);
}

TEST_F(RenderTest, TheThinFaceIsARealThinFace) {
    // The thin face draws visibly less ink than the regular one of its family; a missing thin face would fall
    // back to a regular weight.
    render::PangoTextMeasurer::install();
    auto ink = [](const char* fontName) {
        View root(Rect(0, 0, 300, 80));
        root.setBackgroundColor(Color::black());
        auto* label = root.add(std::make_unique<Label>(Rect(0, 0, 300, 80)));
        label->setFont(Font::named(fontName, 60));
        label->setTextColor(Color::white());
        label->setText("8888");
        auto image = render::Renderer::render(root, 1);
        double sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) sum += image.pixel(x, y).red;
        return sum;
    };
    double thin = ink("HelveticaNeue-Thin");
    double regular = ink("DejaVu Sans");
    EXPECT_GT(thin, 0);
    EXPECT_LT(thin, regular * 0.75) << "thin " << thin << ", regular " << regular;
    TextMeasurer::setShared(nullptr);
}

namespace {
// The mean width of a caption's strokes, whatever its shape: twice its ink over the length of its
// outline, drawn white on black at 40 points and scale 2 (in pixels). Colourful pixels are counted.
double strokeWidth(const char* caption, const char* fontName, int* colourful = nullptr) {
    View root(Rect(0, 0, 240, 100));
    root.setBackgroundColor(Color::black());
    auto* label = root.add(std::make_unique<Label>(Rect(0, 0, 240, 100)));
    label->setFont(Font::named(fontName, 40));
    label->setTextColor(Color::white());
    label->setText(caption);
    const auto image = render::Renderer::render(root, 2);
    double ink = 0, outline = 0;
    for (int y = 1; y < image.height(); ++y)
        for (int x = 1; x < image.width(); ++x) {
            const Color c = image.pixel(x, y);
            ink += c.green;
            outline += std::fabs(c.green - image.pixel(x - 1, y).green) + std::fabs(c.green - image.pixel(x, y - 1).green);
            if (colourful && std::fabs(c.red - c.green) + std::fabs(c.green - c.blue) > 0.5) ++*colourful;
        }
    return 2 * ink / outline;
}
}  // namespace

TEST_F(RenderTest, MarkersAndSymbolsKeepTheThinStrokesOfTheDigits) {
    render::PangoTextMeasurer::install();
    const char* thin = "HelveticaNeue-Thin";
    const double digit = strokeWidth("8", thin);
    EXPECT_GT(strokeWidth("8", "DejaVu Sans"), 1.8 * digit);  // the measure tells a regular weight
    for (const char* caption : {"𝜋", "𝑒", "𝜑", "𝑖", "𝑑", "𝑚", "㏑", "㏒", "√", "x⁻¹", "x²", "xⁿ", "xʸ", "ƒ(x)", "⌫",
                                "±", "−", "×", "÷", "1∕x", "(⋯)", "⚙", "⇨", "⏎", "⮐"}) {
        // Arrows with solid heads measure somewhat wider than their strokes.
        const double most = std::string(caption) == "⏎" || std::string(caption) == "⮐" ? 1.6 : 1.3;
        const double ratio = strokeWidth(caption, thin) / digit;
        EXPECT_GT(ratio, 0.7) << caption;
        EXPECT_LT(ratio, most) << caption << ": strokes " << ratio << " times as wide as the digit's";
    }
    for (const char* emoji : {"🌐", "✅"}) {  // keep their colour face
        int colourful = 0;
        strokeWidth(emoji, thin, &colourful);
        EXPECT_GT(colourful, 500) << emoji;
    }
    TextMeasurer::setShared(nullptr);
}

// A frame that changes a large part of the window draws it through a large picture; the
// renderer lets that picture go after the frame and keeps only a small one between frames.
TEST_F(RenderTest, FramesKeepOnlyASmallPictureBetweenThem) {
    auto root = Layer::make();
    root->setFrame(Rect(0, 0, 400, 400));
    auto large = Layer::make();
    large->setFrame(Rect(0, 0, 400, 180));  // under half the window, over 256 kB of pixels
    auto small = Layer::make();
    small->setFrame(Rect(0, 300, 10, 10));
    root->addSublayer(large);
    root->addSublayer(small);
    const render::Image target(400, 400);
    render::FrameRenderer frames;
    auto frame = [&] {
        cairo_t* cr = cairo_create(target.surface());
        const auto boxes = frames.draw(cr, *root, 1, Color::white());
        cairo_destroy(cr);
        return boxes.size();
    };
    frame();
    large->backgroundColor = red;
    ASSERT_EQ(frame(), 1u);
    EXPECT_TRUE(near(target.pixel(200, 90), red));
    EXPECT_LE(frames.keptBytes(), std::size_t{256} << 10);
    small->backgroundColor = blue;
    ASSERT_EQ(frame(), 1u);
    EXPECT_GT(frames.keptBytes(), 0u);
}
