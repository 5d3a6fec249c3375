#pragma once

#include <chrono>
#include <functional>

namespace foundation {

// The wall clock: the present moment for dates ("today", the current year).
// Tests pin it. This is not the run loop's time base, which keeps its own clock.
class Clock {
public:
    using TimePoint = std::chrono::system_clock::time_point;
    using Source = std::function<TimePoint()>;

    // The present moment: the system clock, or the pinned source.
    static TimePoint now();

    // Pins the clock for the whole process; an empty source restores the system clock.
    static void replaceSource(Source source);
    // Pins the clock at one moment.
    static void pinAt(TimePoint moment);
};

}  // namespace foundation
