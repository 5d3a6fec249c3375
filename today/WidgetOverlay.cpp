#include "today/WidgetOverlay.h"

#include "platform/uikit/Button.h"
#include "platform/uikit/Font.h"
#include "ui/CalculatorButton.h"
#include "ui/CalculatorLabel.h"
#include "ui/CalculatorView.h"
#include "ui/Theme.h"

#include <numbers>

namespace ostrelo {

namespace {

using Type = CalculatorButton::MyButtonType;

constexpr double pointerSide = 20;
constexpr double pointerHalf = pointerSide / 2;
// The gap between the key's column (or row) and the panel.
constexpr double gap = 10;
constexpr double overlayLayer = 1;
constexpr double memoryFontSize = 26;
constexpr double memoryInset = 8;

// Over the keypad from the key's top left corner on, through to the root view's lower edge.
std::unique_ptr<uikit::Button> backgroundButton(const uikit::Rect& key, uikit::Size root) {
    return std::make_unique<uikit::Button>(
        uikit::Rect(key.minX(), key.minY(), root.width, root.height - key.minY()));
}

std::unique_ptr<uikit::View> pointerAt(double x, double y, const uikit::Color& color) {
    auto pointer = std::make_unique<uikit::View>(uikit::Rect(x, y, pointerSide, pointerSide));
    pointer->setBackgroundColor(color);
    pointer->setTransform(pointer->transform().concat(uikit::AffineTransform::rotation(std::numbers::pi / 4)));
    pointer->layer().zPosition = overlayLayer;
    return pointer;
}

// The corner keys round the corner their place names.
Type functionKeyType(int row, int column) {
    const bool top = row == 0, bottom = row == WidgetOverlay::functionRows - 1;
    const bool left = column == 0, right = column == WidgetOverlay::functionColumns - 1;
    if (top && left) return Type::nonDigitTopLeft;
    if (top && right) return Type::nonDigitTopRight;
    if (bottom && left) return Type::nonDigitBottomLeft;
    if (bottom && right) return Type::nonDigitBottomRight;
    return Type::nonDigit;
}

}  // namespace

const char* const WidgetOverlay::functionCaptions[functionRows][functionColumns] = {
    {"x²", "x!", "%", "𝑖"},
    {"xʸ", "√x", "1∕x", "rand"},
    {"sin", "sin⁻¹", "sinh", "sinh⁻¹"},
    {"cos", "cos⁻¹", "cosh", "cosh⁻¹"},
    {"tan", "tan⁻¹", "tanh", "tanh⁻¹"},
    {"㏑", "𝜋", "𝜑", "𝑒"},
};

WidgetOverlay WidgetOverlay::functions(const uikit::Rect& key, uikit::Size root) {
    const double m = key.height();
    WidgetOverlay overlay;
    overlay.background = backgroundButton(key, root);
    overlay.pointer = pointerAt(key.width(), key.minY() + 1.5 * m - pointerHalf, functionBackgroundColor());

    // Three whole points per column of the panel's width, so that its four columns split evenly.
    const double third = static_cast<double>(static_cast<long long>((root.width - key.width() - 2 * gap) / 3));
    const double width = 3 * third;
    // Five keys of the pad high, six rows of function keys.
    const double height = 5 * m;
    overlay.panel = std::make_unique<CalculatorView>(uikit::Rect(key.width() + gap, key.minY() - m, width, height));
    overlay.panel->layer().cornerRadius = 12;
    overlay.panel->setClipsToBounds(true);

    const double keyWidth = width / functionColumns;
    const double keyHeight = height / functionRows;
    const auto font = uikit::Font::named("HelveticaNeue-Thin", keyHeight / 3);
    for (int row = 0; row < functionRows; ++row) {
        for (int column = 0; column < functionColumns; ++column) {
            auto button = std::make_unique<CalculatorButton>(
                uikit::Rect(column * keyWidth, row * keyHeight, keyWidth, keyHeight));
            button->myButtonType = functionKeyType(row, column);
            if (font) button->titleLabel()->setFont(*font);
            button->setTitle(functionCaptions[row][column], uikit::ControlStateNormal);
            overlay.panel->addSubview(std::move(button));
        }
    }
    overlay.panel->layer().zPosition = overlayLayer;
    return overlay;
}

WidgetOverlay WidgetOverlay::memory(const uikit::Rect& key, uikit::Size root,
                                    const std::optional<std::string>& memoryText) {
    const double w = key.width(), m = key.height();
    WidgetOverlay overlay;
    overlay.background = backgroundButton(key, root);
    overlay.pointer = pointerAt(2.5 * w - pointerHalf, key.minY() - 2 * pointerHalf, digitBackgroundColor());

    overlay.panel = std::make_unique<CalculatorView>(uikit::Rect(1.5 * w, key.minY() - m - gap, 2 * w, m));
    overlay.panel->myViewType = CalculatorView::ViewType::memory;
    overlay.panel->layer().cornerRadius = 10;
    overlay.panel->setClipsToBounds(true);
    overlay.panel->layer().zPosition = overlayLayer;

    auto label = std::make_unique<CalculatorLabel>(uikit::Rect(memoryInset, 0, 2 * w - 2 * memoryInset, m));
    label->myLableBackgroundColor = CalculatorLabel::LableBackgroundColor::memory;
    label->lineBreakMode = uikit::LineBreakByTruncatingHead;
    if (auto font = uikit::Font::named("HelveticaNeue-Thin", memoryFontSize)) label->setFont(*font);
    label->setTextColor(labelTextColor());
    label->textAlignment = uikit::TextAlignment::right;
    if (memoryText) label->setText(*memoryText);
    overlay.panel->addSubview(std::move(label));
    return overlay;
}

}  // namespace ostrelo
