#pragma once

#include "platform/uikit/Color.h"

#include <filesystem>
#include <memory>

typedef struct _cairo_surface cairo_surface_t;

namespace render {

// A drawn picture: 32-bit pixels with alpha, in device pixels.
class Image {
public:
    Image() = default;
    Image(int width, int height);
    // A PNG file as an image; an invalid image (and a log line) when it cannot be read.
    static Image readPNG(const std::filesystem::path& path);
    int width() const { return width_; }
    int height() const { return height_; }
    bool valid() const { return surface_ != nullptr; }
    // The colour of a pixel (not premultiplied); clear outside the image.
    uikit::Color pixel(int x, int y) const;
    // Writes a PNG; false (and a log line) on failure. The file appears complete or not at all.
    bool writePNG(const std::filesystem::path& path) const;
    cairo_surface_t* surface() const { return surface_.get(); }

private:
    std::shared_ptr<cairo_surface_t> surface_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace render
