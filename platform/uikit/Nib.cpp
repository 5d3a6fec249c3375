#include "platform/uikit/Nib.h"

#include "platform/uikit/View.h"

namespace uikit {

std::optional<Nib> Nib::named(const std::string& name, std::string& error) {
    auto path = Storyboard::locate(name + ".nib", error);
    if (!path) {
        error = "no nib \"" + name + "\" (" + error + ")";
        return std::nullopt;
    }
    return check(Storyboard::load(*path, name, error), name, error);
}

std::optional<Nib> Nib::parse(const std::string& text, const std::string& name, std::string& error) {
    return check(Storyboard::parse(text, name, error), name, error);
}

std::optional<Nib> Nib::check(std::optional<Storyboard> scenes, const std::string& name, std::string& error) {
    if (!scenes) return std::nullopt;
    auto ids = scenes->sceneIdentifiers();
    if (ids.size() != 1 || ids.front() != name) {
        error = "nib \"" + name + "\" must hold exactly one scene, named \"" + name + "\"";
        return std::nullopt;
    }
    return Nib(name, std::move(*scenes));
}

std::unique_ptr<View> Nib::instantiateWithOwner(ViewController& owner, std::string& error) const {
    return scenes_.instantiateWithOwner(name_, owner, error);
}

}  // namespace uikit
