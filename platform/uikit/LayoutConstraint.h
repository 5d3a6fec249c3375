#pragma once

#include "platform/uikit/LayoutAnchor.h"
#include "platform/uikit/Rect.h"

#include <memory>
#include <optional>
#include <vector>

namespace uikit {

constexpr float LayoutPriorityRequired = 1000;

// A rule "first attribute = multiplier x second attribute + constant" between two views (or a
// view and a safe-area guide), or "first attribute = constant" without a second item. An active
// constraint is held by the view it is installed on: the nearest common ancestor of its items.
//
// The layout honours the rules screens use: edges, centres, widths and heights of a view whose
// translatesAutoresizingMaskIntoConstraints is off, equal relations only, against its superview,
// the superview's safe area, a sibling or itself (sizes). Where two rules set one attribute the
// higher priority wins; where more than two attributes fix one axis (both edges and a height),
// the lowest priority gives way. Other relations are kept but not enforced.
class LayoutConstraint : public std::enable_shared_from_this<LayoutConstraint> {
public:
    static std::shared_ptr<LayoutConstraint> constraintWithItem(View* item, LayoutAttribute attribute,
                                                                LayoutRelation relatedBy, View* toItem,
                                                                LayoutAttribute toAttribute, double multiplier,
                                                                double constant);
    static std::shared_ptr<LayoutConstraint> make(const LayoutAnchor& first, LayoutRelation relation,
                                                  const LayoutAnchor& second, double multiplier, double constant);
    // Activates every constraint given, in order.
    static void activateConstraints(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints);

    View* firstItem() const;
    View* secondItem() const;
    // Whether the rule relates two items (the second may be gone since).
    bool hasSecondItem() const { return second_.view != nullptr; }
    LayoutRelation relation() const { return relation_; }
    double multiplier() const { return multiplier_; }

    double constant() const { return constant_; }
    // Asks the first item's superview for a new layout when active.
    void setConstant(double constant);
    float priority = LayoutPriorityRequired;

    bool isActive() const { return active_; }
    // Installs on the common ancestor of the items; false (logged) when they share none or an
    // item is gone.
    bool setActive(bool active);
    // Installs on `view` (View::addConstraint).
    void installOn(View& view);

    // The frame the active constraints give `view` inside its superview, starting from its
    // current frame; nothing when none applies.
    static std::optional<Rect> solveFrame(const View& view);

private:
    LayoutConstraint(const LayoutAnchor& first, LayoutRelation relation, const LayoutAnchor& second,
                     double multiplier, double constant);
    void askForLayout() const;

    LayoutAnchor first_;
    LayoutAnchor second_;
    std::weak_ptr<void> firstAlive_;
    std::weak_ptr<void> secondAlive_;
    LayoutRelation relation_;
    double multiplier_;
    double constant_;
    bool active_ = false;
    View* installedOn_ = nullptr;
    std::weak_ptr<void> installedAlive_;
};

}  // namespace uikit
