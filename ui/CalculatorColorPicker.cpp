#include "ui/CalculatorColorPicker.h"

#include "platform/uikit/GraphicsContext.h"
#include "platform/uikit/LongPressGestureRecognizer.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace ostrelo {

CalculatorColorPicker::CalculatorColorPicker() : CalculatorColorPicker(uikit::Rect()) {}

CalculatorColorPicker::CalculatorColorPicker(const uikit::Rect& frame) : uikit::View(frame) {
    setClipsToBounds(true);
    auto gesture = std::make_unique<uikit::LongPressGestureRecognizer>();
    gesture->minimumPressDuration = 0.0;
    gesture->allowableMovement = std::numeric_limits<double>::max();
    gesture->addTarget([this](uikit::GestureRecognizer& recognizer) { touchedColorWithGestureRecognizer(recognizer); },
                       alive());
    addGestureRecognizer(std::move(gesture));
}

void CalculatorColorPicker::setDelegate(CalculatorColorPickerDelegate* delegate, std::weak_ptr<void> guard) {
    delegate_ = {delegate, std::move(guard)};
}

void CalculatorColorPicker::setElements(double elements) {
    elements_ = elements;
    setNeedsDisplay();
}

bool CalculatorColorPicker::setProperty(const std::string& key, const std::string& value, std::string& error) {
    if (key != "elements") return uikit::View::setProperty(key, value, error);
    char* end = nullptr;
    const double parsed = std::strtod(value.c_str(), &end);
    if (value.empty() || end != value.c_str() + value.size()) {
        error = "property \"elements\" needs a number, not \"" + value + "\"";
        return false;
    }
    setElements(parsed);
    return true;
}

bool CalculatorColorPicker::hasCells() const { return elements_ > 0 && std::isfinite(elements_); }

uikit::Color CalculatorColorPicker::cellColor(double x, double y, double w, double h) {
    const double hue = x / w;
    float saturation;
    double brightness;
    if (y < h / 2) {
        saturation = 2.0f * static_cast<float>(y) / static_cast<float>(h);
        brightness = 1.0;
    } else {
        saturation = 2.0f * static_cast<float>(h - y) / static_cast<float>(h);
        brightness = 2 * (h - y) / h;
    }
    return uikit::Color::fromHSB(hue, saturation, brightness, 1.0);
}

void CalculatorColorPicker::drawRect(const uikit::Rect& rect) {
    uikit::GraphicsContext* context = uikit::GraphicsContext::current();
    const double width = rect.size.width;
    const double height = rect.size.height;
    // Without cells, or in an empty rectangle, the stepping would not advance: nothing to draw.
    if (context == nullptr || !hasCells() || !(width > 0) || !(height > 0)) return;
    const double cellWidth = width / elements_;
    const double cellHeight = height / elements_;
    // Each cell starts at a whole multiple of the cell size: summing the size up instead would
    // drift, and could add a row or column just inside the edge.
    for (double row = 0; row * cellHeight < height; ++row) {
        const double y = row * cellHeight;
        for (double column = 0; column * cellWidth < width; ++column) {
            const double x = column * cellWidth;
            context->setFillColor(cellColor(x, y, width, height));
            context->fillRect({x, y, cellWidth, cellHeight});
        }
    }
}

std::optional<uikit::Color> CalculatorColorPicker::colorAtPoint(uikit::Point point) const {
    if (!hasCells()) return std::nullopt;
    const double cellWidth = frame().width() / elements_;
    const double cellHeight = frame().height() / elements_;
    if (!(cellWidth > 0) || !(cellHeight > 0)) return std::nullopt;
    const double x = cellWidth * std::trunc(point.x / cellWidth);
    const double y = cellHeight * std::trunc(point.y / cellHeight);
    return cellColor(x, y, bounds().width(), bounds().height());
}

void CalculatorColorPicker::touchedColorWithGestureRecognizer(uikit::GestureRecognizer& gesture) {
    handleColorGesture(gesture);
}

void CalculatorColorPicker::handleColorGesture(uikit::GestureRecognizer& gesture) {
    const uikit::Point p = gesture.locationInView(this);
    if (!(p.x >= 0 && p.x < frame().width() && p.y >= 0 && p.y < frame().height())) return;
    const auto color = colorAtPoint(p);
    if (!color) return;
    if (CalculatorColorPickerDelegate* target = delegate()) target->colorPickerTouched(*this, *color, p, gesture.state());
}

}  // namespace ostrelo
