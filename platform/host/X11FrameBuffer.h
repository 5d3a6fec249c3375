#pragma once

#include "platform/render/DamageRegion.h"

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace host {

class X11Connection;

// The picture of an X window: an image in Cairo's RGB24 format that the window's pixels are
// copied from, in memory shared with the server (MIT-SHM) when the server can reach it, else in
// the process (XPutImage sends it). The visual must be 24-bit true colour (8 bits each of red,
// green and blue in the low 24 bits of a 32-bit pixel, as Cairo keeps them).
class X11FrameBuffer {
public:
    X11FrameBuffer(X11Connection& connection, Drawable window, Visual* visual, int depth);
    ~X11FrameBuffer();
    X11FrameBuffer(const X11FrameBuffer&) = delete;
    X11FrameBuffer& operator=(const X11FrameBuffer&) = delete;

    // The picture at this size, made anew (`fresh`: it holds no frame yet) when the size
    // changed. Null when it cannot be made.
    cairo_surface_t* picture(int width, int height, bool& fresh);
    // The last picture made, if any.
    cairo_surface_t* current() const { return surface_; }
    // Copies these boxes of the picture (clipped to it) to a drawable of the window's depth;
    // with shared memory it returns once the server has read them, so that the next frame can
    // be drawn into the picture.
    void put(Drawable drawable, const std::vector<render::DamageRegion::Box>& boxes);
    void putWhole(Drawable drawable);
    bool shared() const { return shared_; }
    int depth() const { return depth_; }

private:
    bool make(int width, int height);
    bool makeShared(int width, int height);
    bool makePlain(int width, int height);
    void release();

    X11Connection& connection_;
    Display* display_;
    Visual* visual_;
    int depth_;
    GC gc_;
    bool shareable_;
    bool shared_ = false;
    XImage* image_ = nullptr;
    XShmSegmentInfo segment_{};
    cairo_surface_t* surface_ = nullptr;
};

}  // namespace host
