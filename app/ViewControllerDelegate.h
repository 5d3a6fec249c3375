#pragma once

#include "screens/FunctionsPopoverDelegate.h"

namespace ostrelo {

class Calculator;

// What the Settings and Functions screens ask of the calculator screen that presented them: the
// key handler and the dimmed controls (as every Functions popover), and what the settings need.
class ViewControllerDelegate : public FunctionsPopoverDelegate {
public:
    // The screen's calculator, for the settings that live in it.
    virtual Calculator& screenCalculator() = 0;
    virtual void updateCalculatorLines() = 0;
    virtual void relayoutViews() = 0;
    virtual void setClickSound(bool enabled) = 0;
    // Replaces the calculator by a new one (which honours a pending reset) in line with the
    // settings, and refreshes the display.
    virtual void replaceCalculator() = 0;
};

}  // namespace ostrelo
