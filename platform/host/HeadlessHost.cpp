#include "platform/host/HeadlessHost.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/render/PangoTextMeasurer.h"
#include "platform/render/Renderer.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/Device.h"
#include "platform/uikit/Screen.h"
#include "platform/uikit/StoreReviewController.h"
#include "platform/uikit/Pasteboard.h"

#include <algorithm>

namespace host {

HeadlessHost::HeadlessHost(DeviceProfile profile, Orientation orientation)
    : profile_(std::move(profile)), orientation_(orientation) {
    foundation::RunLoop::main().useVirtualTime(0);
    foundation::NotificationCenter::setMainThread();
    render::PangoTextMeasurer::install();
    uikit::View::setAnimationsEnabled(true);
    uikit::Application::shared().applicationState = uikit::ApplicationState::active;
    clearRecords();
    uikit::Screen::mainScreen().setScale(profile_.scale);
    uikit::Screen::mainScreen().setUserInterfaceStyle(uikit::UserInterfaceStyle::light);
    uikit::Device::currentDevice().setUserInterfaceIdiom(profile_.idiom);
    uikit::Size size = profile_.size(orientation_);
    window_ = std::make_unique<uikit::Window>(uikit::Rect({0, 0}, size), profile_.idiom, profile_.scale);
    applyOrientation();
}

void HeadlessHost::applyOrientation() {
    uikit::Screen::mainScreen().setBounds(profile_.size(orientation_));
    window_->setSafeAreaInsets(profile_.safeAreaInsets(orientation_));
}

void HeadlessHost::setUserInterfaceStyle(uikit::UserInterfaceStyle style) {
    uikit::Screen::mainScreen().setUserInterfaceStyle(style);
    window_->setUserInterfaceStyle(style);
    runUntilIdle();
}

HeadlessHost::~HeadlessHost() {
    window_.reset();
    foundation::RunLoop::main().useVirtualTime(0);
}

void HeadlessHost::setRootViewController(std::unique_ptr<uikit::ViewController> controller) {
    window_->setRootViewController(std::move(controller));
    runUntilIdle();
}

double HeadlessHost::now() const { return foundation::RunLoop::main().now(); }

void HeadlessHost::advance(double seconds) { foundation::RunLoop::main().advance(seconds); }

void HeadlessHost::runUntilIdle() {
    foundation::RunLoop::main().runUntilIdle();
    window_->layoutIfNeeded();
}

void HeadlessHost::touchDown(uikit::Point point, double force, double maximumPossibleForce) {
    window_->touchDown(point, force, maximumPossibleForce);
    runUntilIdle();
}

void HeadlessHost::touchMove(uikit::Point point, double force) {
    window_->touchMove(point, force);
    runUntilIdle();
}

void HeadlessHost::touchUp(uikit::Point point) {
    window_->touchUp(point);
    runUntilIdle();
}

void HeadlessHost::touchCancel() {
    window_->touchCancel();
    runUntilIdle();
}

void HeadlessHost::tap(uikit::Point point) {
    touchDown(point);
    advance(0.05);
    touchUp(point);
}

void HeadlessHost::hold(uikit::Point point, double seconds) {
    touchDown(point);
    advance(seconds);
}

uikit::Point HeadlessHost::centerOf(const uikit::View& view) {
    uikit::Rect b = view.bounds();
    return view.convertPoint({b.midX(), b.midY()}, nullptr);
}

void HeadlessHost::pressKey(const std::string& characters, int keyCode) {
    uikit::Key key;
    key.characters = characters;
    key.charactersIgnoringModifiers = characters;
    key.keyCode = keyCode;
    window_->pressKey(key);
    runUntilIdle();
}

void HeadlessHost::rotate(Orientation orientation) {
    orientation_ = orientation;
    applyOrientation();
    resize(profile_.size(orientation));
}

void HeadlessHost::resize(uikit::Size size) {
    window_->resize(size);
    runUntilIdle();
}

void HeadlessHost::becomeActive() {
    uikit::Application::shared().applicationState = uikit::ApplicationState::active;
    foundation::NotificationCenter::defaultCenter().post(uikit::Application::didBecomeActiveNotification);
    runUntilIdle();
}

void HeadlessHost::enterBackground() {
    foundation::NotificationCenter::defaultCenter().post(uikit::Application::willResignActiveNotification);
    uikit::Application::shared().applicationState = uikit::ApplicationState::background;
    foundation::NotificationCenter::defaultCenter().post(uikit::Application::didEnterBackgroundNotification);
    runUntilIdle();
}

void HeadlessHost::enterForeground() {
    uikit::Application::shared().applicationState = uikit::ApplicationState::inactive;
    foundation::NotificationCenter::defaultCenter().post(uikit::Application::willEnterForegroundNotification);
    runUntilIdle();
}

render::Image HeadlessHost::snapshot() {
    runUntilIdle();
    return render::Renderer::render(*window_, profile_.scale, uikit::Color::black());
}

bool HeadlessHost::writeSnapshot(const std::filesystem::path& path) { return snapshot().writePNG(path); }

const std::vector<uikit::AudioServices::Request>& HeadlessHost::sounds() const { return uikit::AudioServices::requests(); }

int HeadlessHost::vibrations() const {
    const auto& all = uikit::AudioServices::requests();
    return static_cast<int>(std::count_if(all.begin(), all.end(), [](const auto& r) {
        return r.soundID == uikit::AudioServices::vibrate;
    }));
}

const std::vector<std::string>& HeadlessHost::pasteboardWrites() const { return uikit::Pasteboard::general().writes(); }

const std::vector<std::string>& HeadlessHost::openedURLs() const { return uikit::Application::shared().openedURLs(); }

void HeadlessHost::clearRecords() {
    uikit::AudioServices::clearRequests();
    uikit::Pasteboard::general().clear();
    uikit::Application::shared().clearRecords();
    uikit::StoreReviewController::clearRequests();
}

}  // namespace host
