#pragma once

#include "screens/MemoryPopover.h"

namespace ostrelo {

// The app's Memory popover, the scene "Memory" of the storyboard Main, over the memory-recall
// key.
class ViewControllerMemory : public MemoryPopover {};

}  // namespace ostrelo
