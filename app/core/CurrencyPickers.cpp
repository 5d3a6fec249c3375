#include "app/core/CurrencyPickers.h"

#include "app/core/CalculatorScreen.h"
#include "engine/Calculator.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/Font.h"
#include "platform/uikit/LongPressGestureRecognizer.h"
#include "platform/uikit/Label.h"
#include "ui/CalculatorPicker.h"
#include "ui/Theme.h"

#include <algorithm>

namespace ostrelo {

namespace {

constexpr double pressInset = 10;
constexpr double pressSeconds = 0.2;

void selectIfNeeded(CalculatorPicker* picker, std::int64_t row) {
    if (picker != nullptr && picker->selectedRowInComponent(0) != row) picker->selectRow(static_cast<int>(row), 0, false);
}

}  // namespace

void CurrencyPickers::setUp() {
    const ScreenLinks& links = screen_.links();
    for (CalculatorPicker* picker : {links.fromPicker, links.toPicker}) {
        if (picker == nullptr) continue;
        picker->setDelegate(this, links.guard);
        picker->setDataSource(this, links.guard);
    }
}

void CurrencyPickers::restoreSelection() {
    const ScreenLinks& links = screen_.links();
    selectIfNeeded(links.fromPicker, links.calculator->from);
    selectIfNeeded(links.toPicker, links.calculator->to);
}

void CurrencyPickers::shrinkAndSpringBack(uikit::View& view) {
    const double w = view.bounds().width(), h = view.bounds().height();
    if (w <= pressInset || h <= pressInset) return;
    std::weak_ptr<void> alive = view.alive();
    uikit::View* shrunk = &view;
    uikit::View::animate(
        pressSeconds, [shrunk, w, h] { shrunk->setTransform(uikit::AffineTransform::scale((w - pressInset) / w, (h - pressInset) / h)); },
        [shrunk, alive](bool) {
            if (alive.expired()) return;
            uikit::View::animate(pressSeconds, [shrunk] { shrunk->setTransform(uikit::AffineTransform::identity()); });
        });
}

int CurrencyPickers::numberOfComponentsInPickerView(uikit::PickerView&) { return 1; }

int CurrencyPickers::numberOfRowsInComponent(uikit::PickerView&, int) {
    return static_cast<int>(screen_.links().calculator->currency.size());
}

double CurrencyPickers::rowHeightForComponent(uikit::PickerView& picker, int) { return picker.frame().height() / 2; }

std::unique_ptr<uikit::View> CurrencyPickers::viewForRow(uikit::PickerView& picker, int row, int, uikit::View*) {
    const auto& currency = screen_.links().calculator->currency;
    auto label = std::make_unique<uikit::Label>();
    const double w = picker.frame().width(), h = picker.frame().height();
    if (h > 0) {
        if (auto font = uikit::Font::named(themeFontName(), (h / 3) * std::min(w / h, 1.0))) label->setFont(*font);
    }
    label->setTextColor(functionTitleColor());
    if (row >= 0 && row < static_cast<int>(currency.size())) label->setText(currency[static_cast<std::size_t>(row)]);
    label->textAlignment = uikit::TextAlignment::center;
    return label;
}

void CurrencyPickers::didSelectRow(uikit::PickerView& picker, int, int) {
    const ScreenLinks& links = screen_.links();
    Calculator& c = *links.calculator;
    if (links.fromPicker != nullptr) c.from = links.fromPicker->selectedRowInComponent(0);
    if (links.toPicker != nullptr) c.to = links.toPicker->selectedRowInComponent(0);
    auto suite = SharedSettings::open();
    suite->set("from", c.from);
    suite->set("to", c.to);
    suite->synchronize();
    shrinkAndSpringBack(picker);
}

void CurrencyPickers::attachOwnRateLongPress() {
    const ScreenLinks& links = screen_.links();
    if (links.fromPicker == nullptr) return;
    auto recognizer = std::make_unique<uikit::LongPressGestureRecognizer>();
    recognizer->addTarget([this](uikit::GestureRecognizer& r) { handleLongPressForConvertFrom(r); }, links.guard);
    links.fromPicker->addGestureRecognizer(std::move(recognizer));
}

void CurrencyPickers::handleLongPressForConvertFrom(uikit::GestureRecognizer& recognizer) {
    auto& loop = foundation::RunLoop::main();
    if (recognizer.state() == uikit::GestureRecognizer::began) {
        // The recogniser belongs to the picker, which the screen's guard outlives no longer than
        // the screen; the pending call is dropped with either.
        std::weak_ptr<void> pickerAlive = screen_.links().fromPicker->alive();
        uikit::GestureRecognizer* pressed = &recognizer;
        loop.perform(this, screen_.links().guard, ownRateDelay, [this, pressed, pickerAlive] {
            if (!pickerAlive.expired()) longPress(*pressed);
        });
    } else if (recognizer.state() == uikit::GestureRecognizer::cancelled) {
        loop.cancelPerformRequests(this);
    }
}

void CurrencyPickers::longPress(uikit::GestureRecognizer& recognizer) {
    const ScreenLinks& links = screen_.links();
    CalculatorPicker* picker = links.fromPicker;
    if (picker == nullptr) return;
    const double rowHeight = picker->rowSizeForComponent(0).height;
    const uikit::Rect band = picker->bounds().insetBy(0, (picker->frame().height() - rowHeight) / 2);
    if (!band.contains(recognizer.locationInView(picker))) return;
    if (picker->selectedRowInComponent(0) != ownCurrencyRow) return;
    shrinkAndSpringBack(*picker);
}

}  // namespace ostrelo
