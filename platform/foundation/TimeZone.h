#pragma once

#include <memory>
#include <optional>
#include <string>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class TimeZone;
U_NAMESPACE_END

namespace foundation {

// A time zone for DateFormatter and Calendar, found by name: an identifier ("Europe/Berlin",
// "UTC"), an abbreviation ICU knows ("GMT", "CET") or a fixed offset from GMT ("GMT+0:00",
// "GMT-5", "GMT+05:30"). An immutable value; copies share the zone.
class TimeZone {
public:
    // None for a name that is no time zone.
    static std::optional<TimeZone> named(const std::string& name);
    static TimeZone utc();
    // The system's zone (TZ), as the phone's formatters and calendars start out.
    static TimeZone current();

    // The zone's identifier as ICU writes it ("GMT", "Europe/Berlin").
    std::string identifier() const;
    // Offset from GMT in seconds, without daylight saving time.
    int rawOffsetSeconds() const;

    const icu::TimeZone& icuTimeZone() const { return *zone_; }

private:
    explicit TimeZone(std::shared_ptr<const icu::TimeZone> zone) : zone_(std::move(zone)) {}
    std::shared_ptr<const icu::TimeZone> zone_;
};

}  // namespace foundation
