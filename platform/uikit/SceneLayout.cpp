#include "platform/uikit/SceneLayout.h"

#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/View.h"

#include <algorithm>

namespace uikit {

namespace {

// The entry that applies: the first whose size classes match, else the first for all of them.
template <class Entry>
std::optional<std::size_t> chooseVariant(const std::vector<Entry>& entries, const TraitCollection& traits) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].when && entries[i].when->matches(traits)) return i;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!entries[i].when) return i;
    return std::nullopt;
}

const View* topOf(const View* view) {
    while (view->superview() != nullptr) view = view->superview();
    return view;
}

bool operator==(const SceneDescription::Grid& a, const SceneDescription::Grid& b) {
    return a.columns == b.columns && a.rows == b.rows;
}

}  // namespace

SceneLayout::~SceneLayout() = default;

void SceneLayout::addGrids(View& container, std::vector<SceneDescription::Grid> grids) {
    grids_.push_back(Grids{&container, container.alive(), std::move(grids)});
}

void SceneLayout::addPlacement(View& view, View& parent, std::vector<SceneDescription::Geometry> geometry) {
    placements_.push_back(Placement{&view, view.alive(), &parent, std::move(geometry), std::nullopt, std::nullopt});
}

void SceneLayout::addConditionalView(View& view, View& parent, std::vector<View*> earlierSiblings,
                                     SizeClassCondition when) {
    Conditional entry{&view, view.alive(), &parent, parent.alive(), {}, std::move(when)};
    for (View* sibling : earlierSiblings) entry.earlierSiblings.emplace_back(sibling, sibling->alive());
    conditionals_.push_back(std::move(entry));
}

void SceneLayout::addConstraint(std::shared_ptr<LayoutConstraint> constraint, std::optional<SizeClassCondition> when) {
    constraints_.push_back(Constraint{std::move(constraint), std::move(when)});
}

bool SceneLayout::empty() const {
    return grids_.empty() && placements_.empty() && conditionals_.empty() && constraints_.empty();
}

void SceneLayout::apply(const TraitCollection& traits) {
    std::map<const View*, SceneDescription::Grid> grids;
    for (const Grids& entry : grids_) {
        if (entry.alive.expired()) continue;
        if (auto chosen = chooseVariant(entry.grids, traits)) grids[entry.container] = entry.grids[*chosen];
    }
    for (Conditional& entry : conditionals_) applyConditional(entry, traits);
    for (Placement& entry : placements_) applyPlacement(entry, traits, grids);
    for (Constraint& entry : constraints_) {
        LayoutConstraint& c = *entry.constraint;
        View* first = c.firstItem();
        View* second = c.secondItem();
        bool inTree = first != nullptr && (!c.hasSecondItem() || (second != nullptr && topOf(first) == topOf(second)));
        bool wanted = inTree && (!entry.when || entry.when->matches(traits));
        if (wanted != c.isActive()) c.setActive(wanted);
    }
}

void SceneLayout::applyConditional(Conditional& entry, const TraitCollection& traits) {
    if (entry.alive.expired() || entry.parentAlive.expired()) return;
    bool wanted = entry.when.matches(traits);
    bool inside = entry.view->superview() == entry.parent;
    if (wanted && !inside) {
        auto it = std::find_if(parked_.begin(), parked_.end(), [&](const auto& v) { return v.get() == entry.view; });
        if (it == parked_.end()) return;  // moved elsewhere by code: left where it is
        std::unique_ptr<View> view = std::move(*it);
        parked_.erase(it);
        std::size_t index = 0;
        for (const auto& [sibling, alive] : entry.earlierSiblings)
            if (!alive.expired() && sibling->superview() == entry.parent) ++index;
        entry.parent->insertSubview(std::move(view), index);
    } else if (!wanted && inside) {
        parked_.push_back(entry.view->removeFromSuperview());
    }
}

void SceneLayout::applyPlacement(Placement& entry, const TraitCollection& traits,
                                 const std::map<const View*, SceneDescription::Grid>& grids) {
    if (entry.alive.expired()) return;
    auto chosen = chooseVariant(entry.geometry, traits);
    if (!chosen) return;
    const SceneDescription::Geometry& geometry = entry.geometry[*chosen];
    std::optional<SceneDescription::Grid> grid;
    if (geometry.kind == SceneDescription::Geometry::Kind::cell) {
        auto it = grids.find(entry.parent);
        if (it == grids.end()) return;
        grid = it->second;
    }
    bool sameGrid = grid.has_value() == entry.appliedGrid.has_value() && (!grid || *grid == *entry.appliedGrid);
    if (entry.applied == chosen && sameGrid) return;
    entry.applied = chosen;
    entry.appliedGrid = grid;
    View& view = *entry.view;
    const Rect& r = geometry.rect;
    switch (geometry.kind) {
    case SceneDescription::Geometry::Kind::frame:
        view.relativeFrame.reset();
        view.setFrame(r);
        break;
    case SceneDescription::Geometry::Kind::relative: view.relativeFrame = r; break;
    case SceneDescription::Geometry::Kind::cell:
        view.relativeFrame = Rect(r.origin.x / grid->columns, r.origin.y / grid->rows, r.size.width / grid->columns,
                                  r.size.height / grid->rows);
        break;
    }
    view.setNeedsLayout();
    if (View* parent = view.superview()) parent->setNeedsLayout();
}

}  // namespace uikit
