#include "platform/host/PanelHostController.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/HostPalette.h"
#include "platform/uikit/Application.h"

#include <algorithm>

namespace host {

namespace {

constexpr double margin = 8;
constexpr double toggleWidth = 96;
constexpr double closeWidth = 28;

bool expanded(int mode) { return mode == uikit::WidgetDisplayModeExpanded; }

// The preferred length within the maximum; the maximum where none is preferred.
double clamp(double preferred, double maximum) { return preferred > 0 ? std::min(preferred, maximum) : maximum; }

}  // namespace

PanelHostController::PanelHostController(Factory makeWidget, Options options)
    : makeWidget_(std::move(makeWidget)), options_(std::move(options)), widgetSize_(options_.compactMaximum) {}

PanelHostController::~PanelHostController() {
    if (updateTimer_) updateTimer_->invalidate();
}

void PanelHostController::viewDidLoad() {
    HostController::viewDidLoad();
    auto palette = HostPalette::forStyle(view()->traitCollection().userInterfaceStyle);
    header_ = view()->add(std::make_unique<uikit::View>());
    name_ = header_->add(std::make_unique<uikit::Label>());
    name_->setText("Ostrelo");
    name_->setFont(uikit::Font::systemFont(13));
    toggle_ = header_->add(palette.makeButton("Show More"));
    toggle_->titleLabel()->setFont(uikit::Font::systemFont(13));
    toggle_->addTarget(this, [this](uikit::Control&) { toggleDisplayMode(); }, uikit::ControlEventTouchUpInside, alive());
    toggle_->setHidden(true);
    close_ = header_->add(palette.makeButton("✕"));
    close_->titleLabel()->setFont(uikit::Font::systemFont(13));
    close_->addTarget(this, [this](uikit::Control&) { requestClose(); }, uikit::ControlEventTouchUpInside, alive());
    applyPalette();

    auto made = makeWidget_ ? makeWidget_() : nullptr;
    provider_ = dynamic_cast<uikit::WidgetProviding*>(made.get());
    if (provider_ == nullptr) {
        foundation::Log::error("panel: there is no widget to show");
        return;
    }
    provider_->setExtensionContext(this, alive());
    widget_ = addChildViewController(std::move(made));
    widget_->moveViewInto(view());
    widget_->didMoveToParentViewController(this);
}

void PanelHostController::viewWillAppear(bool animated) {
    if (widget_ != nullptr) widget_->viewWillAppear(animated);
}

void PanelHostController::viewDidAppear(bool animated) {
    if (widget_ == nullptr) return;
    widget_->viewDidAppear(animated);
    if (!started_) {
        started_ = true;
        changeDisplayMode(uikit::WidgetDisplayModeCompact);
    }
    show();
}

void PanelHostController::hostDidEnterBackground() { hide(); }

void PanelHostController::hostWillEnterForeground() {
    if (started_) show();
}

void PanelHostController::show() {
    if (shown_ || provider_ == nullptr) return;
    shown_ = true;
    updateTimer_ = foundation::Timer::scheduledTimer(
        options_.updateInterval, true, [this](foundation::Timer&) { requestUpdate(); }, alive());
    requestUpdate();
}

void PanelHostController::hide() {
    shown_ = false;
    if (updateTimer_) updateTimer_->invalidate();
    updateTimer_.reset();
}

void PanelHostController::requestUpdate() {
    if (provider_ == nullptr) return;
    ++updateRequests_;
    provider_->widgetPerformUpdateWithCompletionHandler([this, guard = alive()](int result) {
        if (!guard.expired()) updateResults_.push_back(result);
    });
}

void PanelHostController::toggleDisplayMode() {
    if (!expanded(largestMode_)) return;
    changeDisplayMode(expanded(activeMode_) ? uikit::WidgetDisplayModeCompact : uikit::WidgetDisplayModeExpanded);
}

void PanelHostController::setMaximumSize(int mode, uikit::Size size) {
    if (expanded(mode)) options_.expandedMaximum = size;
    else options_.compactMaximum = size;
    if (started_ && mode == activeMode_) changeDisplayMode(mode);
}

void PanelHostController::changeDisplayMode(int mode) {
    if (provider_ == nullptr) return;
    activeMode_ = expanded(mode) ? uikit::WidgetDisplayModeExpanded : uikit::WidgetDisplayModeCompact;
    toggle_->setTitle(expanded(activeMode_) ? "Show Less" : "Show More", uikit::ControlStateNormal);
    provider_->widgetActiveDisplayModeDidChange(activeMode_, widgetMaximumSizeForDisplayMode(activeMode_));
    uikit::Size target = clampedPreferredSize();
    uikit::TransitionCoordinator coordinator(target);
    widget_->viewWillTransitionToSize(target, coordinator);
    coordinator.runAlongside();
    applyWidgetSize(target);
    coordinator.runCompletions();
    applyWidgetSize(clampedPreferredSize());
}

uikit::Size PanelHostController::clampedPreferredSize() const {
    uikit::Size preferred = widget_->preferredContentSize;
    uikit::Size maximum = widgetMaximumSizeForDisplayMode(activeMode_);
    return {clamp(preferred.width, maximum.width), clamp(preferred.height, maximum.height)};
}

void PanelHostController::applyWidgetSize(uikit::Size size) {
    widgetSize_ = size;
    requestWindowSize({widgetMaximumSizeForDisplayMode(activeMode_).width, headerHeight + size.height});
    view()->setNeedsLayout();
    view()->layoutIfNeeded();
}

void PanelHostController::setWidgetLargestAvailableDisplayMode(int mode) {
    largestMode_ = expanded(mode) ? uikit::WidgetDisplayModeExpanded : uikit::WidgetDisplayModeCompact;
    toggle_->setHidden(!expanded(largestMode_));
    if (started_ && expanded(activeMode_) && !expanded(largestMode_))
        foundation::RunLoop::main().perform(this, alive(), 0, [this] {
            if (!expanded(largestMode_)) changeDisplayMode(uikit::WidgetDisplayModeCompact);
        });
}

uikit::Size PanelHostController::widgetMaximumSizeForDisplayMode(int mode) const {
    if (mode == uikit::WidgetDisplayModeCompact) return options_.compactMaximum;
    if (mode == uikit::WidgetDisplayModeExpanded) return options_.expandedMaximum;
    return {};
}

void PanelHostController::openURL(const std::string& url, OpenCompletion completion) {
    auto done = [completion = std::move(completion), guard = alive()](bool opened) {
        if (!guard.expired() && completion) completion(opened);
    };
    if (options_.openURL) {
        options_.openURL(url, done);
        return;
    }
    bool opened = uikit::Application::shared().openURL(url);
    foundation::RunLoop::main().schedule(0, [done, opened] { done(opened); });
}

void PanelHostController::viewWillTransitionToSize(uikit::Size, uikit::TransitionCoordinator&) {
    // The panel's window follows the widget; the widget's own size changes come with its modes.
}

void PanelHostController::traitCollectionDidChange(const uikit::TraitCollection*) { applyPalette(); }

void PanelHostController::applyPalette() {
    auto palette = HostPalette::forStyle(view()->traitCollection().userInterfaceStyle);
    view()->setBackgroundColor(palette.background);
    header_->setBackgroundColor(palette.bar);
    name_->setTextColor(palette.text);
    palette.applyTo(*toggle_);
    palette.applyTo(*close_);
}

bool PanelHostController::dragsWindowAt(uikit::Point point) const {
    if (point.y < 0 || point.y >= headerHeight) return false;
    for (const uikit::Button* button : {toggle_, close_})
        if (!button->hidden() && button->frame().contains(point)) return false;
    return true;
}

void PanelHostController::layoutHostViews() {
    double width = view()->bounds().width();
    header_->setFrame(uikit::Rect(0, 0, width, headerHeight));
    name_->setFrame(uikit::Rect(margin, 0, width / 2, headerHeight));
    close_->setFrame(uikit::Rect(width - closeWidth, 0, closeWidth, headerHeight));
    toggle_->setFrame(uikit::Rect(width - closeWidth - toggleWidth, 0, toggleWidth, headerHeight));
    if (widget_ != nullptr) widget_->view()->setFrame(uikit::Rect(0, headerHeight, widgetSize_.width, widgetSize_.height));
}

}  // namespace host
