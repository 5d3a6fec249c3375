#include "platform/render/Image.h"

#include "platform/foundation/Log.h"

#include <cairo.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <system_error>

namespace render {

Image::Image(int width, int height) : width_(std::max(width, 1)), height_(std::max(height, 1)) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
    surface_ = std::shared_ptr<cairo_surface_t>(s, cairo_surface_destroy);
}

Image Image::readPNG(const std::filesystem::path& path) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    Image image;
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        foundation::Log::error("cannot read " + path.string() + ": " + cairo_status_to_string(cairo_surface_status(s)));
        cairo_surface_destroy(s);
        return image;
    }
    image.surface_ = std::shared_ptr<cairo_surface_t>(s, cairo_surface_destroy);
    image.width_ = cairo_image_surface_get_width(s);
    image.height_ = cairo_image_surface_get_height(s);
    return image;
}

uikit::Color Image::pixel(int x, int y) const {
    if (!surface_ || x < 0 || y < 0 || x >= width_ || y >= height_) return uikit::Color::clear();
    cairo_surface_flush(surface_.get());
    const unsigned char* data = cairo_image_surface_get_data(surface_.get());
    int stride = cairo_image_surface_get_stride(surface_.get());
    std::uint32_t v = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
    double a = ((v >> 24) & 0xFF) / 255.0;
    if (a == 0) return uikit::Color::clear();
    double r = ((v >> 16) & 0xFF) / 255.0, g = ((v >> 8) & 0xFF) / 255.0, b = (v & 0xFF) / 255.0;
    return {r / a, g / a, b / a, a};
}

bool Image::writePNG(const std::filesystem::path& path) const {
    if (!surface_) {
        foundation::Log::error("no image to write to " + path.string());
        return false;
    }
    // A name of this process and write of its own, so that writers of one file never move each
    // other's partial image.
    static std::atomic<unsigned> writes{0};
    auto temporary = path;
    temporary += ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(writes++);
    cairo_status_t status = cairo_surface_write_to_png(surface_.get(), temporary.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        foundation::Log::error("cannot write " + path.string() + ": " + cairo_status_to_string(status));
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        foundation::Log::error("cannot write " + path.string() + ": " + error.message());
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace render
