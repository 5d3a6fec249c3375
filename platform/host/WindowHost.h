#pragma once

#include "platform/host/AppDescription.h"
#include "platform/host/ApplicationDriver.h"
#include "platform/host/DesktopAppearance.h"
#include "platform/host/LaunchRequest.h"
#include "platform/host/NativeWindow.h"
#include "platform/host/SdlSoundPlayer.h"
#include "platform/host/SingleInstance.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace host {

// One executable in a desktop window (NativeWindow: X11, or offscreen for tests): the window's
// title, size, idiom, style and placement come from the description (its root screen may ask for
// another size or to close), drawing is the Cairo renderer into the window's picture at the
// display scale (pixels per point) when something changed, the main run loop runs on real time,
// and an idle window sleeps until the next event or due work. The left mouse button becomes one
// touch (a press on what drags the window moves it instead), keys become key presses
// (KeyboardInput), Ctrl+R turns the window between portrait and landscape,
// window events drive the lifecycle, the desktop's light or dark preference is the window's
// appearance (DesktopAppearance: read at start and whenever the window gets the focus, and
// followed as it changes), the pasteboard is the desktop clipboard and key clicks play. The
// application's alternate icon is the window's icon (the one kept from an earlier start from
// the beginning), and opening the settings URL starts the app's settings program.
// Everything else is the ApplicationDriver's, as in the headless host.
class WindowHost {
public:
    // What an executable's main() calls. The arguments give the launch request: "--help" prints
    // the usage on standard output (0), wrong ones print it on standard error (2). The group
    // directory is checked (GroupDirectory::secure: one error line and 1 when the program must
    // not use it). With single instance, a running instance gets the request (0 once it carried
    // it out, 1 with one error line when it did not or cannot be reached); a start that cannot
    // set up its socket runs without it (logged). Otherwise the window opens (one error line
    // and 1 without a display), the application launches and runs until the window is closed
    // (0).
    static int run(int argc, char** argv, const AppDescription& app);

    // The steps of run, for tests and benchmarks. Null, with the reason, without a display.
    static std::unique_ptr<WindowHost> open(const AppDescription& app, std::string& error);
    ~WindowHost();
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    ApplicationDriver& driver() { return *driver_; }
    NativeWindow& nativeWindow() { return *window_; }
    void launch(const LaunchRequest& request = {});
    // Handles events, due work and frames until the window is closed or quit() is called;
    // returns the exit status (0). The window, hidden until then, is shown with its first
    // frame. When nothing else is due after it (or at the end), what the start held back
    // follows: the store of a first start is made and downloads start (run), and the font
    // set's folder is kept for later starts; then "first frame" is logged.
    int exec();
    // Ends exec at its next turn (main thread).
    void quit() { running_ = false; }
    // A request handed over by a later start: the window comes forward and the driver acts on
    // it (ApplicationDriver::handle), for a quick action that reads the pasteboard once the
    // clipboard's text is there (the window goes on meanwhile), and only while the start still
    // waits. The reply says whether it was carried out: a copy the clipboard did not take or a
    // paste it did not hand over was not. Text that is no request is refused.
    void handle(const std::string& request, const SingleInstance::Reply& reply);
    // Draws and shows what changed since the last frame now.
    void drawFrame();

    // Whether a press at `point` (window points) drags the window (AppDescription::dragsWindow).
    bool dragsWindowAt(uikit::Point point);

    // How often exec woke from waiting, and how many frames it drew (frames that changed
    // nothing are not drawn).
    std::size_t wakeUps() const { return wakeUps_; }
    std::size_t frames() const { return frames_; }

private:
    WindowHost(std::unique_ptr<NativeWindow> window, const AppDescription& app);
    std::optional<std::string> handle(const LaunchRequest& request, const std::string& text);
    void handleEvent(const WindowEvent& event);
    void handlePointer(const WindowEvent& event);
    void handleKey(const KeyboardInput::KeyDown& down);
    void applyWindowSize();
    void resizeWindow(uikit::Size size);
    void rotate();
    void openURL(const std::string& url);
    void show();
    void settle();
    void wait();

    std::unique_ptr<NativeWindow> window_;
    AppDescription app_;
    uikit::Size size_;
    std::unique_ptr<ApplicationDriver> driver_;
    std::unique_ptr<SdlSoundPlayer> sounds_;
    std::unique_ptr<DesktopAppearance> appearance_;
    bool running_ = false;
    bool shown_ = false;
    bool settled_ = false;
    std::size_t wakeUps_ = 0;
    std::size_t frames_ = 0;
};

}  // namespace host
