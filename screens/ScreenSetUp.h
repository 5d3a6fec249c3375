#pragma once

#include <functional>

namespace uikit {
class TransitionCoordinator;
}

namespace ostrelo {

class CalculatorScreen;

// The set-up steps the screens take alike, over the screen's links: the views prepared at each
// activation, the taps on the display lines, the rate check in the background and the size
// change without animations. Whatever runs later carries the screen's guard and does nothing
// once the screen is gone. Made per call; holds a reference to the screen only.
class ScreenSetUp {
public:
    explicit ScreenSetUp(CalculatorScreen& screen) : screen_(screen) {}

    // Inverted colours left alone on the root view, the display lines and the keys laid out
    // anew, the primary line cut at its head.
    void prepareViews();
    // A tap on the primary line runs `primary`, on the second line (where there is one)
    // `secondary`. Each call adds the recognisers again: once per screen.
    void attachDisplayTaps(std::function<void()> primary, std::function<void()> secondary);
    // The exchange rates checked (and downloaded when due) off the main thread, then `then` on
    // the main thread.
    void updateRatesInBackground(std::function<void()> then);
    // Animations off for a size change, and on again once it completes, after `relayout` (if
    // any).
    void relayoutWithoutAnimation(uikit::TransitionCoordinator& coordinator, std::function<void()> relayout);

private:
    CalculatorScreen& screen_;
};

}  // namespace ostrelo
