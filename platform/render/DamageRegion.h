#pragma once

#include "platform/uikit/AffineTransform.h"
#include "platform/uikit/Rect.h"

#include <cstddef>
#include <vector>

namespace render {

// The pixels of a target that must be drawn again: a few boxes of whole pixels. Boxes that
// overlap or touch are merged, and many are merged into fewer, larger ones.
class DamageRegion {
public:
    struct Box {
        int x = 0, y = 0, width = 0, height = 0;
        bool empty() const { return width <= 0 || height <= 0; }
        long area() const { return empty() ? 0 : static_cast<long>(width) * height; }
        Box united(const Box& other) const;
        Box intersection(const Box& other) const;
        bool intersects(const Box& other) const { return !intersection(other).empty(); }
        // The pixels `rect` (in the space `device` maps to pixels) touches, `margin` more on each side.
        static Box covering(const uikit::Rect& rect, const uikit::AffineTransform& device, int margin);
        friend bool operator==(const Box&, const Box&) = default;
    };

    // The most boxes kept.
    static constexpr std::size_t mostBoxes = 8;

    void add(const Box& box);
    // Keeps the pixels inside `bounds` only.
    void clipTo(const Box& bounds);
    const std::vector<Box>& boxes() const { return boxes_; }
    bool empty() const { return boxes_.empty(); }
    bool intersects(const Box& box) const;
    long area() const;

private:
    void mergeTouching();

    std::vector<Box> boxes_;
};

}  // namespace render
