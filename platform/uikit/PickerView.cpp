#include "platform/uikit/PickerView.h"

#include "platform/uikit/Label.h"

#include <algorithm>
#include <cmath>

namespace uikit {

PickerView::PickerView() { setClipsToBounds(true); }

PickerView::PickerView(const Rect& frame) : PickerView() { setFrame(frame); }

void PickerView::setDataSource(PickerViewDataSource* dataSource, std::weak_ptr<void> guard) {
    dataSource_ = {dataSource, std::move(guard)};
}

void PickerView::setDelegate(PickerViewDelegate* delegate, std::weak_ptr<void> guard) {
    delegate_ = {delegate, std::move(guard)};
}

void PickerView::ensureColumns() {
    if (loaded_) return;
    loaded_ = true;
    int n = dataSource() != nullptr ? std::max(0, dataSource()->numberOfComponentsInPickerView(*this)) : 0;
    std::vector<Column> columns(static_cast<std::size_t>(n));
    for (int c = 0; c < n; ++c) {
        auto& column = columns[static_cast<std::size_t>(c)];
        column.rows = dataSource() != nullptr ? std::max(0, dataSource()->numberOfRowsInComponent(*this, c)) : 0;
        if (static_cast<std::size_t>(c) < columns_.size()) column.selected = columns_[static_cast<std::size_t>(c)].selected;
        column.selected = column.rows == 0 ? 0 : std::clamp(column.selected, 0, column.rows - 1);
    }
    for (auto& old : columns_)
        for (auto& [row, view] : old.rowViews) auto gone = view->removeFromSuperview();
    columns_ = std::move(columns);
    setNeedsLayout();
}

int PickerView::numberOfComponents() {
    ensureColumns();
    return static_cast<int>(columns_.size());
}

int PickerView::numberOfRowsInComponent(int component) {
    ensureColumns();
    if (component < 0 || component >= static_cast<int>(columns_.size())) return 0;
    return columns_[static_cast<std::size_t>(component)].rows;
}

double PickerView::rowHeightForComponent(int component) {
    PickerViewDelegate* d = delegate();
    return d != nullptr ? d->rowHeightForComponent(*this, component) : 32;
}

Size PickerView::rowSizeForComponent(int component) {
    int components = std::max(1, numberOfComponents());
    return {bounds().size.width / components, rowHeightForComponent(component)};
}

void PickerView::selectRow(int row, int component, bool) {
    ensureColumns();
    if (component < 0 || component >= static_cast<int>(columns_.size())) return;
    auto& column = columns_[static_cast<std::size_t>(component)];
    if (column.rows == 0) return;
    column.selected = std::clamp(row, 0, column.rows - 1);
    setNeedsLayout();
}

int PickerView::selectedRowInComponent(int component) const {
    if (component < 0 || component >= static_cast<int>(columns_.size())) return -1;
    const auto& column = columns_[static_cast<std::size_t>(component)];
    return column.rows == 0 ? -1 : column.selected;
}

void PickerView::reloadAllComponents() {
    loaded_ = false;
    ensureColumns();
}

void PickerView::reloadComponent(int component) {
    PickerViewDataSource* source = dataSource();
    if (component < 0 || component >= static_cast<int>(columns_.size()) || source == nullptr) return;
    auto& column = columns_[static_cast<std::size_t>(component)];
    column.rows = std::max(0, source->numberOfRowsInComponent(*this, component));
    column.selected = column.rows == 0 ? 0 : std::clamp(column.selected, 0, column.rows - 1);
    for (auto& [row, view] : column.rowViews) auto gone = view->removeFromSuperview();
    column.rowViews.clear();
    setNeedsLayout();
}

View* PickerView::viewForRow(int row, int component) const {
    if (component < 0 || component >= static_cast<int>(columns_.size())) return nullptr;
    for (const auto& [r, view] : columns_[static_cast<std::size_t>(component)].rowViews)
        if (r == row) return view;
    return nullptr;
}

void PickerView::layoutSubviews() {
    View::layoutSubviews();
    ensureColumns();
    Rect b = bounds();
    int n = static_cast<int>(columns_.size());
    if (n == 0) return;
    double width = b.size.width / n;
    for (int c = 0; c < n; ++c) {
        auto& column = columns_[static_cast<std::size_t>(c)];
        std::vector<std::pair<int, View*>> old = std::move(column.rowViews);
        column.rowViews.clear();
        double height = std::max(1.0, rowHeightForComponent(c));
        int visible = static_cast<int>(std::ceil(b.size.height / height / 2));
        for (int row = column.selected - visible; row <= column.selected + visible; ++row) {
            if (row < 0 || row >= column.rows) continue;
            View* reusing = nullptr;
            for (auto& [r, v] : old)
                if (r == row) reusing = v;
            std::unique_ptr<View> made;
            if (PickerViewDelegate* d = delegate()) made = d->viewForRow(*this, row, c, reusing);
            View* shown = nullptr;
            if (made) {
                if (made.get() == reusing) made.release();  // the delegate handed back the shown view
                else shown = add(std::move(made));
            }
            if (shown == nullptr && reusing != nullptr) shown = reusing;
            if (shown == nullptr) {
                auto label = std::make_unique<Label>();
                label->textAlignment = TextAlignment::center;
                shown = add(std::move(label));
            }
            if (auto* label = dynamic_cast<Label*>(shown); label != nullptr && delegate() != nullptr) {
                if (auto title = delegate()->titleForRow(*this, row, c)) {
                    label->setText(*title);
                    if (textColor) label->setTextColor(*textColor);
                    label->setFont(Font::systemFont(std::min(21.0, height * 0.7)));
                }
            }
            double y = b.origin.y + b.size.height / 2 + (row - column.selected - 0.5) * height;
            shown->setFrame(Rect(b.origin.x + c * width, y, width, height));
            shown->setAlpha(row == column.selected ? 1.0 : 0.5);
            shown->layer().mask = fadeMask(shown->frame(), height);
            column.rowViews.emplace_back(row, shown);
        }
        for (auto& entry : old) {
            View* view = entry.second;
            bool kept = std::any_of(column.rowViews.begin(), column.rowViews.end(),
                                    [view](const auto& shownEntry) { return shownEntry.second == view; });
            if (!kept) auto gone = view->removeFromSuperview();
        }
    }
    layoutIsDone();
}

std::shared_ptr<Layer> PickerView::fadeMask(const Rect& row, double rowHeight) const {
    // Opaque over the selected row, fading to nothing at the picker's top and bottom edges.
    const Rect b = bounds();
    const double selectionTop = b.midY() - rowHeight / 2;
    const double selectionBottom = b.midY() + rowHeight / 2;
    // The share of the way from the picker's edge to the selection, eased so that rows fade
    // softly at the edges.
    auto opacityAt = [&](double y) {
        double share = 1;
        if (y < selectionTop) share = (y - b.minY()) / std::max(selectionTop - b.minY(), 1e-9);
        else if (y > selectionBottom) share = (b.maxY() - y) / std::max(b.maxY() - selectionBottom, 1e-9);
        share = std::clamp(share, 0.0, 1.0);
        return share * share;
    };
    if (row.minY() >= selectionTop && row.maxY() <= selectionBottom) return nullptr;
    // Bands of one opacity each, about a point high.
    const int bands = std::clamp(static_cast<int>(std::ceil(row.height())), 1, fadeBands);
    const double band = row.height() / bands;
    auto mask = Layer::make();
    mask->setFrame(Rect(0, 0, row.width(), row.height()));
    for (int i = 0; i < bands; ++i) {
        auto strip = Layer::make();
        strip->setFrame(Rect(0, i * band, row.width(), band));
        strip->backgroundColor = Color{1, 1, 1, opacityAt(row.minY() + (i + 0.5) * band)};
        mask->addSublayer(std::move(strip));
    }
    return mask;
}

int PickerView::componentAt(Point p) {
    int n = numberOfComponents();
    if (n == 0 || bounds().size.width <= 0) return -1;
    return std::clamp(static_cast<int>((p.x - bounds().origin.x) / (bounds().size.width / n)), 0, n - 1);
}

void PickerView::userSelect(int row, int component) {
    auto& column = columns_[static_cast<std::size_t>(component)];
    if (column.rows == 0) return;
    row = std::clamp(row, 0, column.rows - 1);
    column.selected = row;
    setNeedsLayout();
    layoutIfNeeded();
    if (PickerViewDelegate* d = delegate()) d->didSelectRow(*this, row, component);
}

void PickerView::touchesBegan(const TouchSet& touches, const Event*) {
    if (touches.empty()) return;
    dragStart_ = touches.front()->locationInView(this);
    dragComponent_ = componentAt(dragStart_);
    dragStartRow_ = selectedRowInComponent(dragComponent_);
    dragged_ = false;
}

void PickerView::touchesMoved(const TouchSet& touches, const Event*) {
    if (touches.empty() || dragComponent_ < 0) return;
    Point p = touches.front()->locationInView(this);
    if (std::fabs(p.y - dragStart_.y) > 10) dragged_ = true;
    if (!dragged_) return;
    double height = std::max(1.0, rowHeightForComponent(dragComponent_));
    int row = dragStartRow_ - static_cast<int>(std::lround((p.y - dragStart_.y) / height));
    auto& column = columns_[static_cast<std::size_t>(dragComponent_)];
    if (column.rows == 0) return;
    column.selected = std::clamp(row, 0, column.rows - 1);
    setNeedsLayout();
}

void PickerView::touchesEnded(const TouchSet& touches, const Event*) {
    if (touches.empty() || dragComponent_ < 0) return;
    int component = dragComponent_;
    dragComponent_ = -1;
    auto& column = columns_[static_cast<std::size_t>(component)];
    if (column.rows == 0) return;
    if (dragged_) {
        if (column.selected != dragStartRow_) userSelect(column.selected, component);
        return;
    }
    // A tap: the row under the finger.
    Point p = touches.front()->locationInView(this);
    double height = std::max(1.0, rowHeightForComponent(component));
    double fromMiddle = p.y - (bounds().origin.y + bounds().size.height / 2);
    int row = column.selected + static_cast<int>(std::floor(fromMiddle / height + 0.5));
    if (row != column.selected && row >= 0 && row < column.rows) userSelect(row, component);
}

void PickerView::touchesCancelled(const TouchSet&, const Event*) {
    if (dragComponent_ >= 0 && dragComponent_ < static_cast<int>(columns_.size())) {
        columns_[static_cast<std::size_t>(dragComponent_)].selected = dragStartRow_;
        setNeedsLayout();
    }
    dragComponent_ = -1;
}

}  // namespace uikit
