#pragma once

#include "platform/uikit/SceneDescription.h"

#include <memory>
#include <string>

namespace uikit {

class View;
class ViewController;

// Builds the view tree of a scene for a controller (the scene's own, or a nib's owner): makes
// the views and recognisers by class name, sets their properties, places them for the current
// size classes, makes the constraints, fills every outlet and connects every action. Every
// failure is a message naming `source`, the scene and the line; on failure no outlet of the
// controller is left pointing into the discarded tree.
class SceneBuilder {
public:
    static std::unique_ptr<View> build(const SceneDescription& scene, ViewController& controller,
                                       const std::string& controllerName, const std::string& source,
                                       std::string& error);
};

}  // namespace uikit
