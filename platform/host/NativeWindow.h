#pragma once

#include "platform/host/AppDescription.h"
#include "platform/host/WindowEvent.h"
#include "platform/render/DamageRegion.h"
#include "platform/uikit/PasteboardStorage.h"
#include "platform/uikit/Size.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace render {
class Image;
}

namespace host {

// The window the window host draws in, on the window system the environment names
// ($OSTRELO_WINDOW_SYSTEM, the window host's choice). The window keeps its picture (the last
// frame) and shows the boxes of it that changed; it stays hidden until show(). Main thread only,
// but for wakeUp().
class NativeWindow {
public:
    static constexpr const char* systemVariable = "OSTRELO_WINDOW_SYSTEM";

    struct Options {
        std::string title;
        // The program's name, for the window manager (the window class).
        std::string className;
        uikit::Size size;
        AppDescription::WindowStyle style;
    };

    virtual ~NativeWindow() = default;

    const Options& options() const { return options_; }
    // The window's size in points.
    virtual uikit::Size size() const = 0;
    // Pixels per point, for the window's life (one, but where the window system has a scale).
    virtual double scale() const { return 1; }
    // Asks for another size; size() has it at once.
    virtual void resize(uikit::Size size) = 0;
    virtual void setIcon(const render::Image& icon) = 0;

    // The picture frames are drawn in, at the window's size in pixels (points × scale), in
    // Cairo's RGB24 format; it keeps its pixels from frame to frame. `fresh` is set when it was
    // made anew (at the start or after a size change) and holds no frame yet. Null when it
    // cannot be made.
    virtual cairo_surface_t* picture(bool& fresh) = 0;
    // Shows these boxes (pixels) of the picture.
    virtual void present(const std::vector<render::DamageRegion::Box>& boxes) = 0;
    // Maps the window with the picture drawn so far.
    virtual void show() = 0;
    // Shown and not minimised.
    virtual bool visible() const = 0;
    // Brings the window forward, back from being minimised.
    virtual void bringForward() = 0;
    // The left button went down on a part of the window that drags it: the window follows the
    // pointer until the button goes up (and the press and what follows are no events).
    virtual void beginMove() = 0;
    // The desktop clipboard, or null when the window system has none (the text then stays in
    // the process). It is used while the window is open.
    virtual std::unique_ptr<uikit::PasteboardStorage> clipboard() = 0;

    // The next event: first those posted, then the window system's; none without waiting.
    std::optional<WindowEvent> nextEvent();
    // Whether nextEvent has one.
    bool hasEvents();
    // Queues an event as if the window system had sent it (tests).
    void post(const WindowEvent& event) { posted_.push_back(event); }
    // Waits for an event, a wake-up or the end of `seconds` (none: no limit).
    virtual void wait(std::optional<double> seconds) = 0;
    // Ends a wait now or the next one at once. Any thread.
    virtual void wakeUp() = 0;

protected:
    explicit NativeWindow(Options options) : options_(std::move(options)) {}
    virtual std::optional<WindowEvent> nextSystemEvent() = 0;
    virtual bool hasSystemEvents() = 0;

private:
    Options options_;
    std::deque<WindowEvent> posted_;
};

}  // namespace host
