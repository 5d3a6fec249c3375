#pragma once

#include <cstdint>
#include <optional>

namespace ostrelo {

// The state a key shows: whether "=" can complete the calculation, and whether
// the memory register holds lines. Raw values are fixed.
enum class ButtonState : std::uint8_t {
    success = 0,         // "=" can be used
    error = 1,           // "=" cannot complete the calculation
    memoryNotEmpty = 2,  // the memory register holds lines
    memoryEmpty = 3,     // the memory register is empty
};

// The case of a raw value; none for anything outside 0...3.
constexpr std::optional<ButtonState> buttonStateFromRawValue(std::int64_t rawValue) {
    if (rawValue < 0 || rawValue > 3) return std::nullopt;
    return static_cast<ButtonState>(rawValue);
}

constexpr std::uint8_t rawValue(ButtonState state) { return static_cast<std::uint8_t>(state); }

}  // namespace ostrelo
