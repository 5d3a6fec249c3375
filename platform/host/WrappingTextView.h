#pragma once

#include "platform/uikit/Color.h"
#include "platform/uikit/Font.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/View.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// Text wrapped to the view's width that keeps its end in view: when its lines do not all fit,
// the last ones show, each on a line of its own.
class WrappingTextView : public uikit::View {
public:
    WrappingTextView();

    const std::string& text() const { return text_; }
    void setText(const std::string& text);
    void setFont(const uikit::Font& font);
    void setTextColor(const uikit::Color& color);
    // The lines shown, top to bottom.
    std::vector<std::string> visibleLines() const;

    void layoutSubviews() override;

    // The lines of `text` at `width`: a line feed ends a line; a line too long breaks after its
    // last blank, or between characters (never inside one) when it has none; blanks may reach
    // past the edge.
    static std::vector<std::string> wrap(std::string_view text, const std::function<double(const std::string&)>& widthOf,
                                         double width);

private:
    double widthOf(const std::string& character) const;
    double lineHeight() const;

    std::string text_;
    uikit::Font font_ = uikit::Font::systemFont(17);
    uikit::Color textColor_ = uikit::Color::black();
    std::vector<uikit::Label*> lines_;
    mutable std::map<std::string, double> widths_;
};

}  // namespace host
