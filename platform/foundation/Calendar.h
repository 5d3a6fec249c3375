#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/TimeZone.h"

#include <cstdint>
#include <memory>
#include <optional>

U_NAMESPACE_BEGIN
class GregorianCalendar;
U_NAMESPACE_END

namespace foundation {

// The phone's Gregorian calendar over ICU: Julian before 15 October 1582 (4 October 1582 is
// followed by 15 October), no year 0 (1 BC comes right before AD 1), eras BC (0) and AD (1).
// It is Gregorian whatever calendar the user's locale prefers.
//
// The identifier `gregorian` takes its first weekday and its minimal days in week 1 from the
// current locale; `iso8601` counts weeks as ISO 8601 does: weeks start on Monday and week 1
// is the week with at least four days of the new year (the one with its first Thursday).
//
// A new calendar has the system's time zone. Operations never throw: a date the calendar
// cannot carry (not finite, or beyond the roughly 5.8 million years ICU covers either side
// of 1970) gives none.
class Calendar {
public:
    enum class Identifier { gregorian, iso8601 };

    explicit Calendar(Identifier identifier);
    // The user's current calendar: Gregorian, with the current locale's week rules.
    static Calendar current();

    Calendar(const Calendar& other);
    Calendar& operator=(const Calendar& other);
    Calendar(Calendar&&) noexcept;
    Calendar& operator=(Calendar&&) noexcept;
    ~Calendar();

    Identifier identifier() const { return identifier_; }
    void setTimeZone(const TimeZone& timeZone);
    const TimeZone& timeZone() const { return timeZone_; }
    // 1 = Sunday ... 7 = Saturday.
    int firstWeekday() const;
    int minimumDaysInFirstWeek() const;

    // The date whole days later (earlier for a negative count), at the same wall-clock time
    // in the calendar's time zone. None when the result lies outside the calendar's range.
    std::optional<Date> dateByAddingDays(std::int64_t days, Date date) const;

    // The year within its era (1 BC is 1 with era 0) and the era: 0 BC, 1 AD.
    std::optional<int> year(Date date) const;
    std::optional<int> era(Date date) const;
    // The week of the year by this calendar's week rules (ISO weeks for iso8601).
    std::optional<int> weekOfYear(Date date) const;
    // 1 = Sunday, 2 = Monday, ... 7 = Saturday, whatever the first weekday.
    std::optional<int> weekday(Date date) const;

private:
    std::optional<int> field(Date date, int field) const;

    Identifier identifier_;
    TimeZone timeZone_;
    std::unique_ptr<icu::GregorianCalendar> calendar_;
};

}  // namespace foundation
