#pragma once

#include "platform/foundation/Calendar.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/TimeZone.h"

#include <optional>
#include <string>

namespace datetests {

inline foundation::TimeZone gmt() { return *foundation::TimeZone::named("GMT+0:00"); }

// A formatter as the date calculator makes them: fixed locale, pattern, GMT.
inline foundation::DateFormatter formatter(const std::string& pattern, const std::string& locale = "en_En") {
    foundation::DateFormatter result;
    result.setLocaleIdentifier(locale);
    result.setDateFormat(pattern);
    result.setTimeZone(gmt());
    return result;
}

inline std::optional<foundation::Date> parse(const std::string& text, const std::string& pattern = "d.M.y") {
    return formatter(pattern).dateFromString(text);
}

inline std::string format(std::optional<foundation::Date> date, const std::string& pattern = "d.M.y",
                          const std::string& locale = "en_En") {
    return date ? formatter(pattern, locale).stringFromDate(*date) : "none";
}

inline foundation::Calendar calendar(foundation::Calendar::Identifier identifier) {
    foundation::Calendar result(identifier);
    result.setTimeZone(gmt());
    return result;
}

// "d.M.y" text of the date the given number of days from a "d.M.y" text, or "none".
inline std::string addDays(const std::string& text, long long days) {
    const auto date = parse(text);
    if (!date) return "no date";
    return format(calendar(foundation::Calendar::Identifier::gregorian).dateByAddingDays(days, *date));
}

}  // namespace datetests
