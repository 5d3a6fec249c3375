#pragma once

#include "platform/uikit/SceneDescription.h"

#include <optional>
#include <string>
#include <vector>

namespace uikit {

// Reads the text of a scene file (the format is described in SceneFormat.md beside this file)
// into scene descriptions. Checks everything that does not need the registered classes:
// keywords, indentation, attribute syntax, frames, grids, size-class conditions and
// constraints. Errors name `source` and the line.
class SceneParser {
public:
    struct Result {
        std::string initial;
        std::vector<SceneDescription> scenes;
    };

    static std::optional<Result> parse(const std::string& text, const std::string& source, std::string& error);
};

}  // namespace uikit
