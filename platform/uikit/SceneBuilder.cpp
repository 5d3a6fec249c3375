#include "platform/uikit/SceneBuilder.h"

#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/Control.h"
#include "platform/uikit/GestureRecognizer.h"
#include "platform/uikit/LayoutConstraint.h"
#include "platform/uikit/SceneLayout.h"
#include "platform/uikit/View.h"
#include "platform/uikit/ViewController.h"

#include <map>
#include <set>
#include <variant>

namespace uikit {

namespace {

using Description = SceneDescription;

class Builder {
public:
    Builder(const Description& scene, ViewController& controller, const std::string& controllerName,
            const std::string& source, std::string& error)
        : scene_(scene), controller_(controller), controllerName_(controllerName),
          where_(source + ", scene " + scene.identifier), error_(error), layout_(std::make_unique<SceneLayout>()) {}

    std::unique_ptr<View> run() {
        std::unique_ptr<View> root;
        if (scene_.root) {
            root = make(*scene_.root, nullptr);
            if (!root) return nullptr;
        } else {
            root = std::make_unique<View>();
        }
        names_["root"] = root.get();
        if (!makeConstraints()) return nullptr;
        // Placed for the traits it will most likely have (a window filling the main screen).
        layout_->apply(root->traitCollection());
        if (!bindOutlets() || !connectActions()) {
            for (const auto& name : bound_) controller_.clearOutlet(name);
            return nullptr;
        }
        if (!layout_->empty()) root->setSceneLayout(std::move(layout_));
        return root;
    }

private:
    // What a line of the scene connects to an outlet.
    using Target = std::variant<View*, GestureRecognizer*, std::shared_ptr<LayoutConstraint>>;
    struct Connection {
        int line;
        std::string outlet;
        bool collection;
        Target target;
        std::string className;
    };
    struct Action {
        int line;
        std::string name;
        Control* control;
        GestureRecognizer* recognizer;
        unsigned events;
        std::string className;
    };

    bool fail(int line, const std::string& message) {
        error_ = where_ + ", line " + std::to_string(line) + ": " + message;
        return false;
    }

    std::unique_ptr<View> make(const Description::ViewNode& node, View* parent) {
        auto view = ClassRegistry::shared().makeView(node.className);
        if (!view) {
            fail(node.line, "unknown view class \"" + node.className + "\"");
            return nullptr;
        }
        for (const auto& [key, value] : node.properties) {
            std::string message;
            if (!view->setProperty(key, value, message)) {
                fail(node.line, node.className + ": " + message);
                return nullptr;
            }
        }
        if (!name(node, *view) || !place(node, *view, parent) || !connect(node, *view)) return nullptr;
        std::vector<View*> earlier;
        for (const auto& childNode : node.children) {
            auto child = make(childNode, view.get());
            if (!child) return nullptr;
            View* raw = view->addSubview(std::move(child));
            if (childNode.when) layout_->addConditionalView(*raw, *view, earlier, *childNode.when);
            earlier.push_back(raw);
        }
        return view;
    }

    // Ids, and outlet names where no id is given, name the view for constraints.
    bool name(const Description::ViewNode& node, View& view) {
        const std::string& name = node.id.empty() ? node.outlet : node.id;
        if (name.empty()) return true;
        if (name == "root" || !names_.emplace(name, &view).second)
            return fail(node.line, "the name \"" + name + "\" is taken");
        return true;
    }

    bool place(const Description::ViewNode& node, View& view, View* parent) {
        if (!node.grids.empty()) layout_->addGrids(view, node.grids);
        bool varies = false;
        for (const auto& g : node.geometry)
            varies = varies || g.when || g.kind == Description::Geometry::Kind::cell;
        if (varies) {
            if (parent == nullptr) return fail(node.line, "the root view takes its frame from its place");
            layout_->addPlacement(view, *parent, node.geometry);
        } else if (!node.geometry.empty()) {
            const auto& g = node.geometry.back();
            if (g.kind == Description::Geometry::Kind::frame) view.setFrame(g.rect);
            else view.relativeFrame = g.rect;
        }
        return true;
    }

    bool connect(const Description::ViewNode& node, View& view) {
        if (!node.outlet.empty()) connections_.push_back({node.line, node.outlet, false, &view, node.className});
        for (const auto& name : node.collections)
            connections_.push_back({node.line, name, true, &view, node.className});
        if (!node.action.empty()) {
            auto* control = dynamic_cast<Control*>(&view);
            if (control == nullptr) return fail(node.line, node.className + " is not a control and sends no action");
            actions_.push_back({node.line, node.action, control, nullptr,
                                node.events.value_or(control->primaryActionEvents()), node.className});
        }
        for (const auto& gesture : node.gestures) {
            auto recognizer = ClassRegistry::shared().makeRecognizer(gesture.className);
            if (!recognizer)
                return fail(gesture.line, "unknown gesture recogniser class \"" + gesture.className + "\"");
            GestureRecognizer* raw = view.addGestureRecognizer(std::move(recognizer));
            if (!gesture.outlet.empty())
                connections_.push_back({gesture.line, gesture.outlet, false, raw, gesture.className});
            if (!gesture.action.empty())
                actions_.push_back({gesture.line, gesture.action, nullptr, raw, 0, gesture.className});
        }
        return true;
    }

    View* viewNamed(const std::string& name, int line) {
        auto it = names_.find(name);
        if (it != names_.end()) return it->second;
        fail(line, "no view is named \"" + name + "\"");
        return nullptr;
    }

    bool makeConstraints() {
        for (const auto& c : scene_.constraints) {
            View* first = viewNamed(c.first.item, c.line);
            if (first == nullptr) return false;
            LayoutAnchor second;
            if (c.second) {
                second.view = viewNamed(c.second->item, c.line);
                if (second.view == nullptr) return false;
                second.safeAreaGuide = c.second->safeArea;
                second.attribute = c.second->attribute;
            }
            auto constraint = LayoutConstraint::make(LayoutAnchor{first, false, c.first.attribute},
                                                     LayoutRelation::equal, second, c.multiplier, c.constant);
            constraint->priority = c.priority;
            first->translatesAutoresizingMaskIntoConstraints = false;
            layout_->addConstraint(constraint, c.when);
            if (!c.outlet.empty())
                connections_.push_back({c.line, c.outlet, false, constraint, "layout constraint"});
        }
        return true;
    }

    bool bind(const Connection& c) {
        if (std::holds_alternative<View*>(c.target)) return controller_.bindOutlet(c.outlet, std::get<View*>(c.target));
        if (std::holds_alternative<GestureRecognizer*>(c.target))
            return controller_.bindOutlet(c.outlet, std::get<GestureRecognizer*>(c.target));
        return controller_.bindOutlet(c.outlet, std::get<std::shared_ptr<LayoutConstraint>>(c.target));
    }

    bool bindOutlets() {
        for (const auto& c : connections_) {
            if (!controller_.hasOutlet(c.outlet))
                return fail(c.line, controllerName_ + " has no outlet " + (c.collection ? "collection " : "") + "\"" +
                                        c.outlet + "\"");
            bool collection = controller_.isOutletCollection(c.outlet);
            const std::string named = "\"" + c.outlet + "\" of " + controllerName_;
            if (collection && !c.collection) return fail(c.line, named + " is an outlet collection: use collection=");
            if (!collection && c.collection) return fail(c.line, named + " is not an outlet collection: use outlet=");
            if (!collection && bound_.count(c.outlet) != 0)
                return fail(c.line, "outlet \"" + c.outlet + "\" is connected twice");
            if (bound_.insert(c.outlet).second && collection) controller_.clearOutlet(c.outlet);
            if (!bind(c)) return fail(c.line, "outlet " + named + " cannot hold a " + c.className);
        }
        for (const auto& outlet : controller_.outletNames())
            if (bound_.count(outlet) == 0) {
                error_ = where_ + ": outlet \"" + outlet + "\" of " + controllerName_ + " is not connected";
                return false;
            }
        return true;
    }

    bool connectActions() {
        for (const auto& a : actions_) {
            if (!controller_.hasAction(a.name))
                return fail(a.line, controllerName_ + " has no action \"" + a.name + "\"");
            bool ok = a.control != nullptr ? controller_.connectAction(a.name, *a.control, a.events)
                                           : controller_.connectAction(a.name, *a.recognizer);
            if (!ok)
                return fail(a.line, "action \"" + a.name + "\" of " + controllerName_ + " cannot be sent by a " +
                                        a.className);
        }
        return true;
    }

    const Description& scene_;
    ViewController& controller_;
    const std::string& controllerName_;
    std::string where_;
    std::string& error_;
    std::unique_ptr<SceneLayout> layout_;
    std::map<std::string, View*> names_;
    std::vector<Connection> connections_;
    std::vector<Action> actions_;
    std::set<std::string> bound_;
};

}  // namespace

std::unique_ptr<View> SceneBuilder::build(const SceneDescription& scene, ViewController& controller,
                                          const std::string& controllerName, const std::string& source,
                                          std::string& error) {
    return Builder(scene, controller, controllerName, source, error).run();
}

}  // namespace uikit
