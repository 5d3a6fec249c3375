#pragma once

#include "platform/uikit/TextMeasurer.h"

namespace render {

// Measures text with the installed fonts, as it will be drawn.
class PangoTextMeasurer : public uikit::TextMeasurer {
public:
    uikit::Size measure(const uikit::AttributedString& text) const override;
    // Installs a Pango measurer as the toolkit's shared measurer.
    static void install();
};

}  // namespace render
