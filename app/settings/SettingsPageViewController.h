#pragma once

#include "platform/foundation/Lifetime.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/Switch.h"
#include "platform/uikit/TextField.h"
#include "platform/uikit/ViewController.h"

namespace ostrelo {

// The app's page of the system settings: the user's own currency, typed as text and written to
// the app-group suite when its editing ends, and the coloured display, written as soon as it is
// switched. The page neither checks nor changes what is typed: the app reads both keys, and
// judges the code, when it next becomes active. It follows the app's saved theme. What another
// program stored meanwhile shows at the page's activation and before the page writes (a field
// being edited keeps what is typed).
class SettingsPageViewController : public uikit::ViewController, public uikit::TextFieldDelegate {
public:
    void viewDidLoad() override;
    void textFieldDidEndEditing(uikit::TextField& textField) override;

    uikit::TextField* ownCurrencyField() const { return ownCurrencyField_; }
    uikit::Switch* colorSwitch() const { return colorSwitch_; }

private:
    uikit::Label* addCaption(const std::string& text, double size);
    void layOut(uikit::Label& ownCurrencyLabel, uikit::Label& colorLabel, uikit::Label& note);
    void colorSwitchChanged();
    // The controls show the store again when another program changed it since the page last read
    // it; `writing` is the control whose value is about to be written, which keeps its own.
    void takeUpChanges(const uikit::View* writing);
    void write(const std::string& key, const foundation::PropertyListValue& value, const uikit::View& control);

    uikit::TextField* ownCurrencyField_ = nullptr;
    uikit::Switch* colorSwitch_ = nullptr;
    std::shared_ptr<foundation::UserDefaults> suite_;
    std::optional<std::int64_t> seenVersion_;
    foundation::NotificationCenter::Token activation_;
    // Last: links into this page expire before anything else of it goes.
    foundation::Lifetime screenLifetime_;
};

}  // namespace ostrelo
