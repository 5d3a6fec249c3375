#include "platform/host/OffscreenWindow.h"

#include "platform/foundation/RunLoop.h"

#include <cairo.h>

#include <cmath>

namespace host {

OffscreenWindow::OffscreenWindow(const Options& options) : NativeWindow(options), size_(options.size) {}

OffscreenWindow::~OffscreenWindow() {
    if (picture_ != nullptr) cairo_surface_destroy(picture_);
}

cairo_surface_t* OffscreenWindow::picture(bool& fresh) {
    const int width = static_cast<int>(std::lround(size_.width)), height = static_cast<int>(std::lround(size_.height));
    fresh = picture_ == nullptr || cairo_image_surface_get_width(picture_) != width ||
            cairo_image_surface_get_height(picture_) != height;
    if (fresh) {
        if (picture_ != nullptr) cairo_surface_destroy(picture_);
        picture_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    }
    return cairo_surface_status(picture_) == CAIRO_STATUS_SUCCESS ? picture_ : nullptr;
}

void OffscreenWindow::present(const std::vector<render::DamageRegion::Box>& boxes) { presented_ += boxes.size(); }

void OffscreenWindow::wait(std::optional<double> seconds) { foundation::RunLoop::main().waitForPosted(seconds); }

}  // namespace host
