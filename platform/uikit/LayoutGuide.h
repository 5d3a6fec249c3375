#pragma once

#include "platform/uikit/LayoutAnchor.h"
#include "platform/uikit/Rect.h"

namespace uikit {

class View;

// The safe area of a view: the part of its bounds that the window's status bar, rounded corners
// and home indicator leave free. Owned by its view.
class LayoutGuide {
public:
    explicit LayoutGuide(View& owner) : owner_(&owner) {}

    // In the owning view's coordinates.
    Rect layoutFrame() const;

    LayoutAnchor leftAnchor() const { return anchor(LayoutAttribute::left); }
    LayoutAnchor rightAnchor() const { return anchor(LayoutAttribute::right); }
    LayoutAnchor topAnchor() const { return anchor(LayoutAttribute::top); }
    LayoutAnchor bottomAnchor() const { return anchor(LayoutAttribute::bottom); }
    LayoutAnchor widthAnchor() const { return anchor(LayoutAttribute::width); }
    LayoutAnchor heightAnchor() const { return anchor(LayoutAttribute::height); }

private:
    LayoutAnchor anchor(LayoutAttribute attribute) const { return LayoutAnchor{owner_, true, attribute}; }
    View* owner_;
};

}  // namespace uikit
