#pragma once

#include "platform/foundation/Timer.h"
#include "platform/host/HostController.h"
#include "platform/uikit/Button.h"
#include "platform/uikit/ExtensionContext.h"
#include "platform/uikit/Label.h"
#include "platform/uikit/WidgetProviding.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace host {

// The panel that shows a widget: a thin header (the name "Ostrelo", a "Show More"/"Show Less"
// toggle once the widget offers the expanded mode, a close button) above the widget, and the
// widget's extension context. The panel starts compact. A mode change calls the widget's
// display-mode handler with the mode's maximum size, runs the size transition to its
// completion, then sizes the widget to its preferred content size clamped to that maximum (the
// maximum where it prefers none); the window follows the widget's height. While the panel is
// shown (from its appearance, and again from each return to the foreground) the widget gets an
// update request at once and every `updateInterval` seconds; the completion values are recorded.
class PanelHostController : public HostController, public uikit::ExtensionContext {
public:
    // Makes the widget: a controller that provides the widget protocol.
    using Factory = std::function<std::unique_ptr<uikit::ViewController>()>;
    using UrlOpener = std::function<void(const std::string& url, std::function<void(bool opened)> completion)>;
    struct Options {
        uikit::Size compactMaximum{320, 110};
        uikit::Size expandedMaximum{320, 430};
        // Opens the widget's URLs. None: each is recorded as an opened URL of the application
        // and succeeds.
        UrlOpener openURL;
        double updateInterval = 60;
    };
    static constexpr double headerHeight = 28;

    PanelHostController(Factory makeWidget, Options options);
    ~PanelHostController() override;

    // What the user sees and does.
    uikit::Size widgetSize() const { return widgetSize_; }
    bool isShown() const { return shown_; }
    // The toggle: the other mode (only while the widget offers the expanded one).
    void toggleDisplayMode();
    // A new maximum for a mode; the widget hears of it at once when the mode is active.
    void setMaximumSize(int mode, uikit::Size size);
    // Update requests made, and the values their completions gave.
    int updateRequests() const { return updateRequests_; }
    const std::vector<int>& updateResults() const { return updateResults_; }
    // Whether a press at `point` (window points) drags the panel: the header outside its buttons.
    bool dragsWindowAt(uikit::Point point) const;
    uikit::Button& toggleButton() const { return *toggle_; }
    uikit::Button& closeButton() const { return *close_; }
    uikit::ViewController* widget() const { return widget_; }

    // ExtensionContext
    int widgetLargestAvailableDisplayMode() const override { return largestMode_; }
    void setWidgetLargestAvailableDisplayMode(int mode) override;
    int widgetActiveDisplayMode() const override { return activeMode_; }
    uikit::Size widgetMaximumSizeForDisplayMode(int mode) const override;
    void openURL(const std::string& url, OpenCompletion completion) override;

    // HostController
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillTransitionToSize(uikit::Size size, uikit::TransitionCoordinator& coordinator) override;
    void traitCollectionDidChange(const uikit::TraitCollection* previous) override;
    void layoutHostViews() override;
    void hostDidEnterBackground() override;
    void hostWillEnterForeground() override;

private:
    void show();
    void hide();
    void requestUpdate();
    void changeDisplayMode(int mode);
    uikit::Size clampedPreferredSize() const;
    void applyWidgetSize(uikit::Size size);
    void applyPalette();

    Factory makeWidget_;
    Options options_;
    uikit::ViewController* widget_ = nullptr;
    uikit::WidgetProviding* provider_ = nullptr;
    int activeMode_ = uikit::WidgetDisplayModeCompact;
    int largestMode_ = uikit::WidgetDisplayModeCompact;
    uikit::Size widgetSize_;
    bool started_ = false;
    bool shown_ = false;
    std::shared_ptr<foundation::Timer> updateTimer_;
    int updateRequests_ = 0;
    std::vector<int> updateResults_;
    uikit::View* header_ = nullptr;
    uikit::Label* name_ = nullptr;
    uikit::Button* toggle_ = nullptr;
    uikit::Button* close_ = nullptr;
};

}  // namespace host
