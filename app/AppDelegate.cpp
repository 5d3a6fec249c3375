#include "app/AppDelegate.h"

#include "app/HandoffCalculation.h"
#include "app/ViewController.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RandomSource.h"
#include "platform/foundation/Timer.h"
#include "platform/uikit/StoreReviewController.h"
#include "platform/uikit/Window.h"
#include "screens/DisplayRefresh.h"
#include "screens/KeyHandler.h"
#include "screens/StoreReload.h"

namespace ostrelo {

namespace {
constexpr std::int64_t launchesBeforeReview = 10;
constexpr double reviewDelay = 30;
constexpr std::uint32_t reviewDelaySpread = 20;
}  // namespace

bool AppDelegate::didFinishLaunchingWithOptions(uikit::Application&, const LaunchOptions& options) {
    countLaunch();
    if (options.shortcutItem) {
        shortcutItem = options.shortcutItem;
        return false;
    }
    return true;
}

void AppDelegate::countLaunch() {
    auto suite = SharedSettings::open();
    const auto stored = suite->object(SharedSettings::launchCount);
    if (!stored || !stored->isInteger()) {
        suite->set(SharedSettings::launchCount, 1);
    } else if (const std::int64_t count = *stored->integerValue(); count < launchesBeforeReview) {
        suite->set(SharedSettings::launchCount, count + 1);
    } else {
        const double delay = reviewDelay + foundation::RandomSource::uniform(reviewDelaySpread);
        foundation::Timer::scheduledTimer(delay, false, [this](foundation::Timer&) { requestReview(); },
                                          lifetime_.weak());
    }
    suite->synchronize();
}

void AppDelegate::requestReview() {
    uikit::StoreReviewController::requestReview();
    // There is no review dialog: the request is counted.
    auto suite = SharedSettings::open();
    suite->set(SharedSettings::reviewRequests, suite->integerForKey(SharedSettings::reviewRequests) + 1);
    suite->synchronize();
    foundation::Log::info("a review was requested (no dialog is shown)");
}

ViewController* AppDelegate::mainScreen() const {
    auto* screen = window != nullptr ? dynamic_cast<ViewController*>(window->rootViewController()) : nullptr;
    if (screen == nullptr) foundation::Log::warning("the window shows no calculator screen");
    return screen;
}

void AppDelegate::applicationDidBecomeActive(uikit::Application&) {
    ViewController* screen = mainScreen();
    if (screen == nullptr) return;
    screen->setNeedsStatusBarAppearanceUpdate();
    const bool changed = StoreReload{*screen}.reloadCalculation();
    DisplayRefresh{*screen}.updateDateTitle();
    screen->updateCalculatorLines();
    // A loan prompt or date title of the calculation that another program replaced gives way.
    if (changed) KeyHandler{*screen}.tail();
    if (shortcutItem) {
        screen->performActivityType(shortcutItem->type);
        shortcutItem.reset();
    }
}

void AppDelegate::performActionForShortcutItem(uikit::Application&, const uikit::ApplicationShortcutItem& item,
                                               const std::function<void(bool)>& completionHandler) {
    bool carriedOut = true;
    if (ViewController* screen = mainScreen()) carriedOut = screen->performActivityType(item.type);
    if (completionHandler) completionHandler(carriedOut);
}

bool AppDelegate::continueUserActivity(uikit::Application&, const foundation::UserActivity& activity) {
    if (window == nullptr || window->rootViewController() == nullptr) return true;
    if (!HandoffCalculation::acceptedText(activity)) return false;
    window->rootViewController()->restoreUserActivityState(activity);
    return true;
}

}  // namespace ostrelo
