#pragma once

namespace uikit {

class TextField;

// Hears when a text field's editing ends: it stopped being the first responder (Return, a touch
// elsewhere in the window, or its window's editing ended).
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual void textFieldDidEndEditing(TextField& textField) { (void)textField; }
};

}  // namespace uikit
