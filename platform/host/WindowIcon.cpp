#include "platform/host/WindowIcon.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/render/Image.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

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

bool WindowIcon::show(SDL_Window* window, const std::string& name) {
    const auto path = locate(name);
    if (!path) {
        foundation::Log::warning("no icon \"" + name + "\" among the program's resources");
        return false;
    }
    const render::Image image = render::Image::readPNG(*path);
    if (!image.valid()) return false;
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> surface(
        SDL_CreateRGBSurfaceWithFormat(0, image.width(), image.height(), 32, SDL_PIXELFORMAT_RGBA32), SDL_FreeSurface);
    if (!surface) {
        foundation::Log::warning(std::string("icon: ") + SDL_GetError());
        return false;
    }
    auto channel = [](double value) { return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255)); };
    for (int y = 0; y < image.height(); ++y) {
        auto* row = static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < image.width(); ++x) {
            const uikit::Color c = image.pixel(x, y);
            std::uint8_t* p = row + 4 * x;
            p[0] = channel(c.red), p[1] = channel(c.green), p[2] = channel(c.blue), p[3] = channel(c.alpha);
        }
    }
    SDL_SetWindowIcon(window, surface.get());
    return true;
}

}  // namespace host
