#include "screens/ScreenLinks.h"

#include <utility>

namespace ostrelo {

ScreenLinks ScreenLinks::forScreen(Calculator& calculator, bool& enableClickSound, PulseLayer* pulse,
                                   uikit::ViewController& controller, const ScreenProfile& profile,
                                   std::weak_ptr<void> guard) {
    ScreenLinks links;
    links.calculator = &calculator;
    links.enableClickSound = &enableClickSound;
    links.pulse = pulse;
    links.controller = &controller;
    links.profile = &profile;
    links.guard = std::move(guard);
    return links;
}

}  // namespace ostrelo
