#include "platform/host/ApplicationDriver.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserActivity.h"
#include "platform/host/HostController.h"
#include "platform/render/PangoTextMeasurer.h"
#include "platform/render/Renderer.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/Device.h"
#include "platform/uikit/Screen.h"

#include <filesystem>

namespace host {

namespace {

bool anyAnimation(const uikit::Layer& layer) {
    if (layer.hasAnimations()) return true;
    for (const auto& sub : layer.sublayers())
        if (anyAnimation(*sub)) return true;
    return false;
}

// The activity of an activity request: its file's, or the group directory's current one; none,
// with the reason, when there is none to read.
std::optional<foundation::UserActivity> readActivity(const LaunchRequest& request, std::string& error) {
    const std::string& file = request.value;
    std::optional<foundation::UserActivity> activity;
    if (file.empty()) {
        activity = foundation::UserActivity::readCurrent();
        if (!activity) error = "the group directory holds no activity";
    } else {
        activity = foundation::UserActivity::read(file, error);
    }
    if (!activity) foundation::Log::warning("no activity to continue: " + error);
    return activity;
}

void post(const char* name) { foundation::NotificationCenter::defaultCenter().post(name); }

uikit::Application& application() { return uikit::Application::shared(); }

}  // namespace

ApplicationDriver::ApplicationDriver(const Display& display) {
    foundation::NotificationCenter::setMainThread();
    render::PangoTextMeasurer::install();
    uikit::View::setAnimationsEnabled(true);
    application().applicationState = uikit::ApplicationState::active;
    uikit::Screen::mainScreen().setScale(display.scale);
    uikit::Screen::mainScreen().setUserInterfaceStyle(uikit::UserInterfaceStyle::light);
    uikit::Screen::mainScreen().setBounds(display.size);
    uikit::Device::currentDevice().setUserInterfaceIdiom(display.idiom);
    window_ = std::make_unique<uikit::Window>(uikit::Rect({0, 0}, display.size), display.idiom, display.scale);
    window_->setDesktopSizeClasses(display.desktop);
    window_->setSafeAreaInsets(display.safeArea);
}

ApplicationDriver::~ApplicationDriver() {
    if (delegate_) delegate_->window = nullptr;
    window_.reset();
    delegate_.reset();
}

void ApplicationDriver::launch(const AppDescription& app, const LaunchRequest& request) {
    // The activity to continue is read before any screen exists: the group directory's one is
    // the file a screen replaces with its own activity as soon as it loads.
    std::optional<foundation::UserActivity> activity;
    std::string ignored;
    if (request.kind == LaunchRequest::Kind::activity) activity = readActivity(request, ignored);
    application().applicationState = uikit::ApplicationState::inactive;
    if (app.makeDelegate) delegate_ = app.makeDelegate();
    auto root = app.makeRootViewController ? app.makeRootViewController() : nullptr;
    if (!root) root = std::make_unique<uikit::ViewController>();
    uikit::ApplicationDelegate::LaunchOptions options;
    if (request.kind == LaunchRequest::Kind::shortcut) options.shortcutItem = uikit::ApplicationShortcutItem{request.value};
    if (request.kind == LaunchRequest::Kind::url) options.url = request.value;
    bool deliverShortcut = true;
    if (delegate_) {
        delegate_->window = window_.get();
        deliverShortcut = delegate_->didFinishLaunchingWithOptions(application(), options);
    }
    setRootViewController(std::move(root));
    becomeActive();
    if (activity && delegate_) delegate_->continueUserActivity(application(), *activity);
    if (request.kind == LaunchRequest::Kind::shortcut && deliverShortcut) deliver(request);
}

std::optional<std::string> ApplicationDriver::handle(const LaunchRequest& request) {
    changed_ = true;
    // The start that asks may continue the activity this program publishes: it is current first.
    foundation::UserActivity::saveNeeded();
    if (application().applicationState == uikit::ApplicationState::active) resignActive();
    auto refusal = deliver(request);
    if (application().applicationState == uikit::ApplicationState::background) enterForeground();
    becomeActive();
    return refusal;
}

std::optional<std::string> ApplicationDriver::deliver(const LaunchRequest& request) {
    const bool toDelegate = request.kind == LaunchRequest::Kind::shortcut || request.kind == LaunchRequest::Kind::activity;
    if (!toDelegate) return std::nullopt;
    if (!delegate_) return "this program takes no quick actions or activities";
    if (request.kind == LaunchRequest::Kind::activity) {
        std::string error;
        auto activity = readActivity(request, error);
        if (!activity) return error;
        if (delegate_->continueUserActivity(application(), *activity)) return std::nullopt;
        return "the activity " + (request.value.empty() ? "of the group directory" : "in " + request.value) +
               " was not continued";
    }
    // The delegate may answer later; an answer given at once decides the request's.
    auto answer = std::make_shared<std::optional<bool>>();
    delegate_->performActionForShortcutItem(
        application(), {request.value},
        [this, guard = lifetime_.weak(), type = request.value, answer](bool succeeded) {
            *answer = succeeded;
            if (!guard.expired()) quickActionAnswers_.push_back(succeeded);
            if (!succeeded) foundation::Log::info("quick action not handled: " + type);
        });
    if (*answer == false) return "the quick action " + request.value + " was not carried out";
    return std::nullopt;
}

void ApplicationDriver::setRootViewController(std::unique_ptr<uikit::ViewController> controller) {
    if (auto* hostScreen = dynamic_cast<HostController*>(controller.get()))
        hostScreen->setDriver(this, lifetime_.weak());
    window_->setRootViewController(std::move(controller));
    changed_ = true;
}

template <class Call>
void ApplicationDriver::tellHostScreen(Call call) {
    if (auto* hostScreen = dynamic_cast<HostController*>(window_->rootViewController())) call(*hostScreen);
}

void ApplicationDriver::requestWindowSize(uikit::Size size) {
    if (size.width <= 0 || size.height <= 0 || size == window_->bounds().size) return;
    if (handlers_.resize) handlers_.resize(size);
    else resize(size);
}

void ApplicationDriver::requestClose() {
    closeRequested_ = true;
    if (handlers_.close) handlers_.close();
}

void ApplicationDriver::touchDown(uikit::Point point, double force, double maximumPossibleForce) {
    window_->touchDown(point, force, maximumPossibleForce);
    changed_ = true;
}

void ApplicationDriver::touchMove(uikit::Point point, double force) {
    window_->touchMove(point, force);
    changed_ = true;
}

void ApplicationDriver::touchUp(uikit::Point point) {
    window_->touchUp(point);
    changed_ = true;
}

void ApplicationDriver::touchCancel() {
    window_->touchCancel();
    changed_ = true;
}

void ApplicationDriver::pressKey(const uikit::Key& key) {
    window_->pressKey(key);
    changed_ = true;
}

void ApplicationDriver::resize(uikit::Size size) {
    window_->resize(size);
    changed_ = true;
}

void ApplicationDriver::setScreenSize(uikit::Size size) { uikit::Screen::mainScreen().setBounds(size); }

void ApplicationDriver::setSafeAreaInsets(const uikit::EdgeInsets& insets) {
    window_->setSafeAreaInsets(insets);
    changed_ = true;
}

void ApplicationDriver::setUserInterfaceStyle(uikit::UserInterfaceStyle style) {
    uikit::Screen::mainScreen().setUserInterfaceStyle(style);
    window_->setUserInterfaceStyle(style);
    changed_ = true;
}

void ApplicationDriver::becomeActive() {
    application().applicationState = uikit::ApplicationState::active;
    if (delegate_) delegate_->applicationDidBecomeActive(application());
    tellHostScreen([](HostController& screen) { screen.hostDidBecomeActive(); });
    post(uikit::Application::didBecomeActiveNotification);
    changed_ = true;
}

void ApplicationDriver::resignActive() {
    if (delegate_) delegate_->applicationWillResignActive(application());
    tellHostScreen([](HostController& screen) { screen.hostWillResignActive(); });
    post(uikit::Application::willResignActiveNotification);
    foundation::UserActivity::saveNeeded();
    application().applicationState = uikit::ApplicationState::inactive;
    changed_ = true;
}

void ApplicationDriver::enterBackground() {
    if (application().applicationState == uikit::ApplicationState::active) resignActive();
    application().applicationState = uikit::ApplicationState::background;
    if (delegate_) delegate_->applicationDidEnterBackground(application());
    tellHostScreen([](HostController& screen) { screen.hostDidEnterBackground(); });
    post(uikit::Application::didEnterBackgroundNotification);
    changed_ = true;
}

void ApplicationDriver::enterForeground() {
    application().applicationState = uikit::ApplicationState::inactive;
    if (delegate_) delegate_->applicationWillEnterForeground(application());
    tellHostScreen([](HostController& screen) { screen.hostWillEnterForeground(); });
    post(uikit::Application::willEnterForegroundNotification);
    changed_ = true;
}

void ApplicationDriver::terminate() {
    if (delegate_) delegate_->applicationWillTerminate(application());
    foundation::UserActivity::saveNeeded();
    foundation::UserActivity::waitUntilWritten();
}

std::size_t ApplicationDriver::runDueWork() {
    std::size_t ran = foundation::RunLoop::main().runUntilIdle();
    window_->layoutIfNeeded();
    if (ran > 0) changed_ = true;
    return ran;
}

bool ApplicationDriver::animating() const { return anyAnimation(window_->layer()); }

std::vector<render::DamageRegion::Box> ApplicationDriver::drawFrame(cairo_t* cr, double scale) {
    window_->layoutIfNeeded();
    auto drawn = frames_.draw(cr, window_->layer(), scale, uikit::Color::black());
    changed_ = false;
    return drawn;
}

render::Image ApplicationDriver::snapshot(double scale) {
    return render::Renderer::render(*window_, scale, uikit::Color::black());
}

}  // namespace host
