#pragma once

#include "platform/host/NativeWindow.h"
#include "platform/host/X11Keyboard.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

union _XEvent;

namespace host {

class X11Clipboard;
class X11Connection;
class X11FrameBuffer;

// A top-level X11 window (Xlib; MIT-SHM for frames where the server shares memory). The window
// manager hears the title (WM_NAME, _NET_WM_NAME), the program's name as the window class, the
// process (_NET_WM_PID), the protocols it speaks (WM_DELETE_WINDOW, _NET_WM_PING), the icon
// (_NET_WM_ICON), and per window style: its smallest size, or a fixed size (equal smallest and
// largest sizes), no decorations (_MOTIF_WM_HINTS), always on top (_NET_WM_STATE_ABOVE) and
// where it opens (the window manager's choice, or, without one, centred on the primary monitor;
// or at the top right of its usable area, a place the window claims as its own). A window is moved by its
// header through the window manager (_NET_WM_MOVERESIZE) or, without one that offers it, by the
// window itself. The first frame is the window's background when it is mapped, so that it is
// never seen blank; later exposures show the whole picture again. The window draws at the
// desktop's scale (DisplayScale): its size on the screen and its picture are in pixels, its
// size and pointer events in points.
class X11Window : public NativeWindow {
public:
    // Null, with the reason, without a display or a 24-bit true-colour visual on it.
    static std::unique_ptr<NativeWindow> open(const Options& options, std::string& error);
    ~X11Window() override;

    uikit::Size size() const override { return size_; }
    double scale() const override { return scale_; }
    void resize(uikit::Size size) override;
    void setIcon(const render::Image& icon) override;
    cairo_surface_t* picture(bool& fresh) override;
    void present(const std::vector<render::DamageRegion::Box>& boxes) override;
    void show() override;
    bool visible() const override { return shown_ && mapped_ && !minimized_; }
    void bringForward() override;
    void beginMove() override;
    std::unique_ptr<uikit::PasteboardStorage> clipboard() override;
    void wait(std::optional<double> seconds) override;
    void wakeUp() override;

    // The window's X id (tests).
    unsigned long id() const { return window_; }

protected:
    std::optional<WindowEvent> nextSystemEvent() override;
    bool hasSystemEvents() override;

private:
    X11Window(const Options& options, std::unique_ptr<X11Connection> connection, unsigned long window, double scale);
    void describe(int x, int y);
    void setSizeHints();
    std::optional<WindowEvent> translate(_XEvent& event);
    std::optional<WindowEvent> configured(int width, int height);
    std::optional<WindowEvent> stateChanged();
    bool autoRepeated(const _XEvent& release);
    void exposed();
    bool windowManagerMoves();
    int pixels(double points) const;
    uikit::Point points(int x, int y) const;

    std::unique_ptr<X11Connection> connection_;
    unsigned long window_;
    std::unique_ptr<X11FrameBuffer> frame_;
    std::unique_ptr<X11Clipboard> clipboard_;
    X11Keyboard keyboard_;
    // The server sends a held key's repeats as presses alone (XkbSetDetectableAutoRepeat).
    bool detectableAutoRepeat_ = false;
    int wakeUp_ = -1;
    uikit::Size size_;
    double scale_;
    // Where the window was put by the program (the panel) or by the user (moving it itself).
    std::optional<std::pair<int, int>> position_;
    bool shown_ = false;
    bool mapped_ = false;
    bool minimized_ = false;
    // The pixmap that shows the first frame until the window is first exposed.
    unsigned long background_ = 0;
    // The time of the user input being handled (0 between events), for the clipboard.
    unsigned long lastInput_ = 0;
    // Where the left button last went down, on the screen and in the window; while the window
    // moves itself it keeps the pointer there.
    int pressRootX_ = 0, pressRootY_ = 0, pressX_ = 0, pressY_ = 0;
    bool movingItself_ = false;
};

}  // namespace host
