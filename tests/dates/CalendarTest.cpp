#include "tests/dates/DateTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <chrono>
#include <cstdint>
#include <limits>

using foundation::Calendar;
using foundation::Date;
using foundation::TimeZone;
using namespace datetests;

namespace {

class CalendarTest : public testsupport::SuiteTest {};

constexpr double secondsPerDay = 86400.0;

struct WeekFact {
    const char* date;
    int weekday;  // 1 Sunday ... 7 Saturday
    int isoWeek;
};

TEST_F(CalendarTest, IsoWeeksAroundTheTurnOfTheYear) {
    const Calendar iso = calendar(Calendar::Identifier::iso8601);
    EXPECT_EQ(iso.firstWeekday(), 2);
    EXPECT_EQ(iso.minimumDaysInFirstWeek(), 4);
    const WeekFact facts[] = {
        {"3.1.2027", 1, 53},    // a Sunday still in the last week of 2026
        {"4.1.2027", 2, 1},     // Monday of week 1
        {"31.12.2026", 5, 53},  //
        {"1.1.2026", 5, 1},     // a Thursday opens week 1
        {"29.12.2025", 2, 1},   // late December in week 1 of the next year
        {"28.12.2025", 1, 52},  //
        {"1.1.2021", 6, 53},    // early January in week 53 of the year before
        {"1.1.2022", 7, 52},    // ... or in week 52
        {"24.12.2026", 5, 52},  //
        {"7.12.2026", 2, 50},   //
        {"31.12.2024", 3, 1},   //
    };
    for (const auto& fact : facts) {
        const auto date = parse(fact.date);
        ASSERT_TRUE(date) << fact.date;
        EXPECT_EQ(iso.weekday(*date), fact.weekday) << fact.date;
        EXPECT_EQ(iso.weekOfYear(*date), fact.isoWeek) << fact.date;
    }
    // The same day late in the evening, still in that day's week in its zone.
    EXPECT_EQ(iso.weekOfYear(parse("3.1.2027")->addingTimeInterval(secondsPerDay - 1)), 53);
    EXPECT_EQ(iso.weekOfYear(parse("3.1.2027")->addingTimeInterval(secondsPerDay)), 1);
}

TEST_F(CalendarTest, GregorianWeeksFollowTheLocale) {
    setLocale("en_US");
    Calendar us = Calendar::current();
    us.setTimeZone(gmt());
    EXPECT_EQ(us.identifier(), Calendar::Identifier::gregorian);
    EXPECT_EQ(us.firstWeekday(), 1);
    EXPECT_EQ(us.weekOfYear(*parse("3.1.2027")), 2);
    EXPECT_EQ(us.weekday(*parse("3.1.2027")), 1) << "weekday numbers do not move with the first weekday";
    setLocale("de_DE");
    Calendar de = Calendar::current();
    de.setTimeZone(gmt());
    EXPECT_EQ(de.firstWeekday(), 2);
    EXPECT_EQ(de.weekOfYear(*parse("3.1.2027")), 53);
    EXPECT_EQ(de.weekday(*parse("3.1.2027")), 1);
}

TEST_F(CalendarTest, AddsWholeDays) {
    EXPECT_EQ(addDays("24.12.2026", 10), "3.1.2027");
    EXPECT_EQ(addDays("24.12.2026", -1), "23.12.2026");
    EXPECT_EQ(addDays("24.12.2026", 0), "24.12.2026");
    EXPECT_EQ(addDays("28.2.2024", 1), "29.2.2024");
    EXPECT_EQ(addDays("28.2.2023", 1), "1.3.2023");
    EXPECT_EQ(addDays("1.1.2026", 1000), "27.9.2028");
    EXPECT_EQ(addDays("1.1.1970", -1), "31.12.1969");
    // The change of calendar: 4 October 1582 is followed by 15 October 1582.
    EXPECT_EQ(addDays("15.10.1582", -1), "4.10.1582");
    EXPECT_EQ(addDays("4.10.1582", 1), "15.10.1582");
    EXPECT_EQ(addDays("1.10.1582", 20), "31.10.1582");
    // No year 0: the day before AD 1 is 31 December 1 BC.
    const auto firstOfAD = parse("1.1.0001");
    const Calendar gregorian = calendar(Calendar::Identifier::gregorian);
    const auto dayBefore = gregorian.dateByAddingDays(-1, *firstOfAD);
    ASSERT_TRUE(dayBefore);
    EXPECT_EQ(format(dayBefore), "31.12.1");
    EXPECT_EQ(format(dayBefore, "d.M.y G"), "31.12.1 BC");
    EXPECT_EQ(gregorian.year(*dayBefore), 1);
    EXPECT_EQ(gregorian.era(*dayBefore), 0);
    EXPECT_EQ(gregorian.year(*firstOfAD), 1);
    EXPECT_EQ(gregorian.era(*firstOfAD), 1);
    EXPECT_EQ(format(gregorian.dateByAddingDays(1, *dayBefore)), "1.1.1");
    EXPECT_EQ(format(gregorian.dateByAddingDays(-366 - 365, *firstOfAD), "d.M.y G"), "1.1.2 BC");
    EXPECT_EQ(gregorian.year(*gregorian.dateByAddingDays(-366 - 365, *firstOfAD)), 2);
}

TEST_F(CalendarTest, AddingDaysKeepsTheWallClockTime) {
    Calendar berlin(Calendar::Identifier::gregorian);
    berlin.setTimeZone(*TimeZone::named("Europe/Berlin"));
    // 28 March 2026, 12:00 in Berlin (11:00 UTC); the clocks go forward that night.
    const Date noon(20540 * secondsPerDay + 11 * 3600);
    EXPECT_EQ(berlin.dateByAddingDays(1, noon), noon.addingTimeInterval(23 * 3600));
    EXPECT_EQ(berlin.dateByAddingDays(2, noon), noon.addingTimeInterval(47 * 3600));
    EXPECT_EQ(berlin.dateByAddingDays(-1, noon), noon.addingTimeInterval(-secondsPerDay));
}

TEST_F(CalendarTest, FarDayCountsGiveNone) {
    const Calendar gregorian = calendar(Calendar::Identifier::gregorian);
    const Date today = *parse("24.12.2026");
    for (std::int64_t days : {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min(),
                              std::int64_t{999999999999}, std::int64_t{-999999999999}, std::int64_t{3000000000},
                              std::int64_t{-3000000000}, std::int64_t{2147483647}, std::int64_t{-2147483648}}) {
        EXPECT_FALSE(gregorian.dateByAddingDays(days, today)) << days;
    }
    // The largest day count of the calculator (nine digits) still gives a date.
    const auto far = gregorian.dateByAddingDays(999999999, today);
    ASSERT_TRUE(far);
    EXPECT_EQ(gregorian.year(*far), 2739933);
    EXPECT_EQ(gregorian.dateByAddingDays(-999999999, *far), today);
    const auto farBack = gregorian.dateByAddingDays(-999999999, today);
    ASSERT_TRUE(farBack);
    EXPECT_EQ(gregorian.era(*farBack), 0);
    // More than 2^31 days in one go, from far in the past to far in the future.
    const auto longWay = gregorian.dateByAddingDays(2000000000, *farBack);
    ASSERT_TRUE(longWay);
    EXPECT_EQ(gregorian.dateByAddingDays(-2000000000, *longWay), farBack);
    EXPECT_EQ(gregorian.dateByAddingDays(3000000000, *farBack),
              gregorian.dateByAddingDays(3000000000 - 999999999, today));
    // Step by step to the end of the calendar's range: none once past it, never a wrap.
    std::optional<Date> edge = today;
    int steps = 0;
    while (edge && steps < 10) {
        edge = gregorian.dateByAddingDays(500000000, *edge);
        ++steps;
    }
    EXPECT_FALSE(edge);
    // Not a point in time.
    EXPECT_FALSE(gregorian.dateByAddingDays(1, Date(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_FALSE(gregorian.dateByAddingDays(1, Date(std::numeric_limits<double>::infinity())));
    EXPECT_FALSE(gregorian.dateByAddingDays(0, Date(1e300)));
    EXPECT_FALSE(gregorian.year(Date(1e300)));
    EXPECT_FALSE(gregorian.weekOfYear(Date(std::numeric_limits<double>::quiet_NaN())));
}

TEST_F(CalendarTest, AlwaysGregorianWhateverTheLocalePrefers) {
    setLocale("th_TH@calendar=buddhist");
    Calendar thai = Calendar::current();
    thai.setTimeZone(gmt());
    EXPECT_EQ(thai.year(*parse("24.12.2026")), 2026);
    EXPECT_EQ(format(thai.dateByAddingDays(10, *parse("24.12.2026"))), "3.1.2027");
    setLocale("ja_JP@calendar=japanese");
    Calendar japanese = Calendar::current();
    japanese.setTimeZone(gmt());
    EXPECT_EQ(japanese.year(*parse("24.12.2026")), 2026);
    EXPECT_EQ(japanese.era(*parse("24.12.2026")), 1);
}

TEST_F(CalendarTest, CopiesAreIndependent) {
    Calendar first = calendar(Calendar::Identifier::iso8601);
    Calendar second = first;
    second.setTimeZone(*TimeZone::named("Pacific/Kiritimati"));
    const Date lateSunday = parse("3.1.2027")->addingTimeInterval(23 * 3600);
    EXPECT_EQ(first.weekday(lateSunday), 1);
    EXPECT_EQ(second.weekday(lateSunday), 2);
    EXPECT_EQ(second.identifier(), Calendar::Identifier::iso8601);
    EXPECT_EQ(second.timeZone().identifier(), "Pacific/Kiritimati");
    first = second;
    EXPECT_EQ(first.weekday(lateSunday), 2);
}

TEST_F(CalendarTest, DatesFromTheSystemClock) {
    using namespace std::chrono;
    const auto instant = system_clock::time_point(milliseconds(int64_t{1798070400} * 1000 + 250));
    EXPECT_DOUBLE_EQ(Date::fromTimePoint(instant).timeIntervalSince1970(), 1798070400.25);
    EXPECT_EQ(format(Date::fromTimePoint(instant)), "24.12.2026");
    EXPECT_LT(Date(1.0), Date(2.0));
    EXPECT_FALSE(Date(std::numeric_limits<double>::quiet_NaN()).isValid());
}

}  // namespace
