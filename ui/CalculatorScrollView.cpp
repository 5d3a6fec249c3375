#include "ui/CalculatorScrollView.h"

#include "ui/CalculatorCalcLabel.h"
#include "ui/ColorProperty.h"
#include "ui/Theme.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace ostrelo {

std::optional<CalculatorScrollView::ScrollBackgroundColor> CalculatorScrollView::scrollBackgroundColorFromRawValue(
    int rawValue) {
    return ColorProperty::caseFromRawValue(rawValue, ScrollBackgroundColor::memory);
}

CalculatorScrollView::CalculatorScrollView() = default;

CalculatorScrollView::CalculatorScrollView(const uikit::Rect& frame) : uikit::ScrollView(frame) {}

int CalculatorScrollView::color() const { return static_cast<int>(myScrollBackgroundColor); }

void CalculatorScrollView::setColor(int rawValue) {
    myScrollBackgroundColor = scrollBackgroundColorFromRawValue(rawValue).value_or(ScrollBackgroundColor::standard);
}

bool CalculatorScrollView::setProperty(const std::string& key, const std::string& value, std::string& error) {
    static const std::vector<std::string> cases = {"empty", "standard", "memory"};
    return ColorProperty::setCase("color", "myScrollBackgroundColor", cases, key, value, error,
                                  [this](int raw) { setColor(raw); },
                                  [&] { return uikit::ScrollView::setProperty(key, value, error); });
}

void CalculatorScrollView::displayLineDidChange() { setNeedsLayout(); }

void CalculatorScrollView::sizeContentToDisplayLines() {
    const double visible = bounds().width();
    // Each line's place in the strip as given (a relative frame is a share of the visible width).
    std::vector<std::pair<CalculatorCalcLabel*, uikit::Rect>> lines;
    double overflow = 0;
    for (const auto& sub : subviews()) {
        auto* line = dynamic_cast<CalculatorCalcLabel*>(sub.get());
        if (line == nullptr) continue;
        line->layoutIfNeeded();  // a line given a new height fits its text anew before it is measured
        const auto& share = line->relativeFrame;
        const uikit::Rect given = share ? uikit::Rect(share->origin.x * visible, line->frame().origin.y,
                                                      share->size.width * visible, line->frame().height())
                                        : line->frame();
        // A text fitting the strip fills at most 0.95 of it; a longer one keeps that margin.
        overflow = std::max(overflow, line->measuredTextSize().width / 0.95 - given.width());
        lines.emplace_back(line, given);
    }
    if (lines.empty()) return;
    // Every line reaches as far past its place as the longest needs, so that all of them end
    // where the content ends.
    for (auto& [line, frame] : lines) {
        frame.size.width += overflow;
        if (!(frame == line->frame())) line->setFrame(frame);
    }
    const uikit::Size content{visible + overflow, bounds().height()};
    if (!(content == contentSize())) setContentSize(content);
}

void CalculatorScrollView::layoutSubviews() {
    uikit::ScrollView::layoutSubviews();
    sizeContentToDisplayLines();
    const double viewWidth = bounds().width();
    const double contentWidth = contentSize().width;
    if (viewWidth != myViewWidth || contentWidth != myContentWidth) {
        myViewWidth = viewWidth;
        myContentWidth = contentWidth;
        setContentOffset({contentWidth - viewWidth, 0});
    }
    switch (myScrollBackgroundColor) {
    case ScrollBackgroundColor::empty: setBackgroundColor(uikit::Color::clear()); break;
    case ScrollBackgroundColor::standard: setBackgroundColor(standardBackgroundColor()); break;
    case ScrollBackgroundColor::memory: setBackgroundColor(digitBackgroundColor()); break;
    }
}

}  // namespace ostrelo
