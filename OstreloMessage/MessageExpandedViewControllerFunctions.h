#pragma once

#include "screens/FunctionsPopover.h"

#include <memory>

namespace ostrelo {

class PulseLayer;

// The expanded calculator's Functions popover, the scene "Functions" of the storyboard
// MainInterface; its delegate is the expanded calculator, set once the popover is presented.
class MessageExpandedViewControllerFunctions : public FunctionsPopover {
public:
    MessageExpandedViewControllerFunctions();
    ~MessageExpandedViewControllerFunctions() override;

    // Its own click setting and pulse, which none of its keys uses: a key plays the expanded
    // calculator's click.
    bool enableClickSound = false;
    std::shared_ptr<PulseLayer> pulse;
};

}  // namespace ostrelo
