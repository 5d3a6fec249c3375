#include "platform/host/X11FrameBuffer.h"

#include "platform/foundation/Log.h"
#include "platform/host/X11Connection.h"

#include <X11/Xutil.h>
#include <cairo.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace host {

namespace {

// Shared memory reaches only a server on this machine.
bool localServer(Display* display) {
    const char* name = DisplayString(display);
    return name != nullptr && (name[0] == ':' || std::strncmp(name, "unix:", 5) == 0);
}

int hostByteOrder() {
    const unsigned one = 1;
    unsigned char first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1 ? LSBFirst : MSBFirst;
}

}  // namespace

X11FrameBuffer::X11FrameBuffer(X11Connection& connection, Drawable window, Visual* visual, int depth)
    : connection_(connection), display_(connection.display()), visual_(visual), depth_(depth) {
    XGCValues values{};
    values.graphics_exposures = False;
    gc_ = XCreateGC(display_, window, GCGraphicsExposures, &values);
    shareable_ = localServer(display_) && XShmQueryExtension(display_);
}

X11FrameBuffer::~X11FrameBuffer() {
    release();
    XFreeGC(display_, gc_);
}

cairo_surface_t* X11FrameBuffer::picture(int width, int height, bool& fresh) {
    fresh = false;
    if (surface_ != nullptr && image_->width == width && image_->height == height) return surface_;
    release();
    fresh = true;
    return make(width, height) ? surface_ : nullptr;
}

bool X11FrameBuffer::make(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    if (!(shareable_ && makeShared(width, height)) && !makePlain(width, height)) return false;
    surface_ = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(image_->data), CAIRO_FORMAT_RGB24,
                                                   width, height, image_->bytes_per_line);
    if (cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS) return true;
    release();
    return false;
}

bool X11FrameBuffer::makeShared(int width, int height) {
    image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &segment_,
                             static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (image_ == nullptr) return false;
    segment_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * height, IPC_CREAT | 0600);
    void* memory = segment_.shmid >= 0 ? shmat(segment_.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
    if (memory == reinterpret_cast<void*>(-1)) {
        if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);
        XDestroyImage(image_);
        image_ = nullptr;
        shareable_ = false;
        return false;
    }
    segment_.shmaddr = image_->data = static_cast<char*>(memory);
    segment_.readOnly = False;
    const bool attached = connection_.checked([&] { XShmAttach(display_, &segment_); });
    // The segment goes once both sides let go of it.
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    if (!attached) {
        foundation::Log::info("window: the display cannot share memory; frames are sent whole");
        shmdt(segment_.shmaddr);
        image_->data = nullptr;
        XDestroyImage(image_);
        image_ = nullptr;
        shareable_ = false;
        return false;
    }
    shared_ = true;
    return true;
}

bool X11FrameBuffer::makePlain(int width, int height) {
    const int stride = width * 4;
    char* pixels = static_cast<char*>(std::calloc(static_cast<std::size_t>(stride) * height, 1));
    if (pixels == nullptr) return false;
    image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, pixels,
                          static_cast<unsigned>(width), static_cast<unsigned>(height), 32, stride);
    if (image_ == nullptr) {
        std::free(pixels);
        return false;
    }
    // The pixels are in this machine's order; Xlib reorders them for the server where it differs.
    image_->byte_order = hostByteOrder();
    shared_ = false;
    return true;
}

void X11FrameBuffer::release() {
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
    surface_ = nullptr;
    if (image_ == nullptr) return;
    if (shared_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        shmdt(segment_.shmaddr);
        image_->data = nullptr;
    }
    XDestroyImage(image_);  // frees plain pixels too
    image_ = nullptr;
    shared_ = false;
}

void X11FrameBuffer::put(Drawable drawable, const std::vector<render::DamageRegion::Box>& boxes) {
    if (image_ == nullptr) return;
    const render::DamageRegion::Box whole{0, 0, image_->width, image_->height};
    bool sent = false;
    for (const auto& box : boxes) {
        const auto b = box.intersection(whole);
        if (b.empty()) continue;
        if (shared_)
            XShmPutImage(display_, drawable, gc_, image_, b.x, b.y, b.x, b.y, static_cast<unsigned>(b.width),
                         static_cast<unsigned>(b.height), False);
        else
            XPutImage(display_, drawable, gc_, image_, b.x, b.y, b.x, b.y, static_cast<unsigned>(b.width),
                      static_cast<unsigned>(b.height));
        sent = true;
    }
    if (!sent) return;
    if (shared_) XSync(display_, False);
    else XFlush(display_);
}

void X11FrameBuffer::putWhole(Drawable drawable) {
    if (image_ != nullptr) put(drawable, {{0, 0, image_->width, image_->height}});
}

}  // namespace host
