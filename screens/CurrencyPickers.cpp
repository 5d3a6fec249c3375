#include "screens/CurrencyPickers.h"

#include "engine/Calculator.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/Font.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/LongPressGestureRecognizer.h"
#include "screens/CalculatorScreen.h"
#include "screens/OwnCurrency.h"
#include "ui/CalculatorPicker.h"
#include "ui/Theme.h"

#include <algorithm>

namespace ostrelo {

void CurrencyPickers::setupPickers(uikit::PickerViewDataSource& dataSource, uikit::PickerViewDelegate& delegate) {
    const ScreenLinks& links = screen_.links();
    for (CalculatorPicker* picker : {links.fromPicker, links.toPicker}) {
        if (picker == nullptr) continue;
        picker->setDelegate(&delegate, links.guard);
        picker->setDataSource(&dataSource, links.guard);
    }
}

void CurrencyPickers::attachLongPress() {
    CalculatorPicker* picker = screen_.links().fromPicker;
    if (picker == nullptr) return;
    auto recognizer = std::make_unique<uikit::LongPressGestureRecognizer>();
    CalculatorScreen& screen = screen_;
    recognizer->addTarget([&screen](uikit::GestureRecognizer& r) { CurrencyPickers{screen}.handleLongPress(r); },
                          screen.links().guard);
    picker->addGestureRecognizer(std::move(recognizer));
}

int CurrencyPickers::numberOfRows() const {
    return static_cast<int>(screen_.links().calculator->currency().size());
}

double CurrencyPickers::rowHeight(const uikit::PickerView& picker) const { return picker.frame().height() / 2; }

std::unique_ptr<uikit::View> CurrencyPickers::viewForRow(const uikit::PickerView& picker, int row) const {
    auto label = std::make_unique<uikit::Label>();
    const double w = picker.frame().width(), h = picker.frame().height();
    if (h > 0) {
        if (auto font = uikit::Font::named(themeFontName(), (h / 3) * std::min(w / h, 1.0))) label->setFont(*font);
    }
    label->setTextColor(functionTitleColor());
    const auto& codes = screen_.links().calculator->currency();
    if (row >= 0 && row < static_cast<int>(codes.size())) label->setText(codes[static_cast<std::size_t>(row)]);
    label->textAlignment = uikit::TextAlignment::center;
    return label;
}

void CurrencyPickers::didSelectRow(uikit::PickerView& picker) {
    const ScreenLinks& links = screen_.links();
    if (links.fromPicker == nullptr || links.toPicker == nullptr) return;
    Calculator& c = *links.calculator;
    c.chooseCurrencies(links.fromPicker->selectedRowInComponent(0), links.toPicker->selectedRowInComponent(0));
    SharedSettings::store({{SharedSettings::from, c.from()}, {SharedSettings::to, c.to()}});
    shrink(picker);
}

// Smaller by 10 points each way in 0.2 s, then back in 0.2 s.
void CurrencyPickers::shrink(uikit::View& picker) {
    const uikit::Rect frame = picker.bounds();
    const double w = frame.width(), h = frame.height();
    if (w <= 0 || h <= 0) return;
    uikit::View* view = &picker;
    const std::weak_ptr<void> alive = picker.alive();
    uikit::View::animate(
        0.2, [view, w, h] { view->setTransform(uikit::AffineTransform::scale((w - 10) / w, (h - 10) / h)); },
        [view, alive](bool) {
            if (alive.expired()) return;
            uikit::View::animate(0.2, [view] { view->setTransform(uikit::AffineTransform::identity()); });
        });
}

void CurrencyPickers::restorePickerSelection() {
    const ScreenLinks& links = screen_.links();
    if (links.fromPicker == nullptr || links.toPicker == nullptr) return;
    links.fromPicker->selectRow(static_cast<int>(links.calculator->from()), 0, false);
    links.toPicker->selectRow(static_cast<int>(links.calculator->to()), 0, false);
    SharedSettings::open()->synchronize();
}

void CurrencyPickers::restorePickerSelectionAsync() {
    CalculatorScreen& screen = screen_;
    foundation::DispatchQueue::main().asyncAfter(
        0, [&screen] { CurrencyPickers{screen}.restorePickerSelection(); }, screen.links().guard);
}

void CurrencyPickers::handleLongPress(uikit::GestureRecognizer& recognizer) {
    // The pending rate belongs to the screen: it is dropped with the screen or the recogniser.
    const void* target = &screen_;
    if (recognizer.state() == uikit::GestureRecognizer::began) {
        CalculatorScreen& screen = screen_;
        const uikit::GestureRecognizer* held = &recognizer;
        const std::weak_ptr<void> recognizerAlive = recognizer.alive();
        foundation::RunLoop::main().perform(target, screen.links().guard, longPressDelay,
                                            [&screen, held, recognizerAlive] {
                                                if (!recognizerAlive.expired()) CurrencyPickers{screen}.longPress(*held);
                                            });
    } else if (recognizer.state() == uikit::GestureRecognizer::cancelled) {
        foundation::RunLoop::main().cancelPerformRequests(target);
    }
}

void CurrencyPickers::longPress(const uikit::GestureRecognizer& recognizer) {
    const ScreenLinks& links = screen_.links();
    CalculatorPicker* picker = links.fromPicker;
    if (picker == nullptr) return;
    // The band of the selected row: the picker's middle, one row high.
    const double rowHeight = picker->rowSizeForComponent(0).height;
    const uikit::Rect band = picker->bounds().insetBy(0, (picker->bounds().height() - rowHeight) / 2);
    if (!band.contains(recognizer.locationInView(picker))) return;
    if (picker->selectedRowInComponent(0) != OwnCurrency::row) return;
    const OwnCurrency own{*links.calculator};
    if (!own.canStoreRates()) return;
    shrink(*picker);
    screen_.pulseFeedback(*picker, picker->untransformedFrame());
    own.storeRates();
}

}  // namespace ostrelo
