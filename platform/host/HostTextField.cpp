#include "platform/host/HostTextField.h"

#include "platform/foundation/Characters.h"

namespace host {

namespace {
constexpr double horizontalPadding = 8;
constexpr double verticalPadding = 6;
}

HostTextField::HostTextField() {
    textView_ = add(std::make_unique<WrappingTextView>());
    layer().cornerRadius = 8;
}

void HostTextField::setText(const std::string& text) {
    text_ = text;
    textView_->setText(text_);
}

void HostTextField::setColors(const uikit::Color& background, const uikit::Color& text) {
    setBackgroundColor(background);
    textView_->setTextColor(text);
}

void HostTextField::insertText(const std::string& text) { setText(text_ + text); }

void HostTextField::deleteBackward() {
    if (!text_.empty()) setText(foundation::Characters::dropLast(text_, 1));
}

void HostTextField::layoutSubviews() {
    uikit::View::layoutSubviews();
    textView_->setFrame(bounds().insetBy(horizontalPadding, verticalPadding));
}

}  // namespace host
