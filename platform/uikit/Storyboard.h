#pragma once

#include "platform/uikit/SceneDescription.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace uikit {

class View;
class ViewController;

// The scenes of one storyboard file, <directory>/<Name>.storyboard, in the text format of
// SceneFormat.md (beside this file): view trees of controllers with their outlets, actions,
// layout constraints and size-class variants.
//
// Files are looked for in one directory when one is set here (tests do), else in
// $OSTRELO_RESOURCES/storyboards when that is set, else beside the running executable
// (<its directory>/storyboards) and then where `cmake --install` puts them
// (<its directory>/../share/ostrelo/storyboards). The working directory plays no part.
//
// Loading never throws: failures come back as null with a message naming the file (or the
// storyboard, for parsed text), the scene and the line: a missing file or scene, an unknown
// class, an unknown or unconnected outlet, an outlet of the wrong class, an unknown action, an
// unknown property or a bad value.
class Storyboard {
public:
    static void setDirectory(std::optional<std::filesystem::path> directory);
    // The directories searched, in order, and the first of them.
    static std::vector<std::filesystem::path> searchDirectories();
    static std::filesystem::path directory();
    // The file <Name><extension> in the first search directory that has it; none (with a
    // message listing where it looked) when none has.
    static std::optional<std::filesystem::path> locate(const std::string& fileName, std::string& error);

    static std::optional<Storyboard> named(const std::string& name, std::string& error);
    static std::optional<Storyboard> parse(const std::string& text, const std::string& name, std::string& error);
    static std::optional<Storyboard> load(const std::filesystem::path& file, const std::string& name,
                                          std::string& error);

    std::unique_ptr<ViewController> instantiateViewController(const std::string& identifier, std::string& error) const;
    std::unique_ptr<ViewController> instantiateInitialViewController(std::string& error) const;
    // Loads a scene as a nib: builds its view tree for an existing controller (the owner),
    // binds the owner's outlets and actions and hands back the root view. The scene's
    // controller class is not used. On failure nothing of the owner is left bound.
    std::unique_ptr<View> instantiateWithOwner(const std::string& identifier, ViewController& owner,
                                               std::string& error) const;
    std::vector<std::string> sceneIdentifiers() const;
    const std::string& name() const { return name_; }

private:
    const SceneDescription* scene(const std::string& identifier, std::string& error) const;

    std::string name_;
    // How messages name the storyboard: its file, or "storyboard <name>" for parsed text.
    std::string source_;
    std::string initial_;
    std::vector<SceneDescription> scenes_;
};

}  // namespace uikit
