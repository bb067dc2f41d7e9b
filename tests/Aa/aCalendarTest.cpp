#include "aCalendar.h"

#include "TzGuard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>

TEST(aCalendar, MonthLengthsAndLeapYearsAgreeWithTheCLibrary)
{
    for (int year = 1601; year <= 2400; ++year)
        for (int month = 1; month <= 12; ++month) {
            long days = (utcSeconds(year, month + 1, 1) - utcSeconds(year, month, 1)) / 86400;
            ASSERT_EQ(aCalendar::DaysInMonth(month, year), days) << month << "/" << year;
            if (month == 2) {
                ASSERT_EQ(aCalendar::IsALeapYear(year), days == 29) << year;
            }
        }
    EXPECT_EQ(aCalendar::DaysInMonth(0, 2000), 0);
    EXPECT_EQ(aCalendar::DaysInMonth(13, 2000), 0);
    EXPECT_EQ(aCalendar::DaysInMonth(-1, 2000), 0);
    EXPECT_EQ(aCalendar::DaysInYear(1752), 355);
    EXPECT_EQ(aCalendar::DaysInYear(2100), 365);
    EXPECT_FALSE(aCalendar::DateIsValid(2, 29, 2100));
    EXPECT_FALSE(aCalendar::DateIsValid(1, 1, 0));
}

TEST(aCalendar, DayNumbersCountDaysAndWeekdaysLikeTheCLibrary)
{
    EXPECT_EQ(aCalendar::DateToDays(1, 1, 1), 0);
    EXPECT_EQ(aCalendar::DateToDays(1, 1, 1900), 693584);
    EXPECT_EQ(aCalendar::DateToDays(1, 1, 2000), 730108);
    EXPECT_EQ(aCalendar::DateToDays(3, 1, 2000), 730168);
    EXPECT_EQ(aCalendar::DateToDays(2, 30, 2001), 0);
    EXPECT_EQ(aCalendar::DateToDays(1, 1, -5), 0);
    EXPECT_EQ(aCalendar::DateToDays(12, 31, 5000000), 1826212488);
    EXPECT_EQ(aCalendar::DateToDays(1, 1, 2000000000), 0); // beyond an int day number, and at once

    // From 1753 on the count runs with the C library's calendar, one day at a time.
    long const base = utcSeconds(2000, 1, 1);
    for (int year = 1753; year <= 2300; year += 3)
        for (int month = 1; month <= 12; month += 5)
            for (int day : {1, 28, aCalendar::DaysInMonth(month, year)}) {
                SCOPED_TRACE(std::to_string(month) + "/" + std::to_string(day) + "/" +
                             std::to_string(year));
                int n = aCalendar::DateToDays(month, day, year);
                long utc = utcSeconds(year, month, day);
                ASSERT_EQ(n - 730108L, (utc - base) / 86400);
                int m = 0, d = 0, y = 0;
                aCalendar::DateFromDays(n, &m, &d, &y);
                ASSERT_EQ(m * 100 + d, month * 100 + day);
                ASSERT_EQ(y, year);
                aCalendar c;
                c.Set(month, day, year, 0, 0, 0.0);
                time_t tt = utc;
                std::tm ref {};
                gmtime_r(&tt, &ref);
                ASSERT_EQ(c.GetDayOfWeek(), ref.tm_wday + 1);
            }

    int m = 0, d = 0, y = 0;
    aCalendar::DateFromDays(730138, &m, &d, &y);
    EXPECT_EQ(m * 100 + d, 131);
    aCalendar::DateFromDays(0, &m, nullptr, &y);
    EXPECT_EQ(m * 10000 + y, 10001);
    aCalendar::DateFromDays(-3, &m, &d, &y);
    EXPECT_EQ(m + d + y, 0);
}

TEST(aCalendar, ParsesAndPrintsDatesAndTimes)
{
    aCalendar c;
    ASSERT_TRUE(c.Set("3/5/24 14:07:09"));
    EXPECT_STREQ(c.GetFullString(), "Tues 03/05/2024 14:07:09");
    EXPECT_DOUBLE_EQ(c.AsSeconds(),
                     aCalendar::DateToDays(3, 5, 2024) * 86400.0 + 14 * 3600 + 7 * 60 + 9);

    for (char const* bad :
         {"2/30/2024 1:2:3", "13/1/2024 1:2:3", "3/5/2024 24:00:00", "3/5/2024 1:60:00",
          "3/5/2024 10:00", "3-5-2024 1:2:3", "3/x/2024 1:2:3", "3/5/2024 1:2:3x", "3/5/-100 1:2:3",
          "3/5/-5 1:2:3", "3/5/+24 1:2:3"})
        EXPECT_FALSE(c.Set(bad)) << bad;
    EXPECT_STREQ(c.GetSortString(), "2024/03/05 14:07:09"); // a refused text changes nothing
}

TEST(aCalendar, LocalTimeIsTheZonesClockOnce)
{
    TzGuard tz("Asia/Kolkata");
    aCalendar c;
    c.Set(0);
    EXPECT_STREQ(c.GetString(), "1/01/1970 5:30:00");
    c.Set(-0.5);
    EXPECT_STREQ(c.GetString(), "1/01/1970 5:29:59");
    EXPECT_DOUBLE_EQ(c.GetSeconds(), 59.5);

    // The clock may pass a second boundary during the call: either side will do.
    auto fieldsText = [](int year, int month, int dayOfYear, int day, int weekday, int hour,
                         int minute, int second) {
        char text[96];
        std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d weekday %d day %d", year, month, day,
                      hour, minute, second, weekday, dayOfYear);
        return std::string(text);
    };
    auto localText = [&](time_t t) {
        std::tm ref {};
        localtime_r(&t, &ref);
        return fieldsText(ref.tm_year + 1900, ref.tm_mon + 1, ref.tm_yday + 1, ref.tm_mday,
                          ref.tm_wday + 1, ref.tm_hour, ref.tm_min, ref.tm_sec);
    };
    time_t before = time(nullptr);
    int year, month, dayOfYear, day, weekday, hour, minute, second;
    aTime::GetLocalTime(&year, &month, &dayOfYear, &day, &weekday, &hour, &minute, &second);
    time_t after = time(nullptr);
    EXPECT_THAT(fieldsText(year, month, dayOfYear, day, weekday, hour, minute, second),
                testing::AnyOf(localText(before), localText(after)));
}
