#pragma once

#include "tools/script/ScriptCommand.h"

namespace script {

// The commands every screen has: set-up, `start`, input, output (ScriptCommands.cpp).
const ScriptCommands& commonCommands();
// The kinds of `expect` every screen has (ScriptExpectations.cpp).
const ScriptCommands& commonExpectations();

}  // namespace script
