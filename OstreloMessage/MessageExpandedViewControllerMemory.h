#pragma once

#include "screens/MemoryPopover.h"

namespace ostrelo {

// The expanded calculator's Memory popover, the scene "Memory" of the storyboard MainInterface:
// the memory register's text as it was when the popover opened.
class MessageExpandedViewControllerMemory : public MemoryPopover {};

}  // namespace ostrelo
