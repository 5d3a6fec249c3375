#pragma once

#include "platform/foundation/WeakLink.h"
#include "platform/uikit/Size.h"
#include "platform/uikit/View.h"
#include "platform/uikit/ViewController.h"

#include <memory>

namespace host {

class ApplicationDriver;

// The root of a host window that shows an extension inside views of its own. It hears of the
// application's lifecycle before the screens' notifications go out, lays its own views out
// before the views inside them (layoutHostViews), may ask its window for another size or to
// close, and passes appearance on to the extension it shows.
class HostController : public uikit::ViewController {
public:
    void loadView() override;

    // The lifecycle, called by the driver after the application delegate and before the
    // notification. Base: nothing.
    virtual void hostDidBecomeActive() {}
    virtual void hostWillResignActive() {}
    virtual void hostDidEnterBackground() {}
    virtual void hostWillEnterForeground() {}

    // Places the host's own views and the extension's root view in the root view's bounds;
    // runs before the views inside are laid out.
    virtual void layoutHostViews() {}

    // Set by the driver when the controller becomes a window's root: a link that does not own.
    void setDriver(ApplicationDriver* driver, std::weak_ptr<void> guard);

protected:
    // Asks the window for another size in points, or to close; without a window nothing happens.
    void requestWindowSize(uikit::Size size);
    void requestClose();
    // Puts a child's root view into `superview` with the appearance calls around it, and takes
    // it back out (the controller sees its view disappear).
    static void showChild(uikit::ViewController& child, uikit::View& superview);
    static void hideChild(uikit::ViewController& child);

private:
    foundation::WeakLink<ApplicationDriver> driver_;
};

}  // namespace host
