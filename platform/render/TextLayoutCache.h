#pragma once

#include "platform/render/LongTextMeasure.h"
#include "platform/render/TextLayout.h"

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace render {

// Text laid out once per text and size: the sizes measured and the layouts fitted to a
// rectangle, each kept for the texts used most recently (a bounded number, so that a long
// session of changing texts keeps its memory). Main thread only.
class TextLayoutCache {
public:
    static TextLayoutCache& shared();

    // The size of the text on one line, as TextLayout measures it.
    uikit::Size size(const uikit::AttributedString& text);
    // The text laid out for a rectangle of `room` (TextLayout::fit); shared with the frames
    // that draw it.
    std::shared_ptr<const TextLayout> fitted(const uikit::AttributedString& text, uikit::Size room,
                                             uikit::TextAlignment alignment, uikit::LineBreakMode mode,
                                             int numberOfLines);

    // A key that holds every attribute of the text that changes its layout.
    static std::string keyOf(const uikit::AttributedString& text);

    // How many of each are kept.
    static constexpr std::size_t sizesKept = 256;
    static constexpr std::size_t layoutsKept = 128;
    // Layouts of long texts (LongTextMeasure::shortest bytes or more), each as big as its text,
    // are kept apart and fewer.
    static constexpr std::size_t longLayoutsKept = 4;

private:
    // Most recently used first. The index's keys are views of the keys in `order`, whose
    // entries stay where they are, so that each key is held once.
    template <typename Value>
    struct Recent {
        std::list<std::pair<std::string, Value>> order;
        std::unordered_map<std::string_view, typename std::list<std::pair<std::string, Value>>::iterator> index;
        Value* find(const std::string& key);
        Value& add(std::string key, Value value, std::size_t kept);
    };

    Recent<uikit::Size> sizes_;
    LongTextMeasure longTexts_;
    Recent<std::shared_ptr<const TextLayout>> layouts_;
    Recent<std::shared_ptr<const TextLayout>> longLayouts_;
};

}  // namespace render
