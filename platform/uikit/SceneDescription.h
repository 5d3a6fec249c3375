#pragma once

#include "platform/uikit/LayoutAnchor.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/Rect.h"
#include "platform/uikit/SizeClassCondition.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace uikit {

// One scene of a scene file as written: its controller class, its tree of views with their
// connections and its layout constraints. Made by SceneParser, built by SceneBuilder.
struct SceneDescription {
    // Where a view goes, in every size class or only in those of `when`: a frame in points, a
    // frame in fractions of the superview's bounds, or cells of the superview's grid (column,
    // row, columns and rows spanned).
    struct Geometry {
        enum class Kind { frame, relative, cell };
        Kind kind = Kind::frame;
        Rect rect;
        std::optional<SizeClassCondition> when;
    };
    // The columns and rows into which a view divides its bounds for the cells of its subviews.
    struct Grid {
        int columns = 1;
        int rows = 1;
        std::optional<SizeClassCondition> when;
    };
    struct GestureNode {
        std::string className;
        int line = 0;
        std::string outlet;
        std::string action;
    };
    struct ViewNode {
        std::string className;
        int line = 0;
        std::string id;
        std::string outlet;
        std::vector<std::string> collections;
        std::string action;
        std::optional<unsigned> events;
        // Present only in these size classes.
        std::optional<SizeClassCondition> when;
        std::vector<Geometry> geometry;
        std::vector<Grid> grids;
        std::vector<std::pair<std::string, std::string>> properties;
        std::vector<GestureNode> gestures;
        std::vector<ViewNode> children;
    };
    // `item` names a view by id or outlet ("root" is the scene's root view); `safeArea` takes
    // the attribute from that view's safe-area guide.
    struct AnchorName {
        std::string item;
        bool safeArea = false;
        LayoutAttribute attribute = LayoutAttribute::notAnAttribute;
    };
    // first = multiplier x second + constant, or first = constant.
    struct ConstraintNode {
        int line = 0;
        AnchorName first;
        std::optional<AnchorName> second;
        double multiplier = 1;
        double constant = 0;
        float priority = LayoutPriorityRequired;
        std::string outlet;
        std::optional<SizeClassCondition> when;
    };

    std::string identifier;
    std::string controllerClass;
    int line = 0;
    std::optional<ViewNode> root;
    std::vector<ConstraintNode> constraints;
};

}  // namespace uikit
