#include "tests/dates/DateTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <cmath>
#include <limits>

using foundation::Date;
using foundation::DateFormatter;
using foundation::TimeZone;
using namespace datetests;

namespace {

class DateFormatterTest : public testsupport::SuiteTest {};

constexpr double secondsPerDay = 86400.0;
// 24 December 2026, 00:00 UTC.
constexpr Date christmasEve2026(20811 * secondsPerDay);

TEST_F(DateFormatterTest, UnusualLocaleIdentifiersMeanEnglishAndGerman) {
    EXPECT_EQ(DateFormatter::validLocaleIdentifier("en_En"), "en");
    EXPECT_EQ(DateFormatter::validLocaleIdentifier("de_De"), "de_DE");
    EXPECT_EQ(DateFormatter::validLocaleIdentifier("de_DE"), "de_DE");
    EXPECT_EQ(DateFormatter::validLocaleIdentifier("en-US"), "en_US");
    EXPECT_EQ(DateFormatter::validLocaleIdentifier("sr_Latn_RS"), "sr_Latn_RS");
    EXPECT_EQ(DateFormatter::validLocaleIdentifier("es_419"), "es_419");
    EXPECT_EQ(DateFormatter::validLocaleIdentifier("th_TH@calendar=buddhist"), "th_TH");

    EXPECT_EQ(format(christmasEve2026, "EEEE", "en_En"), "Thursday");
    EXPECT_EQ(format(christmasEve2026, "EEEE", "de_De"), "Donnerstag");
    EXPECT_EQ(format(christmasEve2026, "d.M.y G", "en_En"), "24.12.2026 AD");
    // The weekday step in German, the whole week round.
    const char* german[] = {"Donnerstag", "Freitag", "Samstag", "Sonntag", "Montag", "Dienstag", "Mittwoch"};
    for (int day = 0; day < 7; ++day) {
        EXPECT_EQ(format(christmasEve2026.addingTimeInterval(day * secondsPerDay), "EEEE", "de_De"), german[day]);
    }
}

TEST_F(DateFormatterTest, FixedLocaleTextsDoNotFollowTheUsersLocale) {
    const Date dayBeforeAD = *parse("31.12.1 BC", "d.M.y G");
    for (const char* user : {"en_US", "de_DE", "fr_FR"}) {
        setLocale(user);
        EXPECT_EQ(format(dayBeforeAD, "d.M.y G"), "31.12.1 BC") << user;
        EXPECT_EQ(format(christmasEve2026, "d.M.y G"), "24.12.2026 AD") << user;
        EXPECT_EQ(format(christmasEve2026, "EEEE"), "Thursday") << user;
        EXPECT_EQ(format(christmasEve2026, "EEEE", "de_De"), "Donnerstag") << user;
        EXPECT_EQ(parse("24.12.2026"), christmasEve2026) << user;
    }
    // A new formatter starts out in the user's locale.
    setLocale("de_DE");
    DateFormatter plain;
    EXPECT_EQ(plain.localeIdentifier(), "de_DE");
    plain.setDateFormat("EEEE");
    plain.setTimeZone(gmt());
    EXPECT_EQ(plain.stringFromDate(christmasEve2026), "Donnerstag");
}

TEST_F(DateFormatterTest, TimeZonesByName) {
    const auto zero = TimeZone::named("GMT+0:00");
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->rawOffsetSeconds(), 0);
    EXPECT_EQ(TimeZone::named("GMT+5:30")->rawOffsetSeconds(), 19800);
    EXPECT_EQ(TimeZone::named("GMT-8")->rawOffsetSeconds(), -28800);
    EXPECT_EQ(TimeZone::named("Europe/Berlin")->rawOffsetSeconds(), 3600);
    EXPECT_EQ(TimeZone::utc().rawOffsetSeconds(), 0);
    EXPECT_FALSE(TimeZone::named("No/Such_Zone"));
    EXPECT_FALSE(TimeZone::named(""));

    // The same instant is another day in another zone: 7 December 2026, 23:30 UTC.
    const Date lateEvening(20794 * secondsPerDay + 23.5 * 3600);
    EXPECT_EQ(format(lateEvening, "d.M.y"), "7.12.2026");
    auto kiribati = formatter("d.M.y");
    kiribati.setTimeZone(*TimeZone::named("Pacific/Kiritimati"));
    EXPECT_EQ(kiribati.stringFromDate(lateEvening), "8.12.2026");
}

TEST_F(DateFormatterTest, ParsesTheEnteredDateAtMidnightInTheZone) {
    EXPECT_EQ(parse("24.12.2026"), christmasEve2026);
    EXPECT_EQ(parse("24.12.02026"), christmasEve2026);
    EXPECT_EQ(format(parse("01.01.2020")), "1.1.2020");
    EXPECT_EQ(format(christmasEve2026.addingTimeInterval(secondsPerDay - 1)), "24.12.2026");
    // A year of one, three or more digits is that year.
    EXPECT_EQ(format(parse("1.1.0001"), "d.M.y G"), "1.1.1 AD");
    EXPECT_EQ(format(parse("5.3.026"), "d.M.y G"), "5.3.26 AD");
    EXPECT_EQ(format(parse("5.3.7"), "d.M.y G"), "5.3.7 AD");

    auto berlin = formatter("d.M.y");
    berlin.setTimeZone(*TimeZone::named("Europe/Berlin"));
    EXPECT_EQ(berlin.dateFromString("24.12.2026"), christmasEve2026.addingTimeInterval(-3600));
}

TEST_F(DateFormatterTest, StrictParseRefusesImpossibleDatesAndStrayText) {
    EXPECT_TRUE(parse("29.2.2024"));
    EXPECT_TRUE(parse("29.2.2000"));
    EXPECT_TRUE(parse("31.12.2026"));
    EXPECT_TRUE(parse("30.4.2026"));
    for (const char* text : {"29.2.2023", "29.2.1900", "32.1.2020", "31.4.2026", "1.13.2020", "0.1.2020",
                             "1.0.2020", "1.1.0", "-1.1.2020", "+1.1.2020", "1.1.-5", "1.1.2020x", "1.1.2020 ",
                             " 1.1.2020", "1.1.2020.", "24.12.", "24.12", "", ".", "1,1,2020", "1 1 2020",
                             "1.1.99999999999"}) {
        EXPECT_FALSE(parse(text)) << '"' << text << '"';
    }
    // Only Latin digits are digits.
    EXPECT_FALSE(parse("\u0662\u0664.\u0661\u0662.\u0662\u0660\u0662\u0666"));
    EXPECT_FALSE(parse("\uFF12\uFF14.12.2026"));
    // A literal that ends the pattern must end the text.
    EXPECT_TRUE(parse("24.12.", "d.M."));
    EXPECT_FALSE(parse("24.12", "d.M."));
}

TEST_F(DateFormatterTest, GregorianWithJulianDaysBeforeOctober1582) {
    // Julian leap years before the change, Gregorian ones after it.
    EXPECT_TRUE(parse("29.2.1500"));
    EXPECT_FALSE(parse("29.2.1700"));
    EXPECT_TRUE(parse("4.10.1582"));
    EXPECT_TRUE(parse("15.10.1582"));
    EXPECT_EQ(parse("15.10.1582")->timeIntervalSince1970() - parse("4.10.1582")->timeIntervalSince1970(), secondsPerDay) << "the day after 4 October is 15 October";
    // The ten days skipped by the change are no dates.
    for (const char* text : {"5.10.1582", "10.10.1582", "14.10.1582"}) EXPECT_FALSE(parse(text)) << text;
    EXPECT_TRUE(parse("24.10.1582"));
    EXPECT_TRUE(parse("25.10.1582"));
    EXPECT_EQ(format(parse("24.10.1582")), "24.10.1582");
}

TEST_F(DateFormatterTest, ErasBeforeChristAndNoYearZero) {
    const auto firstOfAD = parse("1.1.0001");
    ASSERT_TRUE(firstOfAD);
    const Date dayBefore = firstOfAD->addingTimeInterval(-secondsPerDay);
    EXPECT_EQ(format(dayBefore), "31.12.1");
    EXPECT_EQ(format(dayBefore, "d.M.y G"), "31.12.1 BC");
    EXPECT_EQ(format(dayBefore, "y"), "1");
    EXPECT_EQ(parse("31.12.1 BC", "d.M.y G"), dayBefore);
    EXPECT_EQ(parse("1.1.1 AD", "d.M.y G"), firstOfAD);
    EXPECT_FALSE(parse("31.12.1 XY", "d.M.y G"));
    // 1 BC is a Julian leap year: 366 days before AD 1 is 1 January 1 BC.
    EXPECT_EQ(format(firstOfAD->addingTimeInterval(-366 * secondsPerDay), "d.M.y G"), "1.1.1 BC");
}

TEST_F(DateFormatterTest, TwoDigitYearsFallIntoTheHundredYearsFromTheStartDate) {
    auto from1950 = formatter("d.M.y");
    from1950.setTwoDigitStartDate(*parse("1.1.1950"));
    EXPECT_EQ(from1950.dateFromString("24.12.26"), christmasEve2026);
    EXPECT_EQ(format(from1950.dateFromString("1.1.49")), "1.1.2049");
    EXPECT_EQ(format(from1950.dateFromString("1.1.50")), "1.1.1950");
    auto from1900 = formatter("d.M.y");
    from1900.setTwoDigitStartDate(*parse("1.1.1900"));
    EXPECT_EQ(format(from1900.dateFromString("24.12.26")), "24.12.1926");
}

TEST_F(DateFormatterTest, TodaysTextsForTheDateCalculator) {
    // 7 December 2026, 23:30 UTC: the short patterns write today's parts, in UTC.
    const Date now(20794 * secondsPerDay + 23.5 * 3600);
    EXPECT_EQ(format(now, "d.My"), "7.122026");
    EXPECT_EQ(format(now, "My"), "122026");
    EXPECT_EQ(format(now, "dM"), "712");
    EXPECT_EQ(format(now, "d.M."), "7.12.");
    EXPECT_EQ(format(now, "y"), "2026");
    EXPECT_EQ(format(christmasEve2026, "dM"), "2412");
    EXPECT_EQ(format(parse("5.3.7"), "y"), "7");

    // Only "d.M.", "y" and "d.M.y" read back what they write: strictly parsed, the abutting
    // fields of "d.My", "My" and "dM" take one digit each and leave the rest of the text unread.
    EXPECT_EQ(format(parse("7.12.", "d.M."), "d.M.y"), "7.12.1970");
    EXPECT_EQ(format(parse("2026", "y")), "1.1.2026");
    EXPECT_FALSE(parse("7.122026", "d.My"));
    EXPECT_FALSE(parse("122026", "My"));
    EXPECT_FALSE(parse("712", "dM"));
}

TEST_F(DateFormatterTest, LatinDigitsAndGregorianYearsInEveryLocale) {
    for (const char* locale : {"ar_EG", "fa_IR", "th_TH", "hi_IN", "ja_JP@calendar=japanese"}) {
        EXPECT_EQ(format(christmasEve2026, "d.M.y", locale), "24.12.2026") << locale;
    }
    setLocale("th_TH@calendar=buddhist;numbers=thai");
    DateFormatter plain;
    plain.setDateFormat("d.M.y");
    plain.setTimeZone(gmt());
    EXPECT_EQ(plain.stringFromDate(christmasEve2026), "24.12.2026");
    EXPECT_EQ(plain.dateFromString("24.12.2026"), christmasEve2026);
}

TEST_F(DateFormatterTest, UnusableInputGivesEmptyTextOrNone) {
    const auto empty = formatter("");
    EXPECT_EQ(empty.stringFromDate(christmasEve2026), "");
    EXPECT_FALSE(empty.dateFromString(""));
    EXPECT_FALSE(empty.dateFromString("24.12.2026"));

    const auto dmy = formatter("d.M.y");
    EXPECT_EQ(dmy.stringFromDate(Date(std::numeric_limits<double>::quiet_NaN())), "");
    EXPECT_EQ(dmy.stringFromDate(Date(std::numeric_limits<double>::infinity())), "");
    EXPECT_EQ(dmy.stringFromDate(Date(1e300)), "");
    EXPECT_EQ(dmy.stringFromDate(Date(-1e300)), "");
    EXPECT_FALSE(dmy.dateFromString("\xff\xfe"));
    EXPECT_FALSE(dmy.dateFromString(std::string("1.1.2020\0", 9)));
}

}  // namespace
