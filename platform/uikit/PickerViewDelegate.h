#pragma once

#include <memory>
#include <optional>
#include <string>

namespace uikit {

class PickerView;
class View;

// Gives a picker its row titles or row views and row height, and hears of selections.
class PickerViewDelegate {
public:
    virtual ~PickerViewDelegate() = default;
    virtual std::optional<std::string> titleForRow(PickerView&, int row, int component) {
        (void)row; (void)component;
        return std::nullopt;
    }
    // A new view for the row (preferred over the title), or null to keep showing `reusing`, the
    // view already shown for that row (null when there is none: a title label is made).
    virtual std::unique_ptr<View> viewForRow(PickerView&, int row, int component, View* reusing) {
        (void)row; (void)component; (void)reusing;
        return nullptr;
    }
    virtual double rowHeightForComponent(PickerView&, int component) { (void)component; return 32; }
    virtual void didSelectRow(PickerView&, int row, int component) { (void)row; (void)component; }
};

}  // namespace uikit
