#pragma once

#include "platform/host/AppDescription.h"
#include "platform/host/LaunchRequest.h"
#include "platform/foundation/Lifetime.h"
#include "platform/render/FrameRenderer.h"
#include "platform/render/Image.h"
#include "platform/uikit/ApplicationDelegate.h"
#include "platform/uikit/EdgeInsets.h"
#include "platform/uikit/Press.h"
#include "platform/uikit/TraitCollection.h"
#include "platform/uikit/Window.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _cairo cairo_t;

namespace host {

// What every host shares: one executable's window with its start-up, input, size changes,
// lifecycle, due work and frames. A host only says where input comes from and where frames
// go (the headless host: calls and images; the window host: SDL). A root screen that is a
// HostController hears of the lifecycle after the delegate and may ask for another window size
// or to close. Main thread only.
class ApplicationDriver {
public:
    // The screen the window fills.
    struct Display {
        uikit::Size size;
        double scale = 2;
        uikit::UserInterfaceIdiom idiom = uikit::UserInterfaceIdiom::phone;
        uikit::EdgeInsets safeArea;
        // Size classes from the window's size alone (a desktop window), not the device's rule.
        bool desktop = false;
    };

    // Sets up the main screen, the device and the text measurer and makes the window (light
    // appearance, application active, no root screen yet).
    explicit ApplicationDriver(const Display& display);
    ~ApplicationDriver();
    ApplicationDriver(const ApplicationDriver&) = delete;
    ApplicationDriver& operator=(const ApplicationDriver&) = delete;

    uikit::Window& window() { return *window_; }
    uikit::ApplicationDelegate* delegate() const { return delegate_.get(); }

    // Start-up of an executable: the delegate and the initial screen are made, the delegate
    // learns its window and finishes launching (with the request's quick action or URL), the
    // screen's view loads and appears, and the application becomes active. Then the request's
    // quick action (unless the delegate took it at launch) or activity is delivered; the
    // activity was read before the screen was made.
    void launch(const AppDescription& app, const LaunchRequest& request = {});
    // A request handed over by a later start. It reaches the application as a request from
    // outside does on a phone: the application resigns, a quick action or an activity goes to
    // the delegate (coming forward, for every request, is the host's part), and the application
    // becomes active again, so that its activation refreshes what the request changed. Before it,
    // activities waiting to be saved are saved, so that the request finds them current. None
    // when the request was carried out; else why not (an activity that cannot be read or that
    // the delegate did not continue, a quick action it answered with false).
    std::optional<std::string> handle(const LaunchRequest& request);
    // What the delegate answered to each quick action handed to it, in order (true: handled).
    const std::vector<bool>& quickActionAnswers() const { return quickActionAnswers_; }
    void setRootViewController(std::unique_ptr<uikit::ViewController> controller);

    // Input, in window points.
    void touchDown(uikit::Point point, double force = 0, double maximumPossibleForce = 0);
    void touchMove(uikit::Point point, double force = 0);
    void touchUp(uikit::Point point);
    void touchCancel();
    bool touchActive() const { return window_->touchActive(); }
    void pressKey(const uikit::Key& key);

    // Size and appearance. A resize runs the size-change path of the screens; the screen's
    // bounds and safe area change with a rotation or a desktop window's resize.
    void resize(uikit::Size size);
    void setScreenSize(uikit::Size size);
    void setSafeAreaInsets(const uikit::EdgeInsets& insets);
    void setUserInterfaceStyle(uikit::UserInterfaceStyle style);

    // What the window does when its root screen asks for another size or to close, set by the
    // host. Without a handler the window takes the size itself and a close is only noted.
    struct WindowHandlers {
        std::function<void(uikit::Size)> resize;
        std::function<void()> close;
    };
    void setWindowHandlers(WindowHandlers handlers) { handlers_ = std::move(handlers); }
    void requestWindowSize(uikit::Size size);
    void requestClose();
    bool closeRequested() const { return closeRequested_; }

    // Lifecycle: each tells the delegate first, then a host screen at the root, then posts its
    // notification.
    void becomeActive();
    // Also called for a window that loses the focus. Activities waiting to be saved are saved.
    void resignActive();
    // Resigns first when active.
    void enterBackground();
    void enterForeground();
    // The window is closing: the delegate hears of it, and every activity waiting to be saved is
    // saved and written.
    void terminate();

    // Runs the work that is due and lays the window out; returns how much work ran.
    std::size_t runDueWork();
    // Whether the window must be drawn: something happened since the last frame (input, due
    // work, a size or appearance change, setNeedsFrame) or an animation runs.
    bool needsFrame() const { return changed_ || animating(); }
    bool animating() const;
    void setNeedsFrame() { changed_ = true; }
    // Draws the window into `cr` (an image surface that keeps its pixels from frame to frame)
    // at `scale` pixels per point over black: the first frame whole, later ones only where
    // they differ from the frame before. Returns the boxes of pixels drawn (none: unchanged).
    std::vector<render::DamageRegion::Box> drawFrame(cairo_t* cr, double scale);
    // The target of drawFrame no longer holds the last frame: the next one is drawn whole.
    void forgetFrame() { frames_.forget(); }
    render::Image snapshot(double scale);

private:
    std::optional<std::string> deliver(const LaunchRequest& request);
    template <class Call>
    void tellHostScreen(Call call);

    std::unique_ptr<uikit::ApplicationDelegate> delegate_;
    std::unique_ptr<uikit::Window> window_;
    WindowHandlers handlers_;
    std::vector<bool> quickActionAnswers_;
    bool closeRequested_ = false;
    bool changed_ = true;
    render::FrameRenderer frames_;
    foundation::Lifetime lifetime_;
};

}  // namespace host
