#pragma once

#include "platform/uikit/SceneDescription.h"
#include "platform/uikit/TraitCollection.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace uikit {

class LayoutConstraint;
class View;

// The parts of a loaded scene that depend on the size classes: views present only in some,
// frames, cells and grids that differ between them, and the scene's layout constraints (held
// here, active where their size classes match and their views share a tree). Owned by the
// scene's root view, which applies it whenever its traits change. Views taken out of the tree
// are kept here, so outlets to them stay valid.
class SceneLayout {
public:
    SceneLayout() = default;
    ~SceneLayout();
    SceneLayout(const SceneLayout&) = delete;
    SceneLayout& operator=(const SceneLayout&) = delete;

    void addGrids(View& container, std::vector<SceneDescription::Grid> grids);
    // `parent` is the view whose grid the cells refer to.
    void addPlacement(View& view, View& parent, std::vector<SceneDescription::Geometry> geometry);
    // `earlierSiblings` are the views before it in its parent, in the scene's order.
    void addConditionalView(View& view, View& parent, std::vector<View*> earlierSiblings, SizeClassCondition when);
    void addConstraint(std::shared_ptr<LayoutConstraint> constraint, std::optional<SizeClassCondition> when);
    bool empty() const;

    // Puts in or takes out the conditional views, places the views and switches the constraints
    // for these traits.
    void apply(const TraitCollection& traits);

private:
    struct Grids {
        View* container;
        std::weak_ptr<void> alive;
        std::vector<SceneDescription::Grid> grids;
    };
    struct Placement {
        View* view;
        std::weak_ptr<void> alive;
        View* parent;
        std::vector<SceneDescription::Geometry> geometry;
        // The variant last applied, so that frames set later by code stay until the size
        // classes change what applies.
        std::optional<std::size_t> applied;
        std::optional<SceneDescription::Grid> appliedGrid;
    };
    struct Conditional {
        View* view;
        std::weak_ptr<void> alive;
        View* parent;
        std::weak_ptr<void> parentAlive;
        std::vector<std::pair<View*, std::weak_ptr<void>>> earlierSiblings;
        SizeClassCondition when;
    };
    struct Constraint {
        std::shared_ptr<LayoutConstraint> constraint;
        std::optional<SizeClassCondition> when;
    };

    void applyConditional(Conditional& entry, const TraitCollection& traits);
    void applyPlacement(Placement& entry, const TraitCollection& traits,
                        const std::map<const View*, SceneDescription::Grid>& grids);

    std::vector<Grids> grids_;
    std::vector<Placement> placements_;
    std::vector<Conditional> conditionals_;
    std::vector<Constraint> constraints_;
    // Views out of the tree in the current size classes.
    std::vector<std::unique_ptr<View>> parked_;
};

}  // namespace uikit
