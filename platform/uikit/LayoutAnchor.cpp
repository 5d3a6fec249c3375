#include "platform/uikit/LayoutAnchor.h"

#include "platform/uikit/LayoutConstraint.h"

namespace uikit {

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintEqualToAnchor(const LayoutAnchor& other, double constant) const {
    return LayoutConstraint::make(*this, LayoutRelation::equal, other, 1.0, constant);
}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintEqualToConstant(double constant) const {
    return LayoutConstraint::make(*this, LayoutRelation::equal, LayoutAnchor{}, 1.0, constant);
}

}  // namespace uikit
