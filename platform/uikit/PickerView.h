#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/PickerViewDataSource.h"
#include "platform/uikit/PickerViewDelegate.h"
#include "platform/uikit/View.h"

#include <vector>

namespace uikit {

class Label;

// Columns (components) of rows; each column shows its selected row in the middle and its
// neighbours above and below, fading out towards the top and bottom edges. Dragging a column
// moves its selection by whole rows; a tap on a row above or below selects it. User selections
// are reported to the delegate.
class PickerView : public View {
public:
    PickerView();
    explicit PickerView(const Rect& frame);

    // Neither is owned: each reads as none once its guard has expired (see WeakLink).
    PickerViewDataSource* dataSource() const { return dataSource_.get(); }
    void setDataSource(PickerViewDataSource* dataSource, std::weak_ptr<void> guard);
    PickerViewDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(PickerViewDelegate* delegate, std::weak_ptr<void> guard);

    int numberOfComponents();
    int numberOfRowsInComponent(int component);
    double rowHeightForComponent(int component);
    // The size of one row: the component's width (the components share the width equally)
    // and its row height.
    Size rowSizeForComponent(int component);
    // Clamped to the rows there are; -1 for a component without rows.
    void selectRow(int row, int component, bool animated);
    int selectedRowInComponent(int component) const;
    void reloadAllComponents();
    void reloadComponent(int component);
    // The view shown for a row, when it is visible.
    View* viewForRow(int row, int component) const;
    std::optional<Color> textColor;

    void layoutSubviews() override;
    void touchesBegan(const TouchSet& touches, const Event* event) override;
    void touchesMoved(const TouchSet& touches, const Event* event) override;
    void touchesEnded(const TouchSet& touches, const Event* event) override;
    void touchesCancelled(const TouchSet& touches, const Event* event) override;

private:
    struct Column {
        int selected = 0;
        int rows = 0;
        std::vector<std::pair<int, View*>> rowViews;
    };
    // The most bands of one opacity each that fade a row.
    static constexpr int fadeBands = 48;
    void ensureColumns();
    // The mask that fades a row lying (partly) beside the selection; null for one within it.
    std::shared_ptr<Layer> fadeMask(const Rect& row, double rowHeight) const;
    int componentAt(Point p);
    void userSelect(int row, int component);

    foundation::WeakLink<PickerViewDataSource> dataSource_;
    foundation::WeakLink<PickerViewDelegate> delegate_;
    std::vector<Column> columns_;
    bool loaded_ = false;
    int dragComponent_ = -1;
    int dragStartRow_ = 0;
    Point dragStart_;
    bool dragged_ = false;
};

}  // namespace uikit
