#include "platform/uikit/Storyboard.h"

#include "platform/foundation/Bundle.h"
#include "platform/uikit/ClassRegistry.h"
#include "platform/uikit/SceneBuilder.h"
#include "platform/uikit/SceneParser.h"
#include "platform/uikit/View.h"
#include "platform/uikit/ViewController.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace uikit {

namespace {
std::optional<std::filesystem::path>& chosenDirectory() {
    static std::optional<std::filesystem::path> directory;
    return directory;
}
}  // namespace

void Storyboard::setDirectory(std::optional<std::filesystem::path> directory) { chosenDirectory() = std::move(directory); }

std::vector<std::filesystem::path> Storyboard::searchDirectories() {
    if (chosenDirectory()) return {*chosenDirectory()};
    return foundation::Bundle::resourceDirectories("storyboards");
}

std::filesystem::path Storyboard::directory() {
    auto directories = searchDirectories();
    return directories.empty() ? std::filesystem::path() : directories.front();
}

std::optional<std::filesystem::path> Storyboard::locate(const std::string& fileName, std::string& error) {
    std::string looked;
    for (const auto& directory : searchDirectories()) {
        auto path = directory / fileName;
        std::error_code ignored;
        if (std::filesystem::is_regular_file(path, ignored)) return path;
        looked += (looked.empty() ? "" : ", ") + path.string();
    }
    error = looked.empty() ? "the program's directory cannot be read" : "looked for " + looked;
    return std::nullopt;
}

std::optional<Storyboard> Storyboard::named(const std::string& name, std::string& error) {
    auto path = locate(name + ".storyboard", error);
    if (!path) {
        error = "no storyboard \"" + name + "\" (" + error + ")";
        return std::nullopt;
    }
    return load(*path, name, error);
}

std::optional<Storyboard> Storyboard::load(const std::filesystem::path& file, const std::string& name,
                                           std::string& error) {
    std::ifstream in(file);
    if (!in) {
        error = "cannot read " + file.string();
        return std::nullopt;
    }
    std::stringstream text;
    text << in.rdbuf();
    auto parsed = SceneParser::parse(text.str(), file.string(), error);
    if (!parsed) return std::nullopt;
    Storyboard board;
    board.name_ = name;
    board.source_ = file.string();
    board.initial_ = std::move(parsed->initial);
    board.scenes_ = std::move(parsed->scenes);
    return board;
}

std::optional<Storyboard> Storyboard::parse(const std::string& text, const std::string& name, std::string& error) {
    auto parsed = SceneParser::parse(text, "storyboard " + name, error);
    if (!parsed) return std::nullopt;
    Storyboard board;
    board.name_ = name;
    board.source_ = "storyboard " + name;
    board.initial_ = std::move(parsed->initial);
    board.scenes_ = std::move(parsed->scenes);
    return board;
}

std::vector<std::string> Storyboard::sceneIdentifiers() const {
    std::vector<std::string> ids;
    for (const auto& s : scenes_) ids.push_back(s.identifier);
    return ids;
}

std::unique_ptr<ViewController> Storyboard::instantiateInitialViewController(std::string& error) const {
    if (initial_.empty()) {
        if (scenes_.empty()) {
            error = source_ + " has no scenes";
            return nullptr;
        }
        return instantiateViewController(scenes_.front().identifier, error);
    }
    return instantiateViewController(initial_, error);
}

const SceneDescription* Storyboard::scene(const std::string& identifier, std::string& error) const {
    for (const auto& s : scenes_)
        if (s.identifier == identifier) return &s;
    error = source_ + " has no scene \"" + identifier + "\"";
    return nullptr;
}

std::unique_ptr<ViewController> Storyboard::instantiateViewController(const std::string& identifier,
                                                                       std::string& error) const {
    const SceneDescription* found = scene(identifier, error);
    if (found == nullptr) return nullptr;
    auto controller = ClassRegistry::shared().makeController(found->controllerClass);
    if (!controller) {
        error = source_ + ", scene " + identifier + ", line " + std::to_string(found->line) +
                ": unknown controller class \"" + found->controllerClass + "\"";
        return nullptr;
    }
    auto root = SceneBuilder::build(*found, *controller, found->controllerClass, source_, error);
    if (!root) return nullptr;
    controller->storyboardIdentifier = identifier;
    controller->setStoryboard(std::make_shared<const Storyboard>(*this));
    controller->setView(std::move(root));
    return controller;
}

std::unique_ptr<View> Storyboard::instantiateWithOwner(const std::string& identifier, ViewController& owner,
                                                       std::string& error) const {
    const SceneDescription* found = scene(identifier, error);
    if (found == nullptr) return nullptr;
    return SceneBuilder::build(*found, owner, "the owner", source_, error);
}

}  // namespace uikit
