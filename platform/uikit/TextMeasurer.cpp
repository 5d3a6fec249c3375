#include "platform/uikit/TextMeasurer.h"

#include <algorithm>

namespace uikit {

namespace {
// Without fonts: 0.55 of the point size per character, 1.2 of the largest size per line.
class EstimatingMeasurer : public TextMeasurer {
public:
    Size measure(const AttributedString& text) const override {
        double width = 0, height = 0;
        for (const auto& run : text.runs()) {
            double size = run.attributes.font ? run.attributes.font->pointSize : 17.0;
            std::size_t characters = 0;
            for (unsigned char c : run.text)
                if ((c & 0xC0) != 0x80) ++characters;
            width += 0.55 * size * static_cast<double>(characters);
            height = std::max(height, 1.2 * size + std::max(run.attributes.baselineOffset, 0.0));
        }
        return {width, height};
    }
};

std::shared_ptr<const TextMeasurer>& installed() {
    static std::shared_ptr<const TextMeasurer> measurer = std::make_shared<EstimatingMeasurer>();
    return measurer;
}
}  // namespace

const TextMeasurer& TextMeasurer::shared() { return *installed(); }

void TextMeasurer::setShared(std::shared_ptr<const TextMeasurer> measurer) {
    installed() = measurer ? std::move(measurer) : std::make_shared<EstimatingMeasurer>();
}

}  // namespace uikit
