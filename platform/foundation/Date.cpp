#include "platform/foundation/Date.h"

#include <cmath>

namespace foundation {

Date Date::fromTimePoint(std::chrono::system_clock::time_point timePoint) noexcept {
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::duration<double>>(timePoint.time_since_epoch());
    return Date(sinceEpoch.count());
}

bool Date::isValid() const noexcept { return std::isfinite(seconds_); }

}  // namespace foundation
