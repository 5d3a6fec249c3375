#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/TimeZone.h"

#include <memory>
#include <optional>
#include <string>

namespace foundation {

// The phone's date formatter over ICU: a date pattern in the Unicode pattern syntax
// ("d.M.y", "d.M.y G", "EEEE"), a locale for names (weekdays, eras) and a time zone.
//
// Always the Gregorian calendar (Julian before 15 October 1582, eras "BC" and "AD" in
// English) and Latin digits 0-9, whatever the locale would prefer.
//
// Parsing is strict: the whole text must be read by the pattern, an impossible date
// (29.2.2023, 32.1.2020, 1.13.2020, a day of the ten October 1582 skipped by the change
// to the Gregorian calendar) is none, digits other than 0-9 are none, white space only
// stands where the pattern has it. A year of exactly two digits under "y" or "yy" falls
// into the hundred years that begin at the two-digit start date (80 years before the
// formatter was made, unless set).
//
// Made with the current locale, the system's time zone and an empty pattern. Never throws:
// a pattern ICU cannot read is logged and then formats "" and parses none.
class DateFormatter {
public:
    DateFormatter();
    ~DateFormatter();
    DateFormatter(DateFormatter&&) noexcept;
    DateFormatter& operator=(DateFormatter&&) noexcept;
    DateFormatter(const DateFormatter&) = delete;
    DateFormatter& operator=(const DateFormatter&) = delete;

    // Any locale identifier, also the unusual "en_En" and "de_De": a region ICU does not
    // know is dropped, so "en_En" is English and "de_De" German (Germany).
    void setLocaleIdentifier(const std::string& identifier);
    // The identifier ICU works with ("en", "de_DE").
    std::string localeIdentifier() const;
    void setTimeZone(const TimeZone& timeZone);
    const TimeZone& timeZone() const;
    void setDateFormat(const std::string& pattern);
    const std::string& dateFormat() const;
    void setTwoDigitStartDate(Date date);

    // "" for a date that is not finite or beyond the calendar's range.
    std::string stringFromDate(Date date) const;
    std::optional<Date> dateFromString(const std::string& text) const;

    // The identifier ICU is given for a locale identifier: language, script and a region
    // ICU knows ("en_En" -> "en", "de_De" -> "de_DE", "en-US" -> "en_US").
    static std::string validLocaleIdentifier(const std::string& identifier);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace foundation
