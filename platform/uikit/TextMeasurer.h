#pragma once

#include "platform/uikit/AttributedString.h"
#include "platform/uikit/Size.h"

#include <memory>

namespace uikit {

// Measures single-line text. The toolkit starts with an estimating measurer; the drawing layer
// installs one that measures with the real fonts, and tests may install their own.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual Size measure(const AttributedString& text) const = 0;

    static const TextMeasurer& shared();
    // Null restores the estimating measurer.
    static void setShared(std::shared_ptr<const TextMeasurer> measurer);
};

}  // namespace uikit
