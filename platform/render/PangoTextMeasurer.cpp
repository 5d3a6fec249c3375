#include "platform/render/PangoTextMeasurer.h"

#include "platform/render/TextLayoutCache.h"

namespace render {

uikit::Size PangoTextMeasurer::measure(const uikit::AttributedString& text) const {
    if (text.empty()) return {0, 0};
    return TextLayoutCache::shared().size(text);
}

void PangoTextMeasurer::install() { uikit::TextMeasurer::setShared(std::make_shared<PangoTextMeasurer>()); }

}  // namespace render
