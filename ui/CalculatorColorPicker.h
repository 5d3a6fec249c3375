#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/GestureRecognizer.h"
#include "platform/uikit/View.h"
#include "ui/CalculatorColorPickerDelegate.h"

#include <memory>
#include <optional>

namespace ostrelo {

// A grid of `elements` × `elements` colour cells: hue across; down the upper half from white to
// full colours, down the lower half from full colours to black. The colour under the finger is
// reported to the delegate at once and on every move.
class CalculatorColorPicker : public uikit::View {
public:
    CalculatorColorPicker();
    explicit CalculatorColorPicker(const uikit::Rect& frame);

    // The delegate is not owned: it reads as none once its guard has expired (see WeakLink).
    CalculatorColorPickerDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(CalculatorColorPickerDelegate* delegate, std::weak_ptr<void> guard);

    const float saturationExponentTop = 1.0f;
    const float saturationExponentBottom = 1.0f;

    double elements() const { return elements_; }
    // Requests a redraw.
    void setElements(double elements);

    void drawRect(const uikit::Rect& rect) override;
    // The colour of the cell under `point`; none when there are no cells (`elements` 0 or less).
    std::optional<uikit::Color> colorAtPoint(uikit::Point point) const;
    // The gesture's action.
    void touchedColorWithGestureRecognizer(uikit::GestureRecognizer& gesture);
    void handleColorGesture(uikit::GestureRecognizer& gesture);

    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;

    // The colour of the cell whose top-left corner is (x, y) in a grid of width w and height h.
    static uikit::Color cellColor(double x, double y, double w, double h);

private:
    bool hasCells() const;

    double elements_ = 1.0;
    foundation::WeakLink<CalculatorColorPickerDelegate> delegate_;
};

}  // namespace ostrelo
