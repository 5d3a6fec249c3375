#pragma once

#include "screens/FunctionsPopoverDelegate.h"

#include <string>

namespace ostrelo {

class CalculatorButton;

// The expanded calculator as its Functions popover sees it: a key handler to hand a key's text
// to, and keys to give their full opacity back when the popover goes.
class MessagesExpandedViewControllerDelegate : public FunctionsPopoverDelegate {
public:
    virtual void handleKeyPressExpanded(CalculatorButton* button, bool longPress, const std::string& key) = 0;
};

}  // namespace ostrelo
