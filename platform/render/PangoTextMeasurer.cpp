#include "platform/render/PangoTextMeasurer.h"

#include "platform/render/TextLayout.h"

namespace render {

uikit::Size PangoTextMeasurer::measure(const uikit::AttributedString& text) const {
    if (text.empty()) return {0, 0};
    return TextLayout(text).size();
}

void PangoTextMeasurer::install() { uikit::TextMeasurer::setShared(std::make_shared<PangoTextMeasurer>()); }

}  // namespace render
