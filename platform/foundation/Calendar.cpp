#include "platform/foundation/Calendar.h"


#include <unicode/gregocal.h>
#include <unicode/locid.h>

#include <cmath>
#include <limits>

namespace foundation {

namespace {

constexpr double millisecondsPerSecond = 1000.0;

// A calendar that is Gregorian whatever calendar keyword the default locale carries.
std::unique_ptr<icu::GregorianCalendar> makeCalendar(Calendar::Identifier identifier, const TimeZone& zone) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale locale = icu::Locale::getDefault();
    locale.setKeywordValue("calendar", "gregorian", status);
    status = U_ZERO_ERROR;
    auto calendar = std::make_unique<icu::GregorianCalendar>(zone.icuTimeZone(), locale, status);
    if (U_FAILURE(status)) {
        // Without locale data ICU still gives a calendar for the root locale.
        status = U_ZERO_ERROR;
        calendar = std::make_unique<icu::GregorianCalendar>(zone.icuTimeZone(), icu::Locale::getRoot(), status);
    }
    if (identifier == Calendar::Identifier::iso8601) {
        calendar->setFirstDayOfWeek(UCAL_MONDAY);
        calendar->setMinimalDaysInFirstWeek(4);
    }
    // Out-of-range times are refused, not pinned to the last representable instant.
    calendar->setLenient(false);
    return calendar;
}

std::unique_ptr<icu::GregorianCalendar> cloneOf(const icu::GregorianCalendar& calendar) {
    return std::unique_ptr<icu::GregorianCalendar>(calendar.clone());
}

}  // namespace

Calendar::Calendar(Identifier identifier)
    : identifier_(identifier), timeZone_(TimeZone::current()), calendar_(makeCalendar(identifier, timeZone_)) {}

Calendar Calendar::current() { return Calendar(Identifier::gregorian); }

Calendar::Calendar(const Calendar& other)
    : identifier_(other.identifier_), timeZone_(other.timeZone_), calendar_(cloneOf(*other.calendar_)) {}

Calendar& Calendar::operator=(const Calendar& other) {
    if (this != &other) {
        identifier_ = other.identifier_;
        timeZone_ = other.timeZone_;
        calendar_ = cloneOf(*other.calendar_);
    }
    return *this;
}

Calendar::Calendar(Calendar&&) noexcept = default;
Calendar& Calendar::operator=(Calendar&&) noexcept = default;
Calendar::~Calendar() = default;

void Calendar::setTimeZone(const TimeZone& timeZone) {
    timeZone_ = timeZone;
    calendar_->setTimeZone(timeZone.icuTimeZone());
}

int Calendar::firstWeekday() const { return static_cast<int>(calendar_->getFirstDayOfWeek()); }

int Calendar::minimumDaysInFirstWeek() const { return calendar_->getMinimalDaysInFirstWeek(); }

std::optional<Date> Calendar::dateByAddingDays(std::int64_t days, Date date) const {
    if (!date.isValid()) return std::nullopt;
    // ICU adds at most 2^31 - 1 days at a time and covers less than 2^32 days in all: a larger
    // count never lands inside the range, a smaller one is added in at most two steps, each
    // inside the range when the result is.
    constexpr std::int64_t step = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t reach = 2 * step;
    if (days > reach || days < -reach) return std::nullopt;
    auto calendar = cloneOf(*calendar_);
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(date.timeIntervalSince1970() * millisecondsPerSecond, status);
    std::int64_t left = days;
    while (U_SUCCESS(status) && left != 0) {
        const std::int64_t now = left > step ? step : (left < -step ? -step : left);
        calendar->add(UCAL_DATE, static_cast<std::int32_t>(now), status);
        left -= now;
    }
    if (U_FAILURE(status)) return std::nullopt;
    const UDate result = calendar->getTime(status);
    if (U_FAILURE(status) || !std::isfinite(result)) return std::nullopt;
    return Date(result / millisecondsPerSecond);
}

std::optional<int> Calendar::field(Date date, int which) const {
    if (!date.isValid()) return std::nullopt;
    auto calendar = cloneOf(*calendar_);
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(date.timeIntervalSince1970() * millisecondsPerSecond, status);
    const int value = calendar->get(static_cast<UCalendarDateFields>(which), status);
    if (U_FAILURE(status)) return std::nullopt;
    return value;
}

std::optional<int> Calendar::year(Date date) const { return field(date, UCAL_YEAR); }
std::optional<int> Calendar::era(Date date) const { return field(date, UCAL_ERA); }
std::optional<int> Calendar::weekOfYear(Date date) const { return field(date, UCAL_WEEK_OF_YEAR); }
std::optional<int> Calendar::weekday(Date date) const { return field(date, UCAL_DAY_OF_WEEK); }

}  // namespace foundation
