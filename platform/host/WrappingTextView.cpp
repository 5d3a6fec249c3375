#include "platform/host/WrappingTextView.h"

#include "platform/foundation/Characters.h"
#include "platform/uikit/TextMeasurer.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

void wrapParagraph(std::string_view paragraph, const std::function<double(const std::string&)>& widthOf, double width,
                   std::vector<std::string>& lines) {
    std::string line;
    double lineWidth = 0;
    // Where the line may break: after its last blank (bytes and width up to there).
    std::size_t breakAt = std::string::npos;
    double widthAtBreak = 0;
    for (const auto& character : foundation::Characters::split(paragraph)) {
        double w = widthOf(character);
        if (!line.empty() && character != " " && lineWidth + w > width) {
            if (breakAt != std::string::npos && breakAt < line.size()) {
                lines.push_back(line.substr(0, breakAt));
                line.erase(0, breakAt);
                lineWidth -= widthAtBreak;
            } else {
                lines.push_back(std::move(line));
                line.clear();
                lineWidth = 0;
            }
            breakAt = std::string::npos;
        }
        line += character;
        lineWidth += w;
        if (character == " ") {
            breakAt = line.size();
            widthAtBreak = lineWidth;
        }
    }
    lines.push_back(std::move(line));
}

}  // namespace

WrappingTextView::WrappingTextView() {
    setUserInteractionEnabled(false);
    setClipsToBounds(true);
}

void WrappingTextView::setText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    setNeedsLayout();
}

void WrappingTextView::setFont(const uikit::Font& font) {
    font_ = font;
    widths_.clear();
    setNeedsLayout();
}

void WrappingTextView::setTextColor(const uikit::Color& color) {
    textColor_ = color;
    for (auto* line : lines_) line->setTextColor(color);
}

std::vector<std::string> WrappingTextView::visibleLines() const {
    std::vector<std::string> shown;
    for (auto* line : lines_) shown.push_back(line->text());
    return shown;
}

std::vector<std::string> WrappingTextView::wrap(std::string_view text,
                                                const std::function<double(const std::string&)>& widthOf,
                                                double width) {
    std::vector<std::string> lines;
    for (;;) {
        auto end = text.find('\n');
        wrapParagraph(text.substr(0, end), widthOf, width, lines);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

double WrappingTextView::widthOf(const std::string& character) const {
    auto [it, added] = widths_.try_emplace(character, 0.0);
    if (added) {
        uikit::TextAttributes attributes;
        attributes.font = font_;
        it->second = uikit::TextMeasurer::shared().measure(uikit::AttributedString(character, attributes)).width;
    }
    return it->second;
}

double WrappingTextView::lineHeight() const {
    uikit::TextAttributes attributes;
    attributes.font = font_;
    return std::max(1.0, std::ceil(uikit::TextMeasurer::shared().measure(uikit::AttributedString("Ag", attributes)).height));
}

void WrappingTextView::layoutSubviews() {
    uikit::View::layoutSubviews();
    for (auto* line : lines_) line->removeFromSuperview();
    lines_.clear();
    uikit::Rect b = bounds();
    auto lines = wrap(text_, [this](const std::string& c) { return widthOf(c); }, b.width());
    double height = lineHeight();
    auto fitting = static_cast<std::size_t>(std::max(1.0, std::floor(b.height() / height)));
    std::size_t first = lines.size() > fitting ? lines.size() - fitting : 0;
    for (std::size_t i = first; i < lines.size(); ++i) {
        auto label = std::make_unique<uikit::Label>(
            uikit::Rect(0, static_cast<double>(i - first) * height, b.width(), height));
        label->setFont(font_);
        label->setTextColor(textColor_);
        label->lineBreakMode = uikit::LineBreakByClipping;
        label->setText(lines[i]);
        lines_.push_back(add(std::move(label)));
    }
}

}  // namespace host
