#pragma once

#include "platform/host/AppDescription.h"
#include "platform/host/ApplicationDriver.h"
#include "platform/host/DeviceProfile.h"
#include "platform/host/LaunchRequest.h"
#include "platform/render/Image.h"
#include "platform/uikit/AudioServices.h"
#include "platform/uikit/ViewController.h"
#include "platform/uikit/Window.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace host {

// Runs a root view controller in a window of a device profile without a screen (the main
// screen, the current device and the window's safe area follow the profile and orientation;
// the appearance starts light): the main run loop on the virtual clock (starting at 0), text
// measured with the real fonts, input injected by calls, snapshots as PNG files, and what the
// platform stand-ins were asked to do (sounds, vibration, pasteboard writes, opened URLs, review
// requests, alternate icons) kept as records. The pasteboard's text is kept in the group
// directory, so the processes of a test share it. After every injected event the work that is
// due runs. The window, start-up, lifecycle and size changes are the window host's own
// (ApplicationDriver).
class HeadlessHost {
public:
    explicit HeadlessHost(DeviceProfile profile = DeviceProfile::phone(), Orientation orientation = Orientation::portrait);
    ~HeadlessHost();
    HeadlessHost(const HeadlessHost&) = delete;
    HeadlessHost& operator=(const HeadlessHost&) = delete;

    uikit::Window& window() { return driver_->window(); }
    ApplicationDriver& driver() { return *driver_; }
    const DeviceProfile& profile() const { return profile_; }
    Orientation orientation() const { return orientation_; }
    void setRootViewController(std::unique_ptr<uikit::ViewController> controller);
    uikit::ViewController* rootViewController() const { return driver_->window().rootViewController(); }

    // The start-up of an executable, as the window host runs it (ApplicationDriver::launch).
    void launch(const AppDescription& app, const LaunchRequest& request = {});
    // A request a later start hands to the running instance: none when it was carried out,
    // else why not (ApplicationDriver::handle).
    std::optional<std::string> handle(const LaunchRequest& request);
    uikit::ApplicationDelegate* delegate() const { return driver_->delegate(); }

    // Virtual time.
    double now() const;
    void advance(double seconds);
    void runUntilIdle();

    // Touches in window points.
    void touchDown(uikit::Point point, double force = 0, double maximumPossibleForce = 0);
    void touchMove(uikit::Point point, double force = 0);
    void touchUp(uikit::Point point);
    void touchCancel();
    void tap(uikit::Point point);
    // Puts a finger down and keeps it there for `seconds` (lift it with touchUp).
    void hold(uikit::Point point, double seconds);
    // The centre of a view in window points (for tapping it).
    static uikit::Point centerOf(const uikit::View& view);

    // A key of a hardware keyboard.
    void pressKey(const std::string& characters, int keyCode = 0);
    void pressKey(const uikit::Key& key);

    // Size changes. Rotating turns the main screen and the safe area too; a resize changes the
    // window only (as a widget or a split screen does).
    void rotate(Orientation orientation);
    void resize(uikit::Size size);

    // The appearance the user chose (light or dark), as the system setting.
    void setUserInterfaceStyle(uikit::UserInterfaceStyle style);

    // Application lifecycle: each tells the delegate, posts its notification and sets the
    // application state.
    void becomeActive();
    void resignActive();
    void enterBackground();
    void enterForeground();

    // Snapshots at the profile's scale.
    render::Image snapshot();
    bool writeSnapshot(const std::filesystem::path& path);

    // Records (alternate icons: Application::shared().alternateIconRequests()).
    const std::vector<uikit::AudioServices::Request>& sounds() const;
    int vibrations() const;
    const std::vector<std::string>& pasteboardWrites() const;
    const std::vector<std::string>& openedURLs() const;
    // The delegate's answers to the quick actions handed over (handle), in order.
    const std::vector<bool>& quickActionAnswers() const { return driver_->quickActionAnswers(); }
    void clearRecords();

private:
    void applyOrientation();

    DeviceProfile profile_;
    Orientation orientation_;
    std::unique_ptr<ApplicationDriver> driver_;
};

}  // namespace host
