#pragma once

#include <memory>

namespace uikit {

class LayoutConstraint;
class View;

// Attributes of a layout item (raw values of the platform).
enum class LayoutAttribute : int {
    notAnAttribute = 0,
    left = 1,
    right = 2,
    top = 3,
    bottom = 4,
    leading = 5,
    trailing = 6,
    width = 7,
    height = 8,
    centerX = 9,
    centerY = 10,
};

enum class LayoutRelation : int { lessThanOrEqual = -1, equal = 0, greaterThanOrEqual = 1 };

// One attribute of a view, or of the safe-area guide of a view, from which constraints are made.
// It does not own the view.
struct LayoutAnchor {
    View* view = nullptr;
    bool safeAreaGuide = false;
    LayoutAttribute attribute = LayoutAttribute::notAnAttribute;

    // this = other + constant (not yet active).
    std::shared_ptr<LayoutConstraint> constraintEqualToAnchor(const LayoutAnchor& other, double constant = 0) const;
    // For width and height: this = constant (not yet active).
    std::shared_ptr<LayoutConstraint> constraintEqualToConstant(double constant) const;
};

}  // namespace uikit
