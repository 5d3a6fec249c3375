// The date calculator: a date typed as day.month with the separator key pressed a second
// time, then the year digits; plus or minus a number of days, or the weekday and calendar
// week of a single date. Also the date-mode branches of number entry, operator entry, the
// clear keys and the reload.
//
// The calculation stack holds the date entry: line 1 the date as one number (the day as its
// integer part, the month digits and then the year digits as its fraction digits, with
// `dateDigits` saying how many digits day and month take), line 2 the operator "+" or "−",
// line 3 the number of days. Every date text is derived from these lines afresh; nothing of
// the previous texts is reused. Date texts are made and read in English ("en_En") and UTC
// ("GMT+0:00") whatever the user's locale; only the unit, weekday and week label follow
// the language.

#include "engine/Calculator.h"

#include "engine/LineFormatter.h"
#include "engine/SharedSettings.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/Characters.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/NumberFormatter.h"
#include "platform/foundation/TimeZone.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace ostrelo {

namespace {

using foundation::Characters;

constexpr const char* kDateTimeZone = "GMT+0:00";

std::optional<foundation::TimeZone> dateTimeZone() { return foundation::TimeZone::named(kDateTimeZone); }

foundation::DateFormatter dateFormatter(const std::string& pattern, const std::string& locale = "en_En") {
    foundation::DateFormatter formatter;
    formatter.setLocaleIdentifier(locale);
    if (auto zone = dateTimeZone()) formatter.setTimeZone(*zone);
    formatter.setDateFormat(pattern);
    return formatter;
}

std::optional<foundation::Date> parseDate(const std::string& text) { return dateFormatter("d.M.y").dateFromString(text); }

foundation::Date presentMoment() { return foundation::Date::fromTimePoint(foundation::Clock::now()); }

bool germanLanguage() { return foundation::Locale::languageCode() == "de"; }

std::string dayUnit(double count) {
    if (germanLanguage()) return count == 1.0 ? " Tag" : " Tage";
    return count == 1.0 ? " day" : " days";
}

// A whole text of decimal digits (an optional "-" in front) as an integer; none otherwise.
std::optional<std::int64_t> strictInteger(const std::string& text) {
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::int64_t integerOrZero(const std::string& text) { return strictInteger(text).value_or(0); }

bool allDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A whole text of plain decimal digits with one "." as a finite number; none otherwise.
std::optional<double> plainDecimal(const std::string& text) {
    if (text.empty()) return std::nullopt;
    for (char c : text) {
        if ((c < '0' || c > '9') && c != '.') return std::nullopt;
    }
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// a − b as a length: 0 when negative, and no overflow for stored values far out of range.
std::size_t lengthBetween(std::int64_t a, std::int64_t b, std::size_t available) {
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(a, b, &difference)) {
        return b < 0 ? available : 0;
    }
    if (difference <= 0) return 0;
    return static_cast<std::size_t>(difference) < available ? static_cast<std::size_t>(difference) : available;
}

// The day count of a line as whole days; none when it is no finite number inside the
// 64-bit range.
std::optional<std::int64_t> wholeDays(double number) {
    if (!std::isfinite(number)) return std::nullopt;
    const double whole = std::trunc(number);
    constexpr double lowest = -9223372036854775808.0;  // -2^63
    if (whole < lowest || whole >= -lowest) return std::nullopt;
    return static_cast<std::int64_t>(whole);
}

// Day and month of a typed day.month pair; February may have 29 days (the year is open).
bool isDayOfMonth(std::int64_t day, std::int64_t month) {
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    if (month == 4 || month == 6 || month == 9 || month == 11) return day <= 30;
    if (month == 2) return day <= 29;
    return true;
}

// A line as typed, in the user's locale but with Latin digits: the date texts are English
// ones, so their digits are of one script whatever the locale writes ("7.12.2026 + 5 days").
std::string typedText(const CalculatorLine& line) {
    const std::string text = LineFormatter::formatLine(line.item, line.type, line.digits, line.separator, line.fraction,
                                                       0, line.number, false, true, false);
    return foundation::NumberFormatter().latinDigits(text);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Reading the date entry

Calculator::DateReading Calculator::readDateLine() const {
    DateReading reading;
    if (ostrelo_.items.empty()) return reading;
    const CalculatorLine& line = ostrelo_.items.front();

    // Day and month: the number as typed, "." as separator, no grouping.
    const std::string plain = LineFormatter::formatLine(line.item, line.type, line.digits, line.separator,
                                                        line.fraction, 0, line.number, false, false, true);
    const std::size_t dot = plain.find('.');
    const std::string dayText = dot == std::string::npos ? std::string() : plain.substr(0, dot);
    const std::string afterDot = dot == std::string::npos ? std::string() : plain.substr(dot + 1);
    const auto dayLength = static_cast<std::int64_t>(Characters::utf16Length(dayText));
    reading.monthDigits =
        Characters::prefix(afterDot, lengthBetween(dateDigits_, dayLength, Characters::count(afterDot)));
    reading.day = integerOrZero(dayText);
    reading.month = integerOrZero(reading.monthDigits);
    reading.dateString = std::to_string(reading.day) + "." + std::to_string(reading.month) + ".";

    // Year: the digits after day and month, from the line's text in the user's locale.
    const std::string shown = dateLineText(0);
    reading.yearDigits = Characters::suffix(shown, lengthBetween(line.digits, dateDigits_, Characters::count(shown)));
    reading.fullDateText = reading.dateString + reading.yearDigits;
    return reading;
}

std::string Calculator::dateLineText(std::size_t index) const {
    if (index >= ostrelo_.items.size()) return "";
    const CalculatorLine& line = ostrelo_.items[index];
    return typedText(line);
}

void Calculator::completeYearOfFirstLine() {
    if (ostrelo_.items.empty()) return;
    const DateReading reading = readDateLine();
    if (!reading.yearDigits.empty()) return;

    // The month keeps the digits as typed ("03"), so that day and month still take
    // `dateDigits` digits and the year follows them.
    const std::string year = dateFormatter("y").stringFromDate(presentMoment());
    const std::string day = std::to_string(reading.day);
    const std::string month = allDigits(reading.monthDigits) ? reading.monthDigits : std::to_string(reading.month);
    const double number = plainDecimal(day + "." + month + year).value_or(0.0);

    auto removed = ostrelo_.removeFirstLine();
    if (!removed) return;
    ostrelo_.insertFirstLine(removed->item, removed->type,
                             static_cast<std::int64_t>(Characters::count(day + month + year)), removed->separator,
                             static_cast<std::int64_t>(Characters::count(month + year)), removed->parentheses, number);
    if (ostrelo_.items.size() == 1) ostreloLine_ = ostrelo_.items.front();
}

std::optional<std::string> Calculator::shiftedDateText(const DateReading& reading) const {
    if (ostrelo_.items.size() < 3) return std::nullopt;
    auto date = parseDate(reading.fullDateText);
    if (!date) return std::nullopt;
    auto days = wholeDays(ostrelo_.items[2].number);
    if (!days) return std::nullopt;
    if (ostrelo_.items[1].item != "+") {
        if (*days == std::numeric_limits<std::int64_t>::min()) return std::nullopt;
        days = -*days;
    }
    foundation::Calendar calendar = foundation::Calendar::current();
    if (auto zone = dateTimeZone()) calendar.setTimeZone(*zone);
    auto shifted = calendar.dateByAddingDays(*days, *date);
    if (!shifted) return std::nullopt;
    std::string text = dateFormatter("d.M.y").stringFromDate(*shifted);
    if (text.empty()) return std::nullopt;
    const std::string withEra = dateFormatter("d.M.y G").stringFromDate(*shifted);
    if (withEra.size() >= 2 && withEra.ends_with("BC")) text += " BC";
    return text;
}

// The texts of a date entry of one, two or three lines, as every date-mode key leaves them.
void Calculator::rebuildDateTexts() {
    const std::size_t lines = ostrelo_.items.size();
    if (lines < 1 || lines > 3) return;
    const DateReading reading = readDateLine();
    dateString_ = reading.dateString;
    dateError_ = true;
    dateResultString_.clear();
    if (lines == 1) {
        dateCompleteString_ = reading.fullDateText;
        if (parseDate(reading.fullDateText)) dateError_ = false;
        return;
    }
    dateCompleteString_ = reading.fullDateText + " " + dateLineText(1);
    if (lines == 2) return;
    dateCompleteString_ += " " + dateLineText(2) + dayUnit(ostrelo_.items[2].number);
    if (auto shifted = shiftedDateText(reading)) {
        dateResultString_ = *shifted;
        dateError_ = false;
    }
}

// ---------------------------------------------------------------------------------------
// Starting and finishing a date calculation

std::string Calculator::evaluateDateEntry() {
    const StoreCommit operation(*this);
    const auto separator = localeDecimalSeparator();
    // In date mode the first line already is a date: the key is an ordinary (refused) separator.
    if (!dateCalculator_ && ostrelo_.lineCount() == 1 && ostreloLine_.type == "N") {
        const CalculatorLine& line = ostreloLine_;
        if (line.fraction >= 1) {
            if (line.fraction <= 2 && line.digits <= line.fraction + 2) {
                const std::string shown = typedText(line);
                std::size_t p = 0;
                if (separator) {
                    const auto first = Characters::split(*separator);
                    const std::size_t at = first.empty() ? std::string::npos : shown.find(first.front());
                    if (at != std::string::npos) p = Characters::utf16Length(shown.substr(0, at));
                }
                const auto day = strictInteger(Characters::prefix(shown, p));
                const auto month = strictInteger(Characters::suffix(
                    shown, lengthBetween(line.digits, static_cast<std::int64_t>(p), Characters::count(shown))));
                if (day && month && isDayOfMonth(*day, *month)) {
                    dateString_ = std::to_string(*day) + "." + std::to_string(*month) + ".";
                    dateCompleteString_ = dateString_;
                    dateDigits_ = line.digits;
                    dateCalculator_ = true;
                    dateError_ = true;
                    storeDateMode(true, dateDigits_);
                    updatePrimaryString();
                    return dateString_;
                }
            }
        } else if (line.separator && line.number == 0.0) {
            // "0." and the separator again: today's date, as the day is in UTC.
            const foundation::Date now = presentMoment();
            const std::string today = dateFormatter("d.My").stringFromDate(now);
            const double value = plainDecimal(today).value_or(0.0);
            if (value > 0) {
                ostrelo_.popLine();
                ostreloLine_.number = value;
                ostreloLine_.digits = static_cast<std::int64_t>(Characters::count(today)) - 1;
                ostreloLine_.fraction =
                    static_cast<std::int64_t>(Characters::count(dateFormatter("My").stringFromDate(now)));
                ostreloLine_.item = today;
                ostreloLine_.separator = true;
                ostreloLine_.type = "N";
                pushCurrentLine();
                dateDigits_ = static_cast<std::int64_t>(Characters::count(dateFormatter("dM").stringFromDate(now)));
                dateCalculator_ = true;
                dateString_ = dateFormatter("d.M.").stringFromDate(now);
                storeDateMode(true, dateDigits_);
                rebuildDateTexts();
                updatePrimaryString();
            }
        }
    }
    if (separator) {
        enterDigit(*separator);
    } else {
        updatePrimaryString();
    }
    return "";
}

void Calculator::calculateDate() {
    const StoreCommit operation(*this);
    const std::size_t lines = ostrelo_.items.size();
    if (lines >= 1 && lines <= 3) {
        if (lines == 1) {
            dateError_ = true;
            dateResultString_.clear();
            dateCompleteString_.clear();
            completeYearOfFirstLine();
        }
        const DateReading reading = readDateLine();
        dateString_ = reading.dateString;
        if (lines == 3) {
            dateResultString_ = reading.fullDateText + " " + dateLineText(1) + " " + dateLineText(2) +
                               dayUnit(ostrelo_.items[2].number);
            auto shifted = shiftedDateText(reading);
            dateCompleteString_ = shifted ? *shifted : "ERROR";
            dateResultString_ += " = " + dateCompleteString_;
        } else if (lines == 2) {
            dateResultString_ = reading.fullDateText + " " + dateLineText(1) + " = ERROR";
            dateCompleteString_ = "ERROR";
        } else {
            auto date = parseDate(reading.fullDateText);
            std::optional<int> week;
            if (date) {
                foundation::Calendar iso(foundation::Calendar::Identifier::iso8601);
                if (auto zone = dateTimeZone()) iso.setTimeZone(*zone);
                week = iso.weekOfYear(*date);
            }
            if (!date || !week) {
                dateCompleteString_ = "ERROR";
                dateResultString_ = reading.fullDateText + " = ERROR";
            } else {
                const bool german = germanLanguage();
                const std::string weekday = dateFormatter("EEEE", german ? "de_De" : "en_En").stringFromDate(*date);
                char number[16];
                std::snprintf(number, sizeof number, "%02d", *week);
                dateCompleteString_ = weekday + " (" + (german ? "KW" : "CW") + number + ")";
                dateError_ = false;
                dateResultString_ = reading.fullDateText + " = " + dateCompleteString_;
            }
        }
    }
    dateError_ = false;
    updatePrimaryString();
    endDateMode(true);
    buttonClearAllText_ = "AC";
}

// ---------------------------------------------------------------------------------------
// Date-mode branches of the keys and the reload

void Calculator::enterDigitInDateMode(const std::string& key) {
    std::int64_t lines = ostrelo_.lineCount();
    if (lines == 0 || lines > 3) return;
    // The number of days is a whole number: once the operator is there, no separator.
    const auto separator = localeDecimalSeparator();
    const bool separatorKey = separator && key == *separator;
    const CalculatorLine before = ostreloLine_;
    if (!(separatorKey && lines >= 2)) applyDigitByLineType(key);
    // Today's date is the line's text (its item), from which the year digits are read: a
    // year digit typed after it goes into that text as well, so the year is the one typed.
    if (lines == 1 && ostrelo_.lineCount() == 1 && before.type == "N" && !before.item.empty() && !separatorKey &&
        ostreloLine_.item == before.item && ostreloLine_.digits == before.digits + 1) {
        ostrelo_.popLine();
        ostreloLine_.item += key;
        pushCurrentLine();
    }
    rebuildDateTexts();
    updatePrimaryString();
}

void Calculator::inputOperatorInDateMode(const std::string& op) {
    dateError_ = true;
    std::int64_t lines = ostrelo_.lineCount();
    if (lines == 1) {
        // The date alone: the operator is appended and the year completed; then the date
        // and its operator go through the two-line step as well.
        applyOperatorTokenRule(op);
        completeYearOfFirstLine();
        rebuildDateTexts();
        updatePrimaryString();
        lines = ostrelo_.lineCount();
    }
    if (lines != 2) return;  // exactly one "+" or "−" follows the date
    applyOperatorTokenRule(op);  // "+" and "−" replace each other
    rebuildDateTexts();
    updatePrimaryString();
}

void Calculator::clearEntryDateStep() {
    std::int64_t lines = ostrelo_.lineCount();
    if (lines == 1 && (ostrelo_.items.front().digits <= dateDigits_ || ostreloLine_.type == "R")) {
        endDateMode(true);
        return;
    }
    if (lines >= 1 && lines <= 3) rebuildDateTexts();
}

// Trusts the stored mode, derives every date text from the stored lines again and ends
// date mode when the lines no longer form a date entry.
void Calculator::reloadDateTexts() {
    const std::size_t lines = ostrelo_.items.size();
    if (lines < 1 || lines > 3) return;
    const CalculatorLine& first = ostrelo_.items.front();
    if (first.number == 0.0 || first.digits < dateDigits_ || !first.separator || first.type != "N") {
        endDateMode(false);
        return;
    }
    DateReading reading = readDateLine();
    if (!isDayOfMonth(reading.day, reading.month)) {
        endDateMode(false);
        return;
    }
    dateString_ = reading.dateString;
    if (lines == 1) {
        dateCompleteString_ = reading.fullDateText;
        dateResultString_.clear();
        dateError_ = !parseDate(reading.fullDateText).has_value();
        return;
    }
    const CalculatorLine& op = ostrelo_.items[1];
    const bool plusOrMinus = op.type == "O" && (op.item == "+" || op.item == "−");
    if (lines == 2) {
        if (!plusOrMinus) {
            endDateMode(false);
            return;
        }
        completeYearOfFirstLine();
        reading = readDateLine();
        dateCompleteString_ = reading.fullDateText + " " + dateLineText(1);
        dateError_ = true;  // the number of days is still missing; the live result stays
        return;
    }
    const CalculatorLine& days = ostrelo_.items[2];
    if (days.fraction != 0 || days.type != "N" || days.separator || !plusOrMinus) {
        endDateMode(false);
        return;
    }
    dateCompleteString_ = reading.fullDateText + " " + dateLineText(1) + " " + dateLineText(2) + dayUnit(days.number);
    dateError_ = true;
    dateResultString_.clear();
    if (auto shifted = shiftedDateText(reading)) {
        dateResultString_ = *shifted;
        dateError_ = false;
    }
}

void Calculator::storeDateMode(bool mode, std::int64_t digits) {
    using foundation::PropertyListValue;
    if (unsaved()) return;  // written whole with the rest
    auto suite = SharedSettings::open();
    const PropertyListValue storedMode(mode);
    const PropertyListValue storedDigits(digits);
    if (suite->object(SharedSettings::dateCalculator) == storedMode &&
        suite->object(SharedSettings::dateDigits) == storedDigits)
        return;
    const bool stored = suite->performTransaction([&](foundation::UserDefaults::Transaction& t) {
        return t.set(SharedSettings::dateCalculator, storedMode) && t.set(SharedSettings::dateDigits, storedDigits);
    });
    if (!stored) dateModeOutOfStep_ = true;
}

void Calculator::endDateMode(bool keepDateString) {
    dateError_ = false;
    dateResultString_.clear();
    dateCompleteString_.clear();
    if (!keepDateString) dateString_.clear();
    dateCalculator_ = false;
    dateDigits_ = 0;
    storeDateMode(false, 0);
}

}  // namespace ostrelo
