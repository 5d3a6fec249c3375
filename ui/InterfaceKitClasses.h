#pragma once

namespace ostrelo {

// Makes the kit's views known to scenes under their class names ("CalculatorButton",
// "CalculatorView", ...), so interface files can place them and set their "type", "color" and
// "elements". Safe to call more than once.
void registerInterfaceKitClasses();

}  // namespace ostrelo
