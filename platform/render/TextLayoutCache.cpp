#include "platform/render/TextLayoutCache.h"

#include <cstring>

namespace render {

namespace {

// Keys hold every attribute that changes the layout, numbers by their exact bits.
template <typename T>
void put(std::string& key, const T& value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    key.append(bytes, sizeof(T));
}

void put(std::string& key, const std::string& text) {
    put(key, text.size());
    key += text;
}

void put(std::string& key, const uikit::Color& color) {
    for (double channel : {color.red, color.green, color.blue, color.alpha}) put(key, channel);
}

}  // namespace

std::string TextLayoutCache::keyOf(const uikit::AttributedString& text) {
    std::string key;
    for (const auto& run : text.runs()) {
        put(key, run.text);
        const auto& a = run.attributes;
        put(key, a.font.has_value());
        if (a.font) {
            put(key, a.font->name);
            put(key, a.font->family);
            put(key, a.font->weight);
            put(key, a.font->pointSize);
        }
        put(key, a.foregroundColor.has_value());
        if (a.foregroundColor) put(key, *a.foregroundColor);
        put(key, a.baselineOffset);
        put(key, a.underlineStyle.value_or(-1));
    }
    return key;
}

template <typename Value>
Value* TextLayoutCache::Recent<Value>::find(const std::string& key) {
    auto it = index.find(key);
    if (it == index.end()) return nullptr;
    order.splice(order.begin(), order, it->second);
    return &it->second->second;
}

template <typename Value>
Value& TextLayoutCache::Recent<Value>::add(std::string key, Value value, std::size_t kept) {
    order.emplace_front(std::move(key), std::move(value));
    index[order.front().first] = order.begin();
    while (order.size() > kept) {
        index.erase(order.back().first);
        order.pop_back();
    }
    return order.front().second;
}

TextLayoutCache& TextLayoutCache::shared() {
    static TextLayoutCache cache;
    return cache;
}

uikit::Size TextLayoutCache::size(const uikit::AttributedString& text) {
    // A long text is measured in pieces, kept on their own.
    if (const auto measured = longTexts_.size(text)) return *measured;
    std::string key = keyOf(text);
    if (const uikit::Size* known = sizes_.find(key)) return *known;
    return sizes_.add(std::move(key), TextLayout(text).size(), sizesKept);
}

std::shared_ptr<const TextLayout> TextLayoutCache::fitted(const uikit::AttributedString& text, uikit::Size room,
                                                          uikit::TextAlignment alignment, uikit::LineBreakMode mode,
                                                          int numberOfLines) {
    std::string key = keyOf(text);
    put(key, room.width);
    put(key, room.height);
    put(key, alignment);
    put(key, mode);
    put(key, numberOfLines);
    const bool long_ = key.size() >= LongTextMeasure::shortest;
    auto& kept = long_ ? longLayouts_ : layouts_;
    if (const auto* known = kept.find(key)) return *known;
    std::shared_ptr<TextLayout> layout;
    // A long line that fits its room, aligned left or right, is made of the pieces it was
    // measured in: only those near a drawing's clip are laid out.
    const LongTextMeasure::Pieces* pieces = nullptr;
    if (long_ && numberOfLines == 1 && alignment != uikit::TextAlignment::center)
        pieces = longTexts_.pieces(text);
    if (pieces != nullptr) {
        long width = 0;
        for (const auto& p : pieces->pieces) width += p.units.width;
        const int room_ = static_cast<int>(room.width / pieces->scale * 1024);
        if (mode == uikit::LineBreakByClipping || width <= std::max(room_, 1))
            layout = std::make_shared<TextLayout>(text, pieces->pieces, pieces->scale);
    }
    if (!layout) layout = std::make_shared<TextLayout>(text);
    layout->fit(room, alignment, mode, numberOfLines);
    return kept.add(std::move(key), std::move(layout), long_ ? longLayoutsKept : layoutsKept);
}

}  // namespace render
