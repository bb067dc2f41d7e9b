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

// Where the clock goes back (New York's fall, Apia's April), at every pan position over the change
// (column edges at 25 places within a pixel), each row has exactly one gridline per unit that
// begins in the window, in the column where it begins: none again one pixel on for a unit begun
// before the step, and the repeated hour its own.
TEST(DaylightSaving, EachUnitBegunAroundTheClockGoingBackHasOneGridline)
{
    FixedMeasure fixed;
    struct Change
    {
        char const* zone;
        long utc; // the first second the clock shows after going back
        std::vector<double> secsPerPixel;
    };
    for (Change const& c : {Change {"America/New_York", 1793512800, {600, 5000, 10000, 20000}},
                            Change {"Pacific/Apia", 1333202400, {50000}}}) {
        TzGuard zone(c.zone);
        // The unit a time lies in, as the rows see it: the hour with its offset.
        auto unit = [](int row, aTs const& t) {
            mLocalFields const f = mLocalFields::of(t);
            long const month = long(f.year) * 13 + f.month, day = month * 32 + f.day;
            return row == RangeHour   ? (day * 24 + f.hour) * 100000 + f.gmtOffset
                   : row == RangeDay  ? day
                   : row == RangeWeek ? f.year * 54L + f.sundayWeek()
                                      : month;
        };
        for (double spp : c.secsPerPixel)
            for (int row : {RangeHour, RangeDay, RangeWeek, RangeMonth})
                for (int k = 0; k < 25; ++k) {
                    aTs const start = aTs(double(c.utc)) - aTimeDelta(spp * (100 + k / 25.0));
                    buildGrids({rangeAt(row)}, start, spp, 200);
                    std::vector<double> expected, found;
                    for (int x = 1; x <= 200; ++x)
                        if (unit(row, start + aTimeDelta(spp * x)) !=
                            unit(row, start + aTimeDelta(spp * (x - 1))))
                            expected.push_back(x);
                    for (int i = 1; i < rangeAt(row)->getNumGridlines(); ++i)
                        if (rangeAt(row)->getGridline(i)->getParentPos() >= 1)
                            found.push_back(rangeAt(row)->getGridline(i)->getParentPos());
                    EXPECT_EQ(found, expected)
                        << c.zone << " row " << row << ", " << spp << " s/px, phase " << k;
                }
    }
}
