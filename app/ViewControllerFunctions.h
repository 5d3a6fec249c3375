#pragma once

#include "screens/FunctionsPopover.h"

namespace ostrelo {

// The app's Functions popover, the scene "Functions" of the storyboard Main, beside the function
// key; its delegate is the calculator screen.
class ViewControllerFunctions : public FunctionsPopover {};

}  // namespace ostrelo
