#pragma once

#include "platform/uikit/Rect.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace uikit {

class View;
class ViewController;

// Scenes: view trees of controllers, kept in text files <directory>/<Name>.storyboard.
//
//   # a comment; blank lines are ignored
//   initial Main                       # optional: the initial scene
//   scene Main ViewController          # scene identifier and controller class
//     view View rframe=0,0,1,1         # the root view (indented two spaces)
//       view Label outlet=title frame=10,20,100,30 text="Hello, world" textColor=255,255,255
//       view Button rframe=0,0.5,0.25,0.5 title="7" tag=7
//
// Every `view` line names a registered class and may carry attributes key=value (a value with
// spaces is quoted "..."; \" and \\ escape). `frame=x,y,w,h` is a frame in points; `rframe`
// gives it in fractions of the parent's bounds, so that it follows resizes. `outlet=name`
// binds the view to the controller's outlet of that name. Every other key is a property of
// the view's class. Children are indented two spaces deeper than their parent.
//
// Loading never throws: failures come back as null with a message naming the storyboard, the
// scene and the line: a missing file or scene, an unknown class, an unknown or unconnected
// outlet, an outlet of the wrong class, an unknown property or a bad value.
class Storyboard {
public:
    // The directory searched for storyboards: $OSTRELO_RESOURCES/storyboards when set, else
    // resources/storyboards under the working directory, unless set here.
    static void setDirectory(std::optional<std::filesystem::path> directory);
    static std::filesystem::path directory();

    static std::optional<Storyboard> named(const std::string& name, std::string& error);
    static std::optional<Storyboard> parse(const std::string& text, const std::string& name, std::string& error);

    std::unique_ptr<ViewController> instantiateViewController(const std::string& identifier, std::string& error) const;
    std::unique_ptr<ViewController> instantiateInitialViewController(std::string& error) const;
    // Loads a scene as a nib: builds its view tree for an existing controller (the owner),
    // binds the owner's outlets and hands back the root view. The scene's controller class is
    // not used. On failure nothing of the owner is left bound.
    std::unique_ptr<View> instantiateWithOwner(const std::string& identifier, ViewController& owner,
                                               std::string& error) const;
    std::vector<std::string> sceneIdentifiers() const;
    const std::string& name() const { return name_; }

private:
    struct Node {
        std::string className;
        int line = 0;
        std::optional<Rect> frame;
        std::optional<Rect> relativeFrame;
        std::string outlet;
        std::vector<std::pair<std::string, std::string>> properties;
        std::vector<Node> children;
    };
    struct Scene {
        std::string identifier;
        std::string controllerClass;
        int line = 0;
        std::optional<Node> root;
    };

    const Scene* scene(const std::string& identifier, std::string& error) const;
    std::unique_ptr<View> build(const Scene& scene, ViewController& owner, const std::string& ownerClass,
                                std::string& error) const;

    std::string name_;
    std::string initial_;
    std::vector<Scene> scenes_;
};

}  // namespace uikit
