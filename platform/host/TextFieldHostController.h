#pragma once

#include "platform/host/HostController.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/InputViewController.h"
#include "platform/uikit/InputViewHost.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace host {

class HostTextField;

// The window of an app with a text field that a keyboard types into: the multi-line field on
// top, a bar with "Copy" (the field's whole text to the pasteboard) and the globe (the system's
// keyboard switch), and the keyboard docked at the bottom at the height its constraints ask.
// There are two input modes: the keyboard, and system typing, where the keyboard is hidden (it
// sees itself disappear) and the field takes the physical keyboard's text, Backspace and Return.
// The globe, or the keyboard's own switch (acted on after the current event), goes to the other
// mode.
class TextFieldHostController : public HostController, public uikit::InputViewHost {
public:
    using Factory = std::function<std::unique_ptr<uikit::InputViewController>()>;
    enum class InputMode { keyboard, system };

    explicit TextFieldHostController(Factory makeKeyboard);
    ~TextFieldHostController() override;

    // What the user sees and does.
    const std::string& fieldText() const;
    // The app changes its field's text; the keyboard hears of it.
    void setFieldText(const std::string& text);
    InputMode inputMode() const { return mode_; }
    // The modes switched to, in order.
    const std::vector<InputMode>& inputModeSwitches() const { return switches_; }
    // The globe button.
    void tapGlobe();
    uikit::Button& globeButton() const { return *globe_; }
    uikit::Button& copyButton() const { return *copy_; }
    const HostTextField& field() const { return *field_; }
    uikit::InputViewController* keyboard() const { return keyboard_; }

    // InputViewHost
    uikit::TextDocumentProxy& textDocumentProxy() override;
    void advanceToNextInputMode() override;

    // HostController
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidLayoutSubviews() override;
    void traitCollectionDidChange(const uikit::TraitCollection* previous) override;
    void layoutHostViews() override;
    void pressesBegan(const uikit::PressSet& presses, const uikit::Event* event) override;

private:
    void switchInputMode();
    void type(const std::string& characters);
    bool keyboardShown() const;
    void applyPalette();

    Factory makeKeyboard_;
    uikit::InputViewController* keyboard_ = nullptr;
    InputMode mode_ = InputMode::keyboard;
    std::vector<InputMode> switches_;
    bool settling_ = false;
    HostTextField* field_ = nullptr;
    uikit::View* bar_ = nullptr;
    uikit::Button* copy_ = nullptr;
    uikit::Button* globe_ = nullptr;
};

}  // namespace host
