#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace host {

class NativeWindow;

// A window's icon from the program's resources: <resource directory>/icons/<name>.png, looked
// for where the program's other resources are (foundation::Bundle::resourceDirectories).
class WindowIcon {
public:
    static std::optional<std::filesystem::path> locate(const std::string& name);
    // Shows the named icon on the window; false (logged) when it cannot be found or read.
    static bool show(NativeWindow& window, const std::string& name);
};

}  // namespace host
