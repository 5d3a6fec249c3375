#include "screens/ScreenSetUp.h"

#include "engine/ExchangeRateFeed.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/uikit/TapGestureRecognizer.h"
#include "platform/uikit/TransitionCoordinator.h"
#include "platform/uikit/ViewController.h"
#include "screens/CalculatorScreen.h"
#include "ui/CalculatorCalcLabel.h"
#include "ui/CalculatorView.h"

#include <memory>
#include <utility>

namespace ostrelo {

namespace {

void attachTap(CalculatorCalcLabel* line, std::function<void()> action, const std::weak_ptr<void>& guard) {
    if (line == nullptr) return;
    auto tap = std::make_unique<uikit::TapGestureRecognizer>();
    tap->addTarget([action = std::move(action)](uikit::GestureRecognizer&) { action(); }, guard);
    line->addGestureRecognizer(std::move(tap));
    line->setUserInteractionEnabled(true);
}

}  // namespace

void ScreenSetUp::prepareViews() {
    const ScreenLinks& links = screen_.links();
    links.controller->view()->accessibilityIgnoresInvertColors = true;
    links.primaryLine->setNeedsLayout();
    if (links.secondaryLine != nullptr) links.secondaryLine->setNeedsLayout();
    for (const auto& key : links.keypad->subviews()) key->setNeedsLayout();
    links.primaryLine->lineBreakMode = uikit::LineBreakByTruncatingHead;
}

void ScreenSetUp::attachDisplayTaps(std::function<void()> primary, std::function<void()> secondary) {
    const ScreenLinks& links = screen_.links();
    attachTap(links.primaryLine, std::move(primary), links.guard);
    attachTap(links.secondaryLine, std::move(secondary), links.guard);
}

void ScreenSetUp::updateRatesInBackground(std::function<void()> then) {
    foundation::DispatchQueue::global().async([then = std::move(then), guard = screen_.links().guard] {
        ExchangeRateFeed::updateRatesIfNeeded();
        foundation::DispatchQueue::main().async([then, guard] {
            if (!guard.expired()) then();
        });
    });
}

void ScreenSetUp::relayoutWithoutAnimation(uikit::TransitionCoordinator& coordinator, std::function<void()> relayout) {
    coordinator.animateAlongsideTransition(
        {}, [relayout = std::move(relayout), guard = screen_.links().guard](uikit::TransitionCoordinator&) {
            if (relayout && !guard.expired()) relayout();
            uikit::View::setAnimationsEnabled(true);
        });
    uikit::View::setAnimationsEnabled(false);
}

}  // namespace ostrelo
