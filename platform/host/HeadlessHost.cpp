#include "platform/host/HeadlessHost.h"

#include "platform/foundation/RunLoop.h"
#include "platform/host/GroupPasteboardStorage.h"
#include "platform/uikit/Application.h"
#include "platform/uikit/Pasteboard.h"
#include "platform/uikit/StoreReviewController.h"

#include <algorithm>

namespace host {

HeadlessHost::HeadlessHost(DeviceProfile profile, Orientation orientation)
    : profile_(std::move(profile)), orientation_(orientation) {
    foundation::RunLoop::main().useVirtualTime(0);
    uikit::AudioServices::setPlayer({});
    uikit::Pasteboard::general().setStorage(std::make_unique<GroupPasteboardStorage>());
    uikit::Pasteboard::general().recordWrites(true);
    clearRecords();
    driver_ = std::make_unique<ApplicationDriver>(ApplicationDriver::Display{
        profile_.size(orientation_), profile_.scale, profile_.idiom, profile_.safeAreaInsets(orientation_), false});
}

HeadlessHost::~HeadlessHost() {
    driver_.reset();
    uikit::Pasteboard::general().setStorage(nullptr);
    uikit::Pasteboard::general().recordWrites(false);
    foundation::RunLoop::main().useVirtualTime(0);
}

void HeadlessHost::applyOrientation() {
    driver_->setScreenSize(profile_.size(orientation_));
    driver_->setSafeAreaInsets(profile_.safeAreaInsets(orientation_));
}

void HeadlessHost::setUserInterfaceStyle(uikit::UserInterfaceStyle style) {
    driver_->setUserInterfaceStyle(style);
    runUntilIdle();
}

void HeadlessHost::setRootViewController(std::unique_ptr<uikit::ViewController> controller) {
    driver_->setRootViewController(std::move(controller));
    runUntilIdle();
}

void HeadlessHost::launch(const AppDescription& app, const LaunchRequest& request) {
    driver_->launch(app, request);
    runUntilIdle();
}

std::optional<std::string> HeadlessHost::handle(const LaunchRequest& request) {
    auto refusal = driver_->handle(request);
    runUntilIdle();
    return refusal;
}

double HeadlessHost::now() const { return foundation::RunLoop::main().now(); }

void HeadlessHost::advance(double seconds) { foundation::RunLoop::main().advance(seconds); }

void HeadlessHost::runUntilIdle() { driver_->runDueWork(); }

void HeadlessHost::touchDown(uikit::Point point, double force, double maximumPossibleForce) {
    driver_->touchDown(point, force, maximumPossibleForce);
    runUntilIdle();
}

void HeadlessHost::touchMove(uikit::Point point, double force) {
    driver_->touchMove(point, force);
    runUntilIdle();
}

void HeadlessHost::touchUp(uikit::Point point) {
    driver_->touchUp(point);
    runUntilIdle();
}

void HeadlessHost::touchCancel() {
    driver_->touchCancel();
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
    pressKey(key);
}

void HeadlessHost::pressKey(const uikit::Key& key) {
    driver_->pressKey(key);
    runUntilIdle();
}

void HeadlessHost::rotate(Orientation orientation) {
    orientation_ = orientation;
    applyOrientation();
    resize(profile_.size(orientation));
}

void HeadlessHost::resize(uikit::Size size) {
    driver_->resize(size);
    runUntilIdle();
}

void HeadlessHost::becomeActive() {
    driver_->becomeActive();
    runUntilIdle();
}

void HeadlessHost::resignActive() {
    driver_->resignActive();
    runUntilIdle();
}

void HeadlessHost::enterBackground() {
    driver_->enterBackground();
    runUntilIdle();
}

void HeadlessHost::enterForeground() {
    driver_->enterForeground();
    runUntilIdle();
}

render::Image HeadlessHost::snapshot() {
    runUntilIdle();
    return driver_->snapshot(profile_.scale);
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
