#include "platform/uikit/Button.h"

namespace uikit {

Button::Button() {
    auto label = std::make_unique<Label>();
    label->textAlignment = TextAlignment::center;
    label->lineBreakMode = LineBreakByTruncatingMiddle;
    titleLabel_ = add(std::move(label));
}

Button::Button(const Rect& frame) : Button() { setFrame(frame); }

void Button::setTitle(const std::optional<std::string>& title, unsigned state) {
    if (title) titles_[state] = *title;
    else titles_.erase(state);
    updateTitle();
}

std::optional<std::string> Button::titleForState(unsigned state) const {
    auto it = titles_.find(state);
    if (it != titles_.end()) return it->second;
    it = titles_.find(ControlStateNormal);
    if (it != titles_.end()) return it->second;
    return std::nullopt;
}

void Button::setTitleColor(const std::optional<Color>& color, unsigned state) {
    if (color) titleColors_[state] = *color;
    else titleColors_.erase(state);
    updateTitle();
}

std::optional<Color> Button::titleColorForState(unsigned state) const {
    auto it = titleColors_.find(state);
    if (it != titleColors_.end()) return it->second;
    it = titleColors_.find(ControlStateNormal);
    if (it != titleColors_.end()) return it->second;
    return std::nullopt;
}

void Button::setHighlighted(bool highlighted) {
    Control::setHighlighted(highlighted);
    updateTitle();
}

void Button::setEnabled(bool enabled) {
    Control::setEnabled(enabled);
    updateTitle();
}

void Button::setSelected(bool selected) {
    Control::setSelected(selected);
    updateTitle();
}

void Button::updateTitle() {
    auto title = currentTitle().value_or("");
    if (titleLabel_->text() != title) titleLabel_->setText(title);
    Color color = titleColorForState(state()).value_or(tintColor.value_or(Color{0, 122 / 255.0, 1, 1}));
    if (!(titleLabel_->textColor() == color)) titleLabel_->setTextColor(color);
}

void Button::layoutSubviews() {
    Control::layoutSubviews();
    titleLabel_->setFrame(titleRectForContentRect(bounds()));
    updateTitle();
}

bool Button::setProperty(const std::string& key, const std::string& value, std::string& error) {
    if (key == "title") { setTitle(value, ControlStateNormal); return true; }
    if (key == "titleColor") {
        Color c;
        if (!Color::parse(value.c_str(), c)) { error = "bad colour \"" + value + "\" for property \"titleColor\""; return false; }
        setTitleColor(c, ControlStateNormal);
        return true;
    }
    return Control::setProperty(key, value, error);
}

}  // namespace uikit
