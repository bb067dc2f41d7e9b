#include "aTs.h"

#include "TzGuard.h"
#include "str.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

aTs at(long sec, long ns = 0)
{
    aTs t;
    t.setSecondsSince1970(double(sec), ns);
    return t;
}

::testing::AssertionResult holds(aTs const& t, long sec, long ns)
{
    if (t.sec() == sec && t.nsec() == ns)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << t.sec() << ", " << t.nsec() << ") instead of (" << sec << ", " << ns << ")";
}

std::string fmt(aTs const& t, char const* format, bool tags = true)
{
    char buf[128];
    t.strfTime(buf, sizeof buf, format, tags);
    return buf;
}

} // namespace

TEST(aTs, BuildingFromDoublesSplitsTowardZeroAndStaysDefined)
{
    EXPECT_TRUE(holds(aTs(-1.5), -1, -500000000));
    EXPECT_TRUE(holds(aTs(1.5), 1, 500000000));
    EXPECT_TRUE(holds(aTs(-0.25), 0, -250000000));
    EXPECT_TRUE(holds(at(1, 1500000000), 2, 500000000));
    EXPECT_TRUE(holds(at(-1, 2500000000), 1, 500000000));

    EXPECT_TRUE(holds(aTs(std::nan("")), 0, 0));
    EXPECT_TRUE(holds(aTs(INFINITY), LONG_MAX, 0));
    EXPECT_TRUE(holds(aTs(-INFINITY), LONG_MIN, 0));
    EXPECT_TRUE(holds(aTs(1e300), LONG_MAX, 0));
    EXPECT_TRUE(holds(aTs(-9.3e18), LONG_MIN, 0));

    EXPECT_EQ(at(0, -1500).getMicrosec(), -1);
    aTs::SecUsec const* rec = at(5, 1500).getTs();
    EXPECT_EQ(rec->sec * 1000000 + rec->usec, 5000001);
}

// Seconds and nanoseconds of any signs carry into one sign, up to the 64-bit bounds; the copies
// and assignments that normalise the same way keep the far ends.
TEST(aTs, BuildingFromSecondsAndNanosecondsNormalises)
{
    struct Case
    {
        long sec, ns, wantSec, wantNs;
    } const cases[] = {
        {5, -1, 4, 999999999},
        {-5, 1, -4, -999999999},
        {0, -2500000000, -2, -500000000},
        {-1, 2500000000, 1, 500000000},
        {LONG_MAX, -1, LONG_MAX - 1, 999999999},
        {LONG_MIN, 1, LONG_MIN + 1, -999999999},
        {LONG_MIN, LONG_MAX, -9223372027631403771, -145224193},
        {LONG_MAX, LONG_MIN, 9223372027631403770, 145224192},
        {LONG_MAX, 1000000000, LONG_MAX, 0},
        {LONG_MIN, -1000000000, LONG_MIN, 0},
        {LONG_MAX, LONG_MAX, LONG_MAX, 0},
    };
    for (auto const& c : cases) {
        aTs const t(c.sec, c.ns);
        EXPECT_TRUE(holds(t, c.wantSec, c.wantNs)) << c.sec << ", " << c.ns;
        aTs assigned;
        assigned = t;
        EXPECT_TRUE(holds(assigned, c.wantSec, c.wantNs)) << c.sec << ", " << c.ns;
    }
    EXPECT_TRUE(holds(aTs(8.9e18), 8900000000000000000, 0));
    EXPECT_TRUE(holds(aTs(9.1e18), 9100000000000000000, 0));
    EXPECT_TRUE(holds(at(-9000000000000000000, -1500000000), -9000000000000000001, -500000000));
}

TEST(aTs, ArithmeticIsExactToTheNanosecond)
{
    aTimeDelta d = at(10, 0) - at(9, 999999999);
    EXPECT_EQ(d.getDays(), 0);
    EXPECT_EQ(d.getSeconds(), 0);
    EXPECT_EQ(d.getNs(), 1);
    EXPECT_TRUE((at(10) - at(10)).isZero());
    aTimeDelta across = at(1) - aTs(-1.5);
    EXPECT_EQ(across.getSeconds(), 2);
    EXPECT_EQ(across.getNs(), 500000000);

    EXPECT_TRUE(holds(aTs(-1.5) + aTimeDelta(1L, 1L, 500000000L), 86400, 0));
    EXPECT_TRUE(holds(at(5, 1) - aTimeDelta(0L, 5L, 2L), 0, -1));
    EXPECT_TRUE(holds(at(0) - aTimeDelta(-1L, 0L, 0L), 86400, 0));

    // Far ends: no wrap-around.
    EXPECT_TRUE(holds(at(0) + aTimeDelta(0L, 0L, 0L), 0, 0));
    EXPECT_TRUE(holds(aTs(INFINITY) + aTimeDelta(0L, 10L, 0L), LONG_MAX, 0));
    aTimeDelta wide = aTs(INFINITY) - aTs(-INFINITY);
    EXPECT_TRUE(wide.isPositive());
    EXPECT_DOUBLE_EQ(wide.asSeconds(), 18446744073709551615.0);

    aTs sum = at(3, 600000000);
    sum += at(1, 500000000);
    EXPECT_TRUE(holds(sum, 5, 100000000));
    sum -= at(6);
    EXPECT_TRUE(holds(sum, 0, -900000000));

    aTs late = at(1700000000, 250000000);
    EXPECT_TRUE(holds(late.subtract(at(1699999990, 0)), 10, 250000000));
}

TEST(aTs, LocalFieldsAgreeWithTheCLibraryInEveryZone)
{
    char const* zones[] = {"UTC", "Europe/Berlin", "America/New_York", "Asia/Kolkata",
                           "Australia/Adelaide"};
    long const instants[] = {0,
                             -1,
                             -86401,
                             951782400 /* 2000-02-29 */,
                             951868799,
                             -2203891200 /* 1900-03-01 */,
                             1709208000 /* 2024-02-29 12:00 UTC */,
                             1711846799,
                             1711846800,
                             1711850400 /* Berlin spring */,
                             1729987200,
                             1729990800,
                             1729994400 /* Berlin 02:00 twice, then 03:00 */,
                             1710054000,
                             1730610000,
                             1730613600 /* New York: 03:00 after the gap, 01:00 twice */,
                             1712419200,
                             1712422800,
                             1696091400 /* Adelaide: 02:30 twice, 03:00 after the gap */,
                             4107542399 /* 2100-02-28 23:59:59 */};
    for (char const* zone : zones) {
        TzGuard tz(zone);
        for (long s : instants) {
            SCOPED_TRACE(std::string(zone) + " " + std::to_string(s));
            // A quarter millisecond away from the whole second, on the side of its sign: before
            // 1970 the wall clock shows the second before and the complementary fraction.
            long const ns = s < 0 ? -250000 : 250000;
            time_t tt = s < 0 ? s - 1 : s;
            long const fraction = s < 0 ? 1000000000 + ns : ns;
            std::tm ref {};
            ASSERT_TRUE(localtime_r(&tt, &ref));
            int y, mo, d, h, mi, sec, us, doy, wd;
            bool dst;
            long off;
            char const* abbrev = at(s, ns).getMicro(y, mo, d, h, mi, sec, us, doy, wd, dst, off);
            ASSERT_NE(abbrev, nullptr);
            EXPECT_STREQ(abbrev, ref.tm_zone);
            EXPECT_EQ(y, ref.tm_year + 1900);
            EXPECT_EQ(mo, ref.tm_mon + 1);
            EXPECT_EQ(d, ref.tm_mday);
            EXPECT_EQ(h, ref.tm_hour);
            EXPECT_EQ(mi, ref.tm_min);
            EXPECT_EQ(sec, ref.tm_sec);
            EXPECT_EQ(us, fraction / 1000);
            EXPECT_EQ(doy, ref.tm_yday + 1);
            EXPECT_EQ(wd, ref.tm_wday + 1);
            EXPECT_EQ(dst, ref.tm_isdst > 0);
            EXPECT_EQ(off, ref.tm_gmtoff);
            long fieldNs = 0;
            ASSERT_NE(at(s, ns).get(y, mo, d, h, mi, sec, fieldNs), nullptr);
            EXPECT_EQ(fieldNs, fraction);

            // Written back with the flag that was read, every instant comes back, even in
            // the hour that a return to standard time repeats.
            aTs back;
            ASSERT_TRUE(back.set(y, mo, d, h, mi, sec, fieldNs, dst ? 1 : 0, off));
            EXPECT_TRUE(holds(back, s, ns));
        }
    }
}

TEST(aTs, FieldsAtTheEpochAndWritingNormalisedFields)
{
    TzGuard tz("UTC");
    int y, mo, d, h, mi, s, us, doy, wd;
    bool dst = true;
    long off = 1;
    ASSERT_TRUE(at(0).getMicro(y, mo, d, h, mi, s, us, doy, wd, dst, off));
    EXPECT_EQ(y * 10000 + mo * 100 + d, 19700101);
    EXPECT_EQ(h + mi + s + us, 0);
    EXPECT_EQ(doy, 1);
    EXPECT_EQ(wd, 5);
    EXPECT_FALSE(dst);
    EXPECT_EQ(off, 0);

    aTs t;
    ASSERT_TRUE(t.set(2024, 2, 30, 12, 0, 0, 0, -1, 0));
    EXPECT_EQ(t.sec(), utcSeconds(2024, 3, 1, 12));

    // One second before 1970 is a real instant, not a failure.
    ASSERT_TRUE(t.set(1969, 12, 31, 23, 59, 59, 0, -1, 0));
    EXPECT_TRUE(holds(t, -1, 0));
    EXPECT_EQ(t.getYear(), 1969);
    EXPECT_EQ(t.getSec(), 59);

    // Fields read before 1970 carry negative nanoseconds (here those of -1.5 s read in
    // Kolkata); written back where that wall clock is after 1970 they give one simplified value.
    ASSERT_TRUE(t.set(1970, 1, 1, 5, 29, 59, -500000000, -1, 0));
    EXPECT_TRUE(holds(t, 19798, 500000000));
    EXPECT_TRUE(aTs(&t) < at(19798, 700000000));

    // Summer fields written in Berlin keep their wall clock where no daylight saving exists.
    ASSERT_TRUE(t.set(2024, 7, 15, 12, 0, 0, 0, 1, 7200));
    EXPECT_EQ(t.sec(), utcSeconds(2024, 7, 15, 12));

    ASSERT_TRUE(t.setMicro(2024, 3, 5, 0, 0, 10, -1, -1, 0));
    EXPECT_TRUE(holds(t, utcSeconds(2024, 3, 5, 0, 0, 9), 999999000));

    // A failed write keeps the seconds; the nanoseconds are still stored.
    aTs kept = at(1234);
    EXPECT_FALSE(kept.set(INT_MAX, 24001, 1, 0, 0, 0, 77, -1, 0));
    EXPECT_FALSE(kept.set(INT_MIN, 1, 1, 0, 0, 0, 77, -1, 0));
    EXPECT_TRUE(holds(kept, 1234, 77));

    aTs may = at(utcSeconds(2024, 5, 15, 10, 20));
    aTs first = may.replaced(0, 0, 1, 0, 0, 0, 0);
    EXPECT_EQ(first.sec(), utcSeconds(2024, 5, 1, 10, 20));
    EXPECT_EQ(may.getDay(), 15);
    ASSERT_TRUE(may.replace(0, 0, 0, 0, 0, 0, 0)); // zero keeps: no field becomes 0
    EXPECT_EQ(may.getHour(), 10);
}

// Before 1970 a fraction of a second lies before the whole second: the wall clock has already
// shown the second before. Fields and texts must say the same.
TEST(aTs, FieldsBefore1970ShowTheSecondThatHasBegun)
{
    TzGuard tz("UTC");
    aTs quarter(-0.25);
    EXPECT_EQ(quarter.getYear(), 1969);
    EXPECT_EQ(quarter.getLongYear(), 1969);
    EXPECT_EQ(quarter.getMonth(), 12);
    EXPECT_EQ(quarter.getDay(), 31);
    EXPECT_EQ(quarter.getHour(), 23);
    EXPECT_EQ(quarter.getMin(), 59);
    EXPECT_EQ(quarter.getSec(), 59);
    EXPECT_EQ(quarter.localFields().ns, 750000000);
    int y, mo, d, h, mi, sec, us;
    ASSERT_NE(quarter.getMicro(y, mo, d, h, mi, sec, us), nullptr);
    EXPECT_EQ(us, 750000);
    EXPECT_STREQ(quarter.getSnappedStr(0, 0, 1).c(), "12 / 31 / 1969  23 : 59 : 59");
    EXPECT_STREQ(quarter.getStr(true).c(), "1969-12-31 23:59:59.750000");
    // The stored value keeps its own form.
    EXPECT_EQ(quarter.nsec(), -250000000);
    EXPECT_EQ(quarter.getMicrosec(), -250000);

    struct Value
    {
        long sec, ns;
    } const values[] = {
        {-1, 0}, {0, -1}, {-1, -999999999}, {-86400, -500000000}, {-2203891200, -1}};
    for (char const* zone : {"UTC", "America/New_York", "Asia/Kolkata"}) {
        TzGuard inZone(zone);
        for (Value const v : values) {
            SCOPED_TRACE(testing::Message() << zone << " (" << v.sec << ", " << v.ns << ")");
            aTs const t = at(v.sec, v.ns);
            aTs::LocalFields const f = t.localFields();
            char fromFields[64];
            std::snprintf(fromFields, sizeof fromFields, "%04d-%02d-%02d %02d:%02d:%02d.%09ld",
                          f.year, f.month, f.day, f.hour, f.minute, f.second, f.ns);
            EXPECT_EQ(fmt(t, "%Y-%m-%d %H:%M:%S<U9>"), fromFields);
            aTs back;
            ASSERT_TRUE(back.set(f.year, f.month, f.day, f.hour, f.minute, f.second, f.ns, -1, 0));
            EXPECT_TRUE(holds(back, v.sec, v.ns));
        }
    }
}

TEST(aTs, NoLocalTimeIsReportedNotInvented)
{
    TzGuard tz("UTC");
    aTs far(INFINITY);
    int y, mo, d, h, mi, s;
    long ns = 5;
    EXPECT_EQ(far.get(y, mo, d, h, mi, s, ns), nullptr);
    EXPECT_EQ(y + mo + d + h + mi + s, -6);
    EXPECT_EQ(ns, 0);
    EXPECT_EQ(far.getMonth(), -1);
    EXPECT_FALSE(far.replace(2024, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(far.sec(), LONG_MAX);

    char buf[16] = "untouched";
    EXPECT_EQ(far.strfTime(buf, sizeof buf, "%Y", true), 0u);
    EXPECT_STREQ(buf, "");
    EXPECT_STREQ(far.getStr(false).c(), "Overflow");
    EXPECT_TRUE(holds(aTs::moveTs(far, 0, 0, 1, 0, 0, 0, 0), LONG_MAX, 0));
    aTs first; // the earliest second, with a fraction before it: no wall clock shows it
    first.setSecondsSince1970(-9223372036854775808.0, -5);
    EXPECT_EQ(first.strfTime(buf, sizeof buf, "%S", false), 0u);
    EXPECT_STREQ(first.getStr(true).c(), "Overflow");
    EXPECT_THAT(first.getElapsed("").c(), testing::StartsWith("9223372036854775807 sec"));
}

TEST(aTs, MovesWalkCalendarCarriesAndLeaveTheArgument)
{
    TzGuard tz("UTC");
    struct Case
    {
        long from;
        double months, days, hours;
        long to;
    } cases[] = {
        {utcSeconds(2023, 1, 31, 10), 1, 0, 0, utcSeconds(2023, 3, 3, 10)},
        {utcSeconds(2024, 3, 1), 0, -1, 0, utcSeconds(2024, 2, 29)},
        {utcSeconds(2024, 1, 1), 0, -1, 0, utcSeconds(2023, 12, 31)},
        {utcSeconds(2023, 2, 28, 23), 0, 0, 2, utcSeconds(2023, 3, 1, 1)},
        {utcSeconds(2024, 3, 15), 0, -45, 0, utcSeconds(2024, 1, 30)},
        {utcSeconds(2024, 3, 15), 0, -75, 0, utcSeconds(2023, 12, 31)},
        {utcSeconds(1900, 2, 28), 0, 1, 0, utcSeconds(1900, 3, 1)},
        {utcSeconds(2000, 2, 28), 0, 1, 0, utcSeconds(2000, 2, 29)},
        {utcSeconds(2100, 2, 28, 12), 0, 0, 24, utcSeconds(2100, 3, 1, 12)},
        {utcSeconds(2024, 1, 31), -13, 0, 0, utcSeconds(2022, 12, 31)},
        {utcSeconds(2024, 3, 15), 0, 1000000, 0, utcSeconds(2024, 3, 15) + 86400L * 1000000},
        {utcSeconds(2024, 3, 15), 0, -1000000, 0, utcSeconds(2024, 3, 15) - 86400L * 1000000},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.from);
        long ns = c.from < 0 ? -123 : 123;
        aTs t = at(c.from, ns);
        aTs moved = aTs::moveTs(t, 0, c.months, c.days, c.hours, 0, 0, 0);
        aTimeDelta off = moved - at(c.to);
        EXPECT_EQ(off.getDays() * 86400 + off.getSeconds(), 0);
        EXPECT_EQ(off.getNs(), ns);
        EXPECT_TRUE(holds(t, c.from, ns));
    }
    aTs t = at(100, 900000000);
    EXPECT_TRUE(holds(aTs::moveTs(t, 0, 0, 0, 0, 0, 0, 300000000), 101, 200000000));
    EXPECT_TRUE(
        holds(aTs::moveTs(t, 0, 0, 0, 0, -2, 0, 0), -19, -100000000)); // simplified before 1970
    // Offsets no calendar can follow leave the timestamp unmoved.
    EXPECT_TRUE(holds(aTs::moveTs(t, 3e9, 0, 0, 0, 0, 0, 0), 100, 900000000));
    EXPECT_TRUE(holds(aTs::moveTs(t, 0, 0, 0, 0, 0, 1e20, 0), 100, 900000000));
    EXPECT_TRUE(holds(aTs::moveTs(t, 0, 0, std::nan(""), 0, 0, 0, 0), 100, 900000000));
}

TEST(aTs, MovesAcrossDaylightSavingKeepTheWallClock)
{
    struct Case
    {
        char const* zone;
        int y, m, d;
        long hoursElapsed;
    } cases[] = {
        {"Europe/Berlin", 2024, 3, 30, 23},     {"Europe/Berlin", 2024, 10, 26, 25},
        {"America/New_York", 2024, 3, 9, 23},   {"America/New_York", 2024, 11, 2, 25},
        {"Australia/Adelaide", 2024, 4, 6, 25}, {"Australia/Adelaide", 2024, 10, 5, 23},
        {"Asia/Kolkata", 2024, 3, 30, 24},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.m));
        TzGuard tz(c.zone);
        aTs noon;
        ASSERT_TRUE(noon.set(c.y, c.m, c.d, 12, 0, 0, 0, -1, 0));
        aTs next = aTs::moveTs(noon, 0, 0, 1, 0, 0, 0, 0);
        EXPECT_EQ(next.getHour(), 12);
        EXPECT_EQ(next.getDay(), c.d + 1);
        EXPECT_EQ(next.sec() - noon.sec(), c.hoursElapsed * 3600);
        aTs back = aTs::moveTs(next, 0, 0, -1, 0, 0, 0, 0);
        EXPECT_EQ(back.sec(), noon.sec());
    }
}

// Onto a wall-clock time that a change of offset skips or repeats, a move still goes the way
// of its offset: a repeated time is the nearest one in that direction, a skipped one goes on
// across the gap. The answer must not depend on what mktime was asked before.
TEST(aTs, MovesOntoGapsAndFoldsGoTheWayOfTheirOffset)
{
    struct Utc
    {
        int y, m, d, h, mi;
        long seconds() const { return utcSeconds(y, m, d, h, mi); }
    };
    struct Case
    {
        char const* zone;
        Utc from;
        double days, hours, minutes;
        Utc to;
    } const cases[] = {
        // New York: 02:00 to 03:00 skipped on 8 March 2020, 01:00 to 02:00 twice on 1 November.
        {"America/New_York", {2020, 3, 8, 7, 0}, 0, -1, 0, {2020, 3, 8, 6, 0}},    // 03:00 EDT
        {"America/New_York", {2020, 3, 8, 6, 30}, 0, 0, 30, {2020, 3, 8, 7, 0}},   // 01:30 EST
        {"America/New_York", {2020, 3, 7, 7, 30}, 1, 0, 0, {2020, 3, 8, 7, 30}},   // to 03:30
        {"America/New_York", {2020, 3, 9, 6, 30}, -1, 0, 0, {2020, 3, 8, 6, 30}},  // to 01:30
        {"America/New_York", {2020, 11, 1, 6, 0}, 0, 0, 30, {2020, 11, 1, 6, 30}}, // 01:00 EST
        {"America/New_York", {2020, 11, 1, 6, 30}, 0, 0, -30, {2020, 11, 1, 6, 0}},
        {"America/New_York", {2020, 11, 1, 5, 30}, 0, 0, -30, {2020, 11, 1, 5, 0}}, // in EDT
        {"America/New_York", {2020, 11, 1, 4, 30}, 0, 1, 0, {2020, 11, 1, 5, 30}},
        {"America/New_York", {2020, 11, 1, 7, 30}, 0, -1, 0, {2020, 11, 1, 6, 30}},
        {"America/New_York", {2020, 10, 31, 5, 30}, 1, 0, 0, {2020, 11, 1, 5, 30}},
        {"America/New_York", {2020, 11, 2, 6, 30}, -1, 0, 0, {2020, 11, 1, 6, 30}},
        // Lord Howe moves by half an hour: 02:00 to 02:30 skipped on 4 October 2020, 01:30 to
        // 02:00 twice on 5 April 2020.
        {"Australia/Lord_Howe", {2020, 10, 3, 15, 30}, 0, 0, -15, {2020, 10, 3, 15, 15}},
        {"Australia/Lord_Howe", {2020, 10, 3, 15, 15}, 0, 0, 15, {2020, 10, 3, 15, 30}},
        {"Australia/Lord_Howe", {2020, 10, 3, 15, 15}, 0, 0, 30, {2020, 10, 3, 15, 45}},
        {"Australia/Lord_Howe", {2020, 4, 4, 15, 0}, 0, 0, 15, {2020, 4, 4, 15, 15}},
        {"Australia/Lord_Howe", {2020, 4, 4, 15, 15}, 0, 0, -15, {2020, 4, 4, 15, 0}},
        {"Australia/Lord_Howe", {2020, 4, 4, 14, 15}, 0, 0, 30, {2020, 4, 4, 14, 45}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.zone << " from " << c.from.seconds() << " by " << c.days << " d "
                     << c.hours << " h " << c.minutes << " min");
        TzGuard tz(c.zone);
        aTs const from = at(c.from.seconds(), 5);
        // mktime remembers the daylight-saving flag of its last answer; ask it both ways first.
        for (int dstBefore : {0, 1, -1, 0}) {
            std::tm primer {};
            primer.tm_year = c.from.y - 1900;
            primer.tm_mon = c.from.m - 1;
            primer.tm_mday = c.from.d;
            primer.tm_hour = 1 + dstBefore;
            primer.tm_isdst = dstBefore;
            mktime(&primer);
            aTs const moved = aTs::moveTs(from, 0, 0, c.days, c.hours, c.minutes, 0, 0);
            EXPECT_TRUE(holds(moved, c.to.seconds(), 5)) << "after mktime with flag " << dstBefore;
        }
    }
}

TEST(aTs, FormatTagsExpandBeforeStrftime)
{
    TzGuard tz("UTC");
    aTs noon = at(utcSeconds(2024, 3, 2, 12), 250000000);
    EXPECT_EQ(fmt(noon, "%S<U3>"), "00.250");
    EXPECT_EQ(fmt(noon, "<U1>|<U9>"), ".2|.250000000");
    EXPECT_EQ(fmt(at(utcSeconds(2024, 3, 2, 12), 960000000), "%S<U1>"), "00.9");
    EXPECT_EQ(fmt(noon, "%H<P> <p>"), "12pm p");
    EXPECT_EQ(fmt(at(utcSeconds(2024, 3, 2, 0, 30)), "%H<P>"), "00am");
    EXPECT_EQ(fmt(at(utcSeconds(2024, 3, 2, 11, 59)), "<p>"), "a");
    EXPECT_EQ(fmt(noon, "<W> <d> <M> <Y>"), "S 2nd M 2024");
    EXPECT_EQ(fmt(noon, "<u1><w>"), "<u1><w>");
    EXPECT_EQ(fmt(noon, "<U1> %d", false), "<U1> 02");

    std::string ordinals;
    for (int day : {1, 3, 11, 12, 13, 21, 22, 23, 31})
        ordinals += fmt(at(utcSeconds(2024, 3, day)), "<d> ");
    EXPECT_EQ(ordinals, "1st 3rd 11th 12th 13th 21st 22nd 23rd 31st ");

    // Before 1970 the wall clock shows the second before and the complementary fraction.
    EXPECT_EQ(fmt(aTs(-1.5), "%H:%M:%S<U1>"), "23:59:58.5");
    EXPECT_EQ(fmt(aTs(-0.25), "%S<U2>"), "59.75");

    char small[4] = "xyz";
    EXPECT_EQ(noon.strfTime(small, sizeof small, "%Y-%m", true), 0u);
    EXPECT_STREQ(small, "");

    aTs monday = at(utcSeconds(2024, 1, 1));
    EXPECT_EQ(monday.getWeekNumberOfYear(true), 1);
    EXPECT_EQ(monday.getWeekNumberOfYear(false), 0);
}

TEST(aTs, FixedAndSnappedTexts)
{
    TzGuard tz("UTC");
    aTs t = at(utcSeconds(2024, 3, 5, 14, 7, 9), 250000);
    EXPECT_STREQ(t.getStr(false).c(), "2024-03-05 14:07:09");
    EXPECT_STREQ(t.getStr(true).c(), "2024-03-05 14:07:09.000250");
    EXPECT_STREQ(at(0, 7000).getStr(true).c(), "1970-01-01 00:00:00.000007");
    EXPECT_STREQ(aTs(-1.5).getStr(true).c(), "1969-12-31 23:59:58.500000");

    aTs s = at(utcSeconds(2024, 3, 5, 9, 5, 7));
    EXPECT_STREQ(s.getSnappedStr(0, 0, 1).c(), "3 / 05 / 2024   9 : 05 : 07");
    EXPECT_STREQ(s.getSnappedStr(0, 3, 1).c(), " 9 : 05 : 07");
    EXPECT_STREQ(s.getSnappedStr(0, 5, 5).c(), "3  ");
    EXPECT_STREQ(at(utcSeconds(2024, 11, 25, 13, 45, 30)).getSnappedStr(0, 4, 2).c(),
                 "25  13 : 45");
}

TEST(aTs, ElapsedTimeTexts)
{
    long d;
    int h, m, s, us;
    aTs(90061.5).getDeltaCounts(d, h, m, s, us);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(h * 10000 + m * 100 + s, 10101);
    EXPECT_EQ(us, 500000);

    EXPECT_STREQ(at(0, 3000).getExtendedDeltaStr().c(), "333333.34 /sec");
    EXPECT_STREQ(at(1, 1000).getExtendedDeltaStr().c(), "01.000001");
    EXPECT_STREQ(at(2 * 86400 + 5 * 3600 + 7 * 60 + 9).getDeltaStr().c(), "2:05:07");
    EXPECT_STREQ(aTs(-75.0).getDeltaStr().c(), "-1:15");
    EXPECT_STREQ(aTs(93784.5).getFullDeltaStr().c(), "1:02:03:04.50");

    aTs started;
    started.stamp();
    started = started - aTimeDelta(1.5);
    EXPECT_THAT(started.getElapsed("took ").c(),
                testing::MatchesRegex("took 1 sec, [5-9][0-9]{8} nanosec"));
}
