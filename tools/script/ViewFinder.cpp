#include "tools/script/ViewFinder.h"

#include "platform/uikit/Button.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"
#include "tools/script/ScriptText.h"

#include <functional>

namespace script {

namespace {

void eachView(uikit::View& view, const std::function<void(uikit::View&)>& visit) {
    visit(view);
    for (const auto& child : view.subviews()) eachView(*child, visit);
}

std::string normalTitle(const uikit::Button& key) { return key.titleForState(uikit::ControlStateNormal).value_or(""); }

}  // namespace

std::vector<uikit::ViewController*> ViewFinder::controllers() const {
    std::vector<uikit::ViewController*> found;
    std::function<void(uikit::ViewController*)> add = [&](uikit::ViewController* controller) {
        if (controller == nullptr) return;
        found.push_back(controller);
        for (const auto& child : controller->childViewControllers()) add(child.get());
        add(controller->presentedViewController());
    };
    add(window_.rootViewController());
    return found;
}

uikit::View* ViewFinder::outlet(const std::string& name) const {
    for (auto* controller : controllers())
        if (auto* view = controller->outletNamed(name)) return view;
    return nullptr;
}

std::map<const uikit::View*, std::string> ViewFinder::outletNames() const {
    std::map<const uikit::View*, std::string> names;
    for (auto* controller : controllers())
        for (const auto& name : controller->outletNames())
            if (auto* view = controller->outletNamed(name)) names.emplace(view, name);
    return names;
}

std::vector<uikit::Button*> ViewFinder::keysReading(const std::string& caption) const {
    std::vector<uikit::Button*> keys;
    eachView(window_, [&](uikit::View& view) {
        auto* key = dynamic_cast<uikit::Button*>(&view);
        if (key != nullptr && normalTitle(*key) == caption) keys.push_back(key);
    });
    return keys;
}

uikit::Button* ViewFinder::key(const std::string& name, std::string& error) const {
    if (name.size() > 1 && name.front() == '@') {
        uikit::View* view = outlet(name.substr(1));
        auto* key = dynamic_cast<uikit::Button*>(view);
        if (key == nullptr) error = view == nullptr ? "no outlet " + name + " on screen" : name + " is not a key";
        else if (!shown(*key)) error = "the key " + name + " is not shown";
        return key != nullptr && shown(*key) ? key : nullptr;
    }
    std::vector<uikit::Button*> visible;
    auto all = keysReading(name);
    for (auto* key : all)
        if (shown(*key)) visible.push_back(key);
    if (visible.size() == 1) return visible.front();
    if (visible.empty())
        error = all.empty() ? "no key reads " + inQuotes(name) : "the key " + inQuotes(name) + " is not shown";
    else
        error = std::to_string(visible.size()) + " keys read " + inQuotes(name) + " (name one by @outlet)";
    return nullptr;
}

bool ViewFinder::shown(const uikit::View& view) const {
    for (const uikit::View* v = &view; v != nullptr; v = v->superview()) {
        if (v->hidden() || v->alpha() <= 0) return false;
        if (v == &window_) return !visibleRect(view).isEmpty() || view.bounds().isEmpty();
    }
    return false;
}

uikit::Rect ViewFinder::visibleRect(const uikit::View& view) const {
    uikit::Rect visible = view.convertRect(view.bounds(), nullptr);
    for (const uikit::View* v = view.superview(); v != nullptr && v != &window_; v = v->superview())
        if (v->clipsToBounds()) visible = visible.intersection(v->convertRect(v->bounds(), nullptr));
    return visible.intersection(window_.bounds());
}

uikit::Point ViewFinder::touchPoint(const uikit::View& view) const {
    const uikit::Rect visible = visibleRect(view);
    return {visible.midX(), visible.midY()};
}

std::vector<std::string> ViewFinder::describe(const std::map<std::string, std::string>& lines) const {
    std::vector<std::string> out;
    auto names = outletNames();
    std::map<const uikit::View*, std::string> roles;
    for (const auto& [role, name] : lines)
        if (auto* view = outlet(name)) roles.emplace(view, role);
    auto nameOf = [&](const uikit::View& view) {
        auto found = names.find(&view);
        return found == names.end() ? std::string() : " @" + found->second;
    };
    eachView(window_, [&](uikit::View& view) {
        if (!shown(view)) return;
        if (auto* key = dynamic_cast<uikit::Button*>(&view)) {
            out.push_back("key " + inQuotes(normalTitle(*key)) + nameOf(view));
            return;
        }
        auto* label = dynamic_cast<uikit::Label*>(&view);
        if (label == nullptr || dynamic_cast<uikit::Button*>(label->superview()) != nullptr) return;
        auto role = roles.find(&view);
        if (role != roles.end()) out.push_back(role->second + " " + inQuotes(label->text()));
        else out.push_back("label " + inQuotes(label->text()) + nameOf(view));
    });
    return out;
}

}  // namespace script
