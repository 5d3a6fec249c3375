#pragma once

#include "platform/uikit/Control.h"
#include "platform/uikit/Label.h"

#include <map>
#include <optional>
#include <string>

namespace uikit {

// A control with a title and title colour per control state; the normal state's values stand
// in for states without their own. The title is drawn by the button's title label, which fills
// the title rectangle (by default the whole button) and is centred.
class Button : public Control {
public:
    Button();
    explicit Button(const Rect& frame);

    void setTitle(const std::optional<std::string>& title, unsigned state);
    std::optional<std::string> titleForState(unsigned state) const;
    void setTitleColor(const std::optional<Color>& color, unsigned state);
    std::optional<Color> titleColorForState(unsigned state) const;
    std::optional<std::string> currentTitle() const { return titleForState(state()); }
    Label* titleLabel() const { return titleLabel_; }

    void setHighlighted(bool highlighted) override;
    void setEnabled(bool enabled) override;
    void setSelected(bool selected) override;
    // Where the title label lies in the button's content rectangle (its bounds); all of it here.
    virtual Rect titleRectForContentRect(const Rect& contentRect) const { return contentRect; }
    void layoutSubviews() override;
    bool setProperty(const std::string& key, const std::string& value, std::string& error) override;

private:
    void updateTitle();
    std::map<unsigned, std::string> titles_;
    std::map<unsigned, Color> titleColors_;
    Label* titleLabel_ = nullptr;
};

}  // namespace uikit
