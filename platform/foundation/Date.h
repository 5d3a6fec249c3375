#pragma once

#include <chrono>
#include <compare>

namespace foundation {

// A point in time as the phone keeps it: seconds since 1 January 1970 00:00 UTC, as a
// double (fractions of a second and dates far before or after 1970 alike). A plain value:
// it knows nothing of calendars, time zones or texts; DateFormatter and Calendar give it
// a day, a year or a weekday.
class Date {
public:
    constexpr Date() noexcept = default;
    constexpr explicit Date(double secondsSince1970) noexcept : seconds_(secondsSince1970) {}

    static Date fromTimePoint(std::chrono::system_clock::time_point timePoint) noexcept;

    constexpr double timeIntervalSince1970() const noexcept { return seconds_; }
    constexpr Date addingTimeInterval(double seconds) const noexcept { return Date(seconds_ + seconds); }
    // False for NaN and the infinities: such a value is no point in time.
    bool isValid() const noexcept;

    friend constexpr bool operator==(Date, Date) noexcept = default;
    friend constexpr std::partial_ordering operator<=>(Date a, Date b) noexcept { return a.seconds_ <=> b.seconds_; }

private:
    double seconds_ = 0.0;
};

}  // namespace foundation
