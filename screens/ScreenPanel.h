#pragma once

namespace ostrelo {

// The secondary screens a calculator screen can open over its keypad.
enum class ScreenPanel { memory, functions, settings };

}  // namespace ostrelo
