#pragma once

namespace uikit {

class PickerView;

// Tells a picker how many components and rows it has.
class PickerViewDataSource {
public:
    virtual ~PickerViewDataSource() = default;
    virtual int numberOfComponentsInPickerView(PickerView& picker) = 0;
    virtual int numberOfRowsInComponent(PickerView& picker, int component) = 0;
};

}  // namespace uikit
