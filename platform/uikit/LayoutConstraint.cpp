#include "platform/uikit/LayoutConstraint.h"

#include "platform/foundation/Log.h"
#include "platform/uikit/LayoutGuide.h"
#include "platform/uikit/View.h"

#include <algorithm>
#include <map>

namespace uikit {

namespace {
std::weak_ptr<void> aliveOf(View* view) { return view != nullptr ? view->alive() : std::weak_ptr<void>{}; }

View* commonAncestor(View* a, View* b) {
    if (b == nullptr) return a;
    for (View* v = a; v != nullptr; v = v->superview())
        if (b->isDescendantOf(v)) return v;
    return nullptr;
}

double valueOf(const Rect& r, LayoutAttribute attribute) {
    switch (attribute) {
        case LayoutAttribute::left:
        case LayoutAttribute::leading: return r.minX();
        case LayoutAttribute::right:
        case LayoutAttribute::trailing: return r.maxX();
        case LayoutAttribute::top: return r.minY();
        case LayoutAttribute::bottom: return r.maxY();
        case LayoutAttribute::width: return r.width();
        case LayoutAttribute::height: return r.height();
        case LayoutAttribute::centerX: return r.midX();
        case LayoutAttribute::centerY: return r.midY();
        default: return 0;
    }
}

LayoutAttribute canonical(LayoutAttribute attribute) {
    if (attribute == LayoutAttribute::leading) return LayoutAttribute::left;
    if (attribute == LayoutAttribute::trailing) return LayoutAttribute::right;
    return attribute;
}

using Rule = std::optional<std::pair<double, float>>;  // value and priority

// One axis: start edge, end edge, length and centre (any may be missing) to origin and length.
// Two of them fix the axis; of more, the lowest priorities give way (on a tie the centre, then
// the end edge, then the length).
void resolveAxis(Rule start, Rule end, Rule length, Rule center, double& origin, double& size) {
    Rule* rules[] = {&center, &end, &length, &start};
    while (std::count_if(std::begin(rules), std::end(rules), [](Rule* r) { return r->has_value(); }) > 2) {
        Rule* weakest = nullptr;
        for (Rule* r : rules)
            if (r->has_value() && (weakest == nullptr || (*r)->second < (*weakest)->second)) weakest = r;
        weakest->reset();
    }
    if (length) size = length->first;
    else if (start && end) size = end->first - start->first;
    size = std::max(size, 0.0);
    if (start) origin = start->first;
    else if (end) origin = end->first - size;
    else if (center) origin = center->first - size / 2;
}
}  // namespace

LayoutConstraint::LayoutConstraint(const LayoutAnchor& first, LayoutRelation relation, const LayoutAnchor& second,
                                   double multiplier, double constant)
    : first_(first),
      second_(second),
      firstAlive_(aliveOf(first.view)),
      secondAlive_(aliveOf(second.view)),
      relation_(relation),
      multiplier_(multiplier),
      constant_(constant) {
    if (second_.view == nullptr) second_ = LayoutAnchor{};
}

std::shared_ptr<LayoutConstraint> LayoutConstraint::make(const LayoutAnchor& first, LayoutRelation relation,
                                                         const LayoutAnchor& second, double multiplier,
                                                         double constant) {
    return std::shared_ptr<LayoutConstraint>(new LayoutConstraint(first, relation, second, multiplier, constant));
}

std::shared_ptr<LayoutConstraint> LayoutConstraint::constraintWithItem(View* item, LayoutAttribute attribute,
                                                                       LayoutRelation relatedBy, View* toItem,
                                                                       LayoutAttribute toAttribute, double multiplier,
                                                                       double constant) {
    return make(LayoutAnchor{item, false, attribute}, relatedBy, LayoutAnchor{toItem, false, toAttribute}, multiplier,
                constant);
}

void LayoutConstraint::activateConstraints(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints) {
    for (const auto& c : constraints)
        if (c) c->setActive(true);
}

View* LayoutConstraint::firstItem() const { return firstAlive_.expired() ? nullptr : first_.view; }

View* LayoutConstraint::secondItem() const { return secondAlive_.expired() ? nullptr : second_.view; }

void LayoutConstraint::askForLayout() const {
    View* first = firstItem();
    if (!active_ || first == nullptr) return;
    first->setNeedsLayout();
    if (View* parent = first->superview()) parent->setNeedsLayout();
}

void LayoutConstraint::setConstant(double constant) {
    constant_ = constant;
    askForLayout();
}

bool LayoutConstraint::setActive(bool active) {
    if (active == active_) return true;
    if (!active) {
        askForLayout();
        active_ = false;
        View* host = installedAlive_.expired() ? nullptr : installedOn_;
        installedOn_ = nullptr;
        if (host != nullptr) host->uninstallConstraint(this);
        return true;
    }
    View* first = firstItem();
    bool secondGone = second_.view != nullptr && secondItem() == nullptr;
    View* host = first != nullptr && !secondGone ? commonAncestor(first, secondItem()) : nullptr;
    if (host == nullptr) {
        foundation::Log::error("LayoutConstraint: cannot activate a constraint whose item is gone or whose items share no common ancestor");
        return false;
    }
    installOn(*host);
    return true;
}

void LayoutConstraint::installOn(View& view) {
    if (active_) setActive(false);
    installedOn_ = &view;
    installedAlive_ = view.alive();
    active_ = true;
    view.installConstraint(shared_from_this());
    askForLayout();
}

std::optional<Rect> LayoutConstraint::solveFrame(const View& view) {
    View* parent = view.superview();
    if (parent == nullptr) return std::nullopt;
    // The rules for this view live on itself, its superview or an ancestor of that.
    std::vector<const LayoutConstraint*> rules;
    for (const auto& c : view.constraints()) rules.push_back(c.get());
    for (View* v = parent; v != nullptr; v = v->superview())
        for (const auto& c : v->constraints()) rules.push_back(c.get());

    Rect current = view.frame();
    std::map<LayoutAttribute, std::pair<double, float>> chosen;
    for (const LayoutConstraint* c : rules) {
        if (!c->active_ || c->relation_ != LayoutRelation::equal || c->firstItem() != &view || c->first_.safeAreaGuide)
            continue;
        LayoutAttribute attribute = canonical(c->first_.attribute);
        if (attribute == LayoutAttribute::notAnAttribute) continue;
        double value = c->constant_;
        if (c->second_.view != nullptr) {
            View* other = c->secondItem();
            if (other == nullptr || c->second_.attribute == LayoutAttribute::notAnAttribute) continue;
            Rect rect;
            if (other == &view && !c->second_.safeAreaGuide) {
                rect = current;
            } else {
                Rect local = c->second_.safeAreaGuide ? other->safeAreaLayoutGuide().layoutFrame() : other->bounds();
                rect = other == parent ? local : other->convertRect(local, parent);
            }
            value += c->multiplier_ * valueOf(rect, c->second_.attribute);
        } else if (attribute != LayoutAttribute::width && attribute != LayoutAttribute::height) {
            continue;
        }
        auto it = chosen.find(attribute);
        if (it == chosen.end() || c->priority > it->second.second) chosen[attribute] = {value, c->priority};
    }
    if (chosen.empty()) return std::nullopt;
    auto get = [&](LayoutAttribute a) -> Rule {
        auto it = chosen.find(a);
        if (it == chosen.end()) return std::nullopt;
        return it->second;
    };
    Rect frame = current.standardized();
    resolveAxis(get(LayoutAttribute::left), get(LayoutAttribute::right), get(LayoutAttribute::width),
                get(LayoutAttribute::centerX), frame.origin.x, frame.size.width);
    resolveAxis(get(LayoutAttribute::top), get(LayoutAttribute::bottom), get(LayoutAttribute::height),
                get(LayoutAttribute::centerY), frame.origin.y, frame.size.height);
    return frame;
}

}  // namespace uikit
