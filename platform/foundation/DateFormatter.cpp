#include "platform/foundation/DateFormatter.h"

#include "platform/foundation/Log.h"

#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/region.h>
#include <unicode/smpdtfmt.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>

namespace foundation {

namespace {

constexpr double millisecondsPerSecond = 1000.0;
// Earlier than any instant ICU's calendars carry: a calendar with this change date is
// Gregorian throughout.
constexpr UDate alwaysGregorian = -1.9e17;

std::string utf8(const icu::UnicodeString& text) {
    std::string result;
    text.toUTF8String(result);
    return result;
}

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The literal characters that end a pattern outside quotes ("." of "d.M."). ICU lets a
// parse stop before them; a strict parse wants them in the text.
std::string trailingLiteral(const std::string& pattern) {
    std::size_t start = pattern.size();
    while (start > 0 && !isAsciiLetter(pattern[start - 1]) && pattern[start - 1] != '\'') --start;
    return pattern.substr(start);
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Digits of other scripts (Arabic-Indic, Devanagari, full width ...), which ICU would read.
bool hasNonLatinDigits(const icu::UnicodeString& text) {
    for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        const UChar32 c = text.char32At(i);
        if (u_isdigit(c) && (c < '0' || c > '9')) return true;
    }
    return false;
}

bool isWhiteSpaceAt(const icu::UnicodeString& text, int32_t index) { return u_isUWhiteSpace(text.char32At(index)); }

}  // namespace

class DateFormatter::Impl {
public:
    Impl() : localeIdentifier(validLocaleIdentifier(icu::Locale::getDefault().getName())), timeZone(TimeZone::current()) {
        rebuild();
    }

    void rebuild() {
        format.reset();
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale locale(localeIdentifier.c_str());
        locale.setKeywordValue("numbers", "latn", status);
        locale.setKeywordValue("calendar", "gregorian", status);
        status = U_ZERO_ERROR;
        auto made = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString::fromUTF8(pattern), locale, status);
        if (U_FAILURE(status)) {
            Log::warning("date pattern \"" + pattern + "\" not usable: " + u_errorName(status));
            return;
        }
        status = U_ZERO_ERROR;
        auto calendar = std::make_unique<icu::GregorianCalendar>(timeZone.icuTimeZone(), locale, status);
        if (U_FAILURE(status)) {
            Log::warning(std::string("no Gregorian calendar for the date formatter: ") + u_errorName(status));
            return;
        }
        made->adoptCalendar(calendar.release());
        made->setLenient(false);
        if (twoDigitStartDate) {
            status = U_ZERO_ERROR;
            made->set2DigitYearStart(twoDigitStartDate->timeIntervalSince1970() * millisecondsPerSecond, status);
        }
        format = std::move(made);
    }

    // True when a parsed date is one of the days that the hybrid calendar only reaches by
    // reading a skipped day (5 to 14 October 1582) as the Julian day ten days on.
    bool isSkippedDay(const icu::UnicodeString& text, UDate parsed) const {
        std::unique_ptr<icu::Calendar> calendar(format->getCalendar()->clone());
        UErrorCode status = U_ZERO_ERROR;
        calendar->setTime(parsed, status);
        const int year = calendar->get(UCAL_EXTENDED_YEAR, status);
        const int month = calendar->get(UCAL_MONTH, status);
        const int day = calendar->get(UCAL_DATE, status);
        if (U_FAILURE(status) || year != 1582 || month != UCAL_OCTOBER || day < 15 || day > 24) return false;
        // Those days read the same in the purely Gregorian calendar, unless the text named a skipped day.
        std::unique_ptr<icu::SimpleDateFormat> gregorian(format->clone());
        auto* proleptic = static_cast<icu::GregorianCalendar*>(calendar->clone());
        proleptic->setGregorianChange(alwaysGregorian, status);
        gregorian->adoptCalendar(proleptic);
        icu::ParsePosition position(0);
        const UDate again = gregorian->parse(text, position);
        return U_FAILURE(status) || position.getIndex() != text.length() || again != parsed;
    }

    std::string localeIdentifier;
    TimeZone timeZone;
    std::string pattern;
    std::optional<Date> twoDigitStartDate;
    std::unique_ptr<icu::SimpleDateFormat> format;
};

DateFormatter::DateFormatter() : impl_(std::make_unique<Impl>()) {}
DateFormatter::~DateFormatter() = default;
DateFormatter::DateFormatter(DateFormatter&&) noexcept = default;
DateFormatter& DateFormatter::operator=(DateFormatter&&) noexcept = default;

std::string DateFormatter::validLocaleIdentifier(const std::string& identifier) {
    std::string name = identifier;
    std::replace(name.begin(), name.end(), '-', '_');
    const icu::Locale given(name.c_str());
    if (given.isBogus()) return "";
    std::string result = given.getLanguage();
    if (*given.getScript() != '\0') result += std::string("_") + given.getScript();
    UErrorCode status = U_ZERO_ERROR;
    if (*given.getCountry() != '\0' && icu::Region::getInstance(given.getCountry(), status) != nullptr &&
        U_SUCCESS(status)) {
        result += std::string("_") + given.getCountry();
    }
    return result;
}

void DateFormatter::setLocaleIdentifier(const std::string& identifier) {
    impl_->localeIdentifier = validLocaleIdentifier(identifier);
    impl_->rebuild();
}

std::string DateFormatter::localeIdentifier() const { return impl_->localeIdentifier; }

void DateFormatter::setTimeZone(const TimeZone& timeZone) {
    impl_->timeZone = timeZone;
    impl_->rebuild();
}

const TimeZone& DateFormatter::timeZone() const { return impl_->timeZone; }

void DateFormatter::setDateFormat(const std::string& pattern) {
    impl_->pattern = pattern;
    impl_->rebuild();
}

const std::string& DateFormatter::dateFormat() const { return impl_->pattern; }

void DateFormatter::setTwoDigitStartDate(Date date) {
    if (!date.isValid()) return;
    impl_->twoDigitStartDate = date;
    impl_->rebuild();
}

std::string DateFormatter::stringFromDate(Date date) const {
    if (!impl_->format || !date.isValid()) return "";
    std::unique_ptr<icu::Calendar> calendar(impl_->format->getCalendar()->clone());
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(date.timeIntervalSince1970() * millisecondsPerSecond, status);
    if (U_FAILURE(status)) return "";
    icu::UnicodeString text;
    icu::FieldPosition position;
    impl_->format->format(*calendar, text, position);
    return utf8(text);
}

std::optional<Date> DateFormatter::dateFromString(const std::string& text) const {
    if (!impl_->format || text.empty()) return std::nullopt;
    const icu::UnicodeString utext = icu::UnicodeString::fromUTF8(text);
    if (hasNonLatinDigits(utext)) return std::nullopt;
    const icu::UnicodeString upattern = icu::UnicodeString::fromUTF8(impl_->pattern);
    // ICU skips white space before a number; here it stands only where the pattern has it.
    if (isWhiteSpaceAt(utext, 0) && (upattern.isEmpty() || !isWhiteSpaceAt(upattern, 0))) return std::nullopt;
    if (!endsWith(text, trailingLiteral(impl_->pattern))) return std::nullopt;
    icu::ParsePosition position(0);
    const UDate parsed = impl_->format->parse(utext, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != utext.length() || !std::isfinite(parsed)) {
        return std::nullopt;
    }
    if (impl_->isSkippedDay(utext, parsed)) return std::nullopt;
    return Date(parsed / millisecondsPerSecond);
}

}  // namespace foundation
