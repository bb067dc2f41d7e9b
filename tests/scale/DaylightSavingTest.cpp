#include "ScaleTestSupport.h"

#include <string>

namespace {

struct Transition
{
    char const* zone;
    char const* what;
    int year, month, day; // local day of the change
};

// Days on which the wall clock jumps: both directions in New York and at Lord Howe (half an
// hour), Kathmandu's move to +5:45 and Apia's skipped day.
constexpr Transition Transitions[] = {
    {"America/New_York", "spring forward", 2024, 3, 10},
    {"America/New_York", "fall back", 2024, 11, 3},
    {"Australia/Lord_Howe", "fall back half an hour", 2024, 4, 7},
    {"Australia/Lord_Howe", "spring forward half an hour", 2024, 10, 6},
    {"Asia/Kathmandu", "to +5:45", 1986, 1, 1},
    {"Pacific/Apia", "skipped day", 2011, 12, 31},
};

aTs localMidnight(int y, int mo, int d)
{
    aTs t;
    t.set(y, mo, d, 0, 0, 0, 0, -1, 0);
    return t;
}

int boundariesIn(mRange const* r, double first, double last)
{
    int n = 0;
    for (int i = 1; i < r->getNumGridlines(); ++i) {
        double const x = r->getGridline(i)->getParentPos();
        n += x > first && x <= last;
    }
    return n;
}

// Hours (minutes) of one local day, from its midnight to the next day's, at a minute per pixel.
int boundariesOverDay(int rangeIndex, int y, int mo, int d)
{
    aTs const start = localMidnight(y, mo, d);
    aTs const end = localMidnight(y, mo, d + 1);
    int const columns = int((end - start).asSeconds() / 60);
    mRange* r = rangeAt(rangeIndex);
    buildGrids({r}, start, 60, columns);
    return boundariesIn(r, 0, columns);
}

} // namespace

// Every calendar unit over every transition: gridlines move strictly forward, never two for one
// column, and the scan ends.
TEST(DaylightSaving, EveryUnitMovesStrictlyForwardAcrossEveryTransition)
{
    FixedMeasure fixed;
    for (auto const& tr : Transitions) {
        TzGuard zone(tr.zone);
        aTs const change = localMidnight(tr.year, tr.month, tr.day) + aTimeDelta(2.0 * 3600);
        for (int index = RangeSecs1; index <= 115; ++index) {
            mRange* r = rangeAt(index);
            double const spp = r->getSecondsPerUnit() / 4;
            int const columns = 1600;
            aTs const start = change - aTimeDelta(spp * columns / 2);
            buildGrids({r}, start, spp, columns);
            std::string const what = std::string(tr.zone) + " " + tr.what;
            ASSERT_LE(r->getNumGridlines(), columns + 2) << what << " " << r->desc().c();
            for (int i = 2; i < r->getNumGridlines(); ++i) {
                ASSERT_LT(r->getGridline(i - 1)->getParentPos(), r->getGridline(i)->getParentPos())
                    << what << " " << r->desc().c();
                ASSERT_TRUE(r->getGridline(i - 1)->getTs() < r->getGridline(i)->getTs()) << what;
            }
        }
    }
}

TEST(DaylightSaving, NewYorkHourRowShowsTwentyThreeAndTwentyFiveHours)
{
    FixedMeasure fixed;
    TzGuard zone("America/New_York");
    EXPECT_EQ(boundariesOverDay(RangeHour, 2024, 3, 10), 23);
    EXPECT_EQ(boundariesOverDay(RangeHour, 2024, 11, 3), 25);
    EXPECT_EQ(boundariesOverDay(RangeHour, 2024, 11, 4), 24);
    EXPECT_EQ(boundariesOverDay(RangeMins15, 2024, 11, 3), 100);
    EXPECT_EQ(boundariesOverDay(RangeDay, 2024, 11, 3), 1);
}

TEST(DaylightSaving, LordHoweHalfHourShiftsKeepTheHoursAndQuarters)
{
    FixedMeasure fixed;
    TzGuard zone("Australia/Lord_Howe");
    // 24.5 hours: the repeated half hour starts no hour.
    EXPECT_EQ(boundariesOverDay(RangeHour, 2024, 4, 7), 24);
    EXPECT_EQ(boundariesOverDay(RangeMins15, 2024, 4, 7), 98);
    // 23.5 hours: the hour after the gap starts at 2:30.
    EXPECT_EQ(boundariesOverDay(RangeHour, 2024, 10, 6), 24);
    EXPECT_EQ(boundariesOverDay(RangeMins15, 2024, 10, 6), 94);
}

TEST(DaylightSaving, KathmanduHoursFallOnItsOwnQuarterHourOffset)
{
    FixedMeasure fixed;
    TzGuard zone("Asia/Kathmandu");
    mRange* hour = rangeAt(RangeHour);
    buildGrids({hour}, utc(2024, 5, 1), 60, 180);
    ASSERT_GE(hour->getNumGridlines(), 2);
    EXPECT_EQ(hour->getGridline(1)->getTs().sec() % 3600, 15 * 60);
    EXPECT_EQ(boundariesOverDay(RangeDay, 1985, 12, 31), 1);
    EXPECT_EQ(boundariesOverDay(RangeMins15, 1986, 1, 1), 95);
}

TEST(DaylightSaving, ApiaDayRowSkipsTheThirtiethOnce)
{
    FixedMeasure fixed;
    TzGuard zone("Pacific/Apia");
    aTs const start = localMidnight(2011, 12, 28);
    aTs const end = localMidnight(2012, 1, 1);
    int const columns = int((end - start).asSeconds() / 300);
    mRange* day = rangeAt(RangeDay);
    buildGrids({day}, start, 300, columns);
    std::vector<int> days;
    for (int i = 1; i < day->getNumGridlines(); ++i)
        if (day->getGridline(i)->getParentPos() > 0)
            days.push_back(day->getGridline(i)->getTs().getDay());
    EXPECT_EQ(days, (std::vector<int>{29, 31, 1}));
}

namespace {

// Which unit of a row a time lies in, as the row's boundary test sees it.
long unitOf(int rangeIndex, aTs const& t)
{
    mLocalFields const f = mLocalFields::of(t);
    switch (rangeIndex) {
    case RangeDay:
        return (long(f.year) * 13 + f.month) * 32 + f.day;
    case RangeWeek:
        return long(f.year) * 54 + f.sundayWeek();
    default:
        return long(f.year) * 13 + f.month;
    }
}

struct ClockGoesBack
{
    char const* zone;
    int rangeIndex;
    double secsPerPixel;
    int year, month, day, hour; // the local time at which the clock goes back
};

// Rows whose unit began in the column before the one that holds the repeated hour.
constexpr ClockGoesBack ClockGoesBackCases[] = {
    {"America/New_York", RangeDay, 5000, 2026, 11, 1, 2},
    {"America/New_York", RangeMonth, 5000, 2026, 11, 1, 2},
    {"America/New_York", RangeDay, 10000, 2026, 11, 1, 2},
    {"America/New_York", RangeWeek, 10000, 2026, 11, 1, 2},
    {"America/New_York", RangeMonth, 10000, 2026, 11, 1, 2},
    {"America/New_York", RangeWeek, 20000, 2026, 11, 1, 2},
    {"America/New_York", RangeMonth, 20000, 2026, 11, 1, 2},
    {"Pacific/Apia", RangeMonth, 50000, 2012, 4, 1, 4},
    {"Pacific/Apia", RangeWeek, 50000, 2012, 4, 1, 4},
};

} // namespace

// At every pan position over the change (the column edges at 25 places within a pixel), each
// day, week and month that begins in the window has exactly one gridline, in the column where
// it begins.
TEST(DaylightSaving, AUnitBegunBeforeTheClockGoesBackHasOneGridline)
{
    FixedMeasure fixed;
    int const columns = 200;
    int const phases = 25;
    for (auto const& c : ClockGoesBackCases) {
        TzGuard zone(c.zone);
        mRange* r = rangeAt(c.rangeIndex);
        aTs change;
        ASSERT_TRUE(change.set(c.year, c.month, c.day, c.hour, 0, 0, 0, 1, 0)) << c.zone;
        for (int k = 0; k < phases; ++k) {
            aTs const start =
                change - aTimeDelta(c.secsPerPixel * (columns / 2 + double(k) / phases));
            buildGrids({r}, start, c.secsPerPixel, columns);
            std::string const what = std::string(c.zone) + " " + r->desc().c() + " at " +
                                     std::to_string(int(c.secsPerPixel)) + " s/px, phase " +
                                     std::to_string(k);
            std::vector<double> expected;
            for (int x = 1; x <= columns; ++x) {
                aTs const t = start + aTimeDelta(c.secsPerPixel * x);
                if (unitOf(c.rangeIndex, t) != unitOf(c.rangeIndex, t - aTimeDelta(c.secsPerPixel)))
                    expected.push_back(x);
            }
            std::vector<double> found;
            for (int i = 1; i < r->getNumGridlines(); ++i)
                if (r->getGridline(i)->getParentPos() >= 1)
                    found.push_back(r->getGridline(i)->getParentPos());
            EXPECT_EQ(found, expected) << what;
        }
    }
}

// The hour the clock repeats starts again, wherever the column edges fall.
TEST(DaylightSaving, NewYorksRepeatedHourKeepsItsGridlineAtEveryPanPosition)
{
    FixedMeasure fixed;
    TzGuard zone("America/New_York");
    aTs const day = localMidnight(2026, 11, 1), next = localMidnight(2026, 11, 2);
    mRange* hour = rangeAt(RangeHour);
    for (double spp : {60.0, 600.0, 1000.0}) {
        for (int k = 0; k < 10; ++k) {
            aTs const start = day - aTimeDelta(spp * (10 + k / 10.0));
            int const columns = int((next - start).asSeconds() / spp) + 10;
            buildGrids({hour}, start, spp, columns);
            int n = 0;
            for (int i = 1; i < hour->getNumGridlines(); ++i) {
                aTs const t = hour->getGridline(i)->getTs();
                n += day <= t && t < next;
            }
            EXPECT_EQ(n, 25) << spp << " s/px, phase " << k;
        }
    }
}
