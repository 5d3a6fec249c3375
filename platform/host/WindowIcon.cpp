#include "platform/host/WindowIcon.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/host/NativeWindow.h"
#include "platform/render/Image.h"

namespace host {

std::optional<std::filesystem::path> WindowIcon::locate(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name.front() == '.') return std::nullopt;
    for (const auto& directory : foundation::Bundle::resourceDirectories("icons")) {
        auto path = directory / (name + ".png");
        std::error_code ignored;
        if (std::filesystem::is_regular_file(path, ignored)) return path;
    }
    return std::nullopt;
}

bool WindowIcon::show(NativeWindow& window, const std::string& name) {
    const auto path = locate(name);
    if (!path) {
        foundation::Log::warning("no icon \"" + name + "\" among the program's resources");
        return false;
    }
    const render::Image image = render::Image::readPNG(*path);
    if (!image.valid()) return false;
    window.setIcon(image);
    return true;
}

}  // namespace host
