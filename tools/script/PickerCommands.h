#pragma once

#include "tools/script/ScriptCommand.h"

namespace script {

// The currency pickers of the screens that have them (the outlets convertFromPicker and
// convertToPicker): `pick`, `hold-picker` (PickerCommands.cpp).
const ScriptCommands& pickerCommands();
// `expect picker`.
const ScriptCommands& pickerExpectations();

}  // namespace script
