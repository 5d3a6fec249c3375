#include "platform/render/DamageRegion.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace render {

DamageRegion::Box DamageRegion::Box::united(const Box& other) const {
    if (empty()) return other;
    if (other.empty()) return *this;
    const int x0 = std::min(x, other.x), y0 = std::min(y, other.y);
    const int x1 = std::max(x + width, other.x + other.width), y1 = std::max(y + height, other.y + other.height);
    return {x0, y0, x1 - x0, y1 - y0};
}

DamageRegion::Box DamageRegion::Box::intersection(const Box& other) const {
    const int x0 = std::max(x, other.x), y0 = std::max(y, other.y);
    const int x1 = std::min(x + width, other.x + other.width), y1 = std::min(y + height, other.y + other.height);
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

DamageRegion::Box DamageRegion::Box::covering(const uikit::Rect& rect, const uikit::AffineTransform& device,
                                              int margin) {
    const uikit::Rect area = device.apply(rect.standardized());
    // Far outside any target (or not a number): as far as a box goes.
    constexpr double limit = 1 << 28;
    auto low = [&](double v) { return std::isnan(v) ? -limit : std::clamp(std::floor(v), -limit, limit); };
    auto high = [&](double v) { return std::isnan(v) ? limit : std::clamp(std::ceil(v), -limit, limit); };
    const double x0 = low(area.minX()), y0 = low(area.minY()), x1 = high(area.maxX()), y1 = high(area.maxY());
    return {static_cast<int>(x0) - margin, static_cast<int>(y0) - margin, static_cast<int>(x1 - x0) + 2 * margin,
            static_cast<int>(y1 - y0) + 2 * margin};
}

void DamageRegion::add(const Box& box) {
    if (box.empty()) return;
    boxes_.push_back(box);
    mergeTouching();
    // Too many: merge the two whose union adds the fewest pixels.
    while (boxes_.size() > mostBoxes) {
        std::size_t first = 0, second = 1;
        long cheapest = std::numeric_limits<long>::max();
        for (std::size_t i = 0; i < boxes_.size(); ++i)
            for (std::size_t j = i + 1; j < boxes_.size(); ++j) {
                const long cost = boxes_[i].united(boxes_[j]).area() - boxes_[i].area() - boxes_[j].area();
                if (cost < cheapest) {
                    cheapest = cost;
                    first = i;
                    second = j;
                }
            }
        boxes_[first] = boxes_[first].united(boxes_[second]);
        boxes_.erase(boxes_.begin() + static_cast<std::ptrdiff_t>(second));
        mergeTouching();
    }
}

// Merges boxes whose union is no larger than the two apart (overlapping or touching along an edge).
void DamageRegion::mergeTouching() {
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < boxes_.size() && !merged; ++i)
            for (std::size_t j = i + 1; j < boxes_.size() && !merged; ++j) {
                const Box both = boxes_[i].united(boxes_[j]);
                if (both.area() <= boxes_[i].area() + boxes_[j].area()) {
                    boxes_[i] = both;
                    boxes_.erase(boxes_.begin() + static_cast<std::ptrdiff_t>(j));
                    merged = true;
                }
            }
    }
}

void DamageRegion::clipTo(const Box& bounds) {
    for (Box& box : boxes_) box = box.intersection(bounds);
    std::erase_if(boxes_, [](const Box& box) { return box.empty(); });
}

bool DamageRegion::intersects(const Box& box) const {
    return std::any_of(boxes_.begin(), boxes_.end(), [&](const Box& b) { return b.intersects(box); });
}

long DamageRegion::area() const {
    long total = 0;
    for (const Box& box : boxes_) total += box.area();
    return total;
}

}  // namespace render
