#include "ScaleTestSupport.h"
#include "mRangeHour.h"
#include "mRangeMonth.h"
#include "mRangeNano.h"
#include "mRangeSecs.h"
#include "mQtFontMeasure.h"
#include "mRangeWeek.h"
#include "mRangeYear.h"

#include <optional>
#include <string>
#include <vector>

namespace {

std::vector<int> weights(mRange const* r)
{
    std::vector<int> out;
    for (int i = 1; i < r->getNumGridlines(); ++i)
        out.push_back(r->getGridline(i)->getWeight());
    return out;
}

std::string label(void (mRangeHour::*f)(mGridline*, double, rtl::str&) const, mRangeHour const* r, aTs t)
{
    mGridline g(1, t, 0, -1);
    rtl::str out;
    (r->*f)(&g, 1.0, out);
    return out.c();
}

std::string schemeText(mRange const* r, int scheme, aTs const& t)
{
    mGridline g(1, t, 0, -1);
    rtl::str out;
    r->labelingSchemes()[static_cast<std::size_t>(scheme)].second(&g, 1.0, out);
    return out.c();
}

aTs localTime(int y, int mo, int d, int h = 0, int mi = 0)
{
    aTs t;
    t.set(y, mo, d, h, mi, 0, 0, -1, 0);
    return t;
}

} // namespace

TEST(Grid, HourRowOverOneDayHasAGridlinePerHourWeightedByItsHour)
{
    TzGuard utcZone("UTC");
    FixedMeasure fixed;
    mRange* hour = rangeAt(RangeHour);
    buildGrids({hour}, utc(2024, 3, 5), 60, 1440);
    ASSERT_EQ(hour->getNumGridlines(), 26);
    EXPECT_EQ(hour->getGridline(1)->getParentPos(), 0);
    EXPECT_EQ(hour->getGridline(25)->getParentPos(), 1440);
    EXPECT_EQ(hour->getGridline(0)->getParentPos(), -60);
    EXPECT_EQ(weights(hour), (std::vector<int>{2, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 2,
                                               0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 2}));
    // The preset row's format at the largest size that fits.
    EXPECT_EQ(hour->getFontSize(), 14);
    EXPECT_EQ(labelsOf(hour)[0], "12am");
    EXPECT_EQ(labelsOf(hour)[13], "1pm");
}

TEST(Grid, AWindowWithoutABoundaryHasOnlyTheLeadingGridline)
{
    TzGuard utcZone("UTC");
    FixedMeasure fixed;
    mRange* day = rangeAt(RangeDay);
    aTs const start = utc(2024, 3, 5, 1);
    buildGrids({day}, start, 60, 600);
    ASSERT_EQ(day->getNumGridlines(), 1);
    EXPECT_EQ(day->getGridline(0)->getParentPos(), 601);
    EXPECT_TRUE(day->getGridline(0)->getTs() == start);
}

// The leading gridline stands for the unit already running at the left edge, which began before
// the window: where a unit is longer than its nominal length (a 31-day month, a leap year) it
// still lies left of the first column, not inside the window where no boundary is.
TEST(Grid, TheLeadingGridlineLiesLeftOfTheWindowForLongUnits)
{
    TzGuard utcZone("UTC");
    FixedMeasure fixed;
    struct Case
    {
        int range;
        aTs start;
        double secsPerPixel;
    } const cases[] = {{RangeMonth, utc(2027, 1, 3), 8640},
                       {RangeYear1, utc(2024, 1, 2, 12), 86400},
                       {RangeHour, utc(2027, 1, 3, 0, 30), 60}};
    for (auto const& c : cases) {
        mRange* r = rangeAt(c.range);
        buildGrids({r}, c.start, c.secsPerPixel, 800);
        ASSERT_GT(r->getNumGridlines(), 1) << r->desc().c();
        EXPECT_LT(r->getGridline(0)->getParentPos(), 0) << r->desc().c();
        EXPECT_LE(r->getGridline(0)->getParentPos(),
                  r->getGridline(1)->getParentPos() - r->getSecondsPerUnit() / c.secsPerPixel)
            << r->desc().c();
    }
    timeUnits()->clearGrids();
}

TEST(Grid, RowsSharingAHeaderRowClaimLabelsOnceAndTicksByIndex)
{
    TzGuard utcZone("UTC");
    FixedMeasure fixed;
    mRange* mins15 = rangeAt(RangeMins15);
    mRange* hour = rangeAt(RangeHour);
    std::vector<mRange*> visible;
    timeUnits()->configureVisibleRangesForZoom(hour, 60, visible);
    buildGrids(visible, utc(2024, 3, 5), 60, 120);
    // Both on row 1: the hour (called first) claims the label at 01:00, the quarter sees it taken.
    mGridline const* quarterAtOne = mins15->getGridline(5);
    ASSERT_EQ(quarterAtOne->getParentPos(), 60);
    EXPECT_TRUE(quarterAtOne->getLabelDone());
    EXPECT_TRUE(quarterAtOne->getTickDone());
    EXPECT_FALSE(hour->getGridline(2)->getLabelDone());
    // The day heads another row: its label at midnight is its own.
    EXPECT_FALSE(rangeAt(RangeDay)->getGridline(1)->getLabelDone());
}

TEST(Grid, BeginningANewGridReplacesTheOldOne)
{
    TzGuard utcZone("UTC");
    FixedMeasure fixed;
    mRange* hour = rangeAt(RangeHour);
    buildGrids({hour}, utc(2024, 3, 5), 60, 1440);
    buildGrids({hour}, utc(2024, 3, 5), 60, 120);
    EXPECT_EQ(hour->getNumGridlines(), 4);
    timeUnits()->clearGrids();
    EXPECT_EQ(hour->getNumGridlines(), 0);
}

TEST(Grid, WeekRowAcrossAYearBoundaryFallsOnSundaysAndTheFirstOfJanuary)
{
    TzGuard utcZone("UTC");
    FixedMeasure fixed;
    mRange* week = rangeAt(RangeWeek);
    buildGrids({week}, utc(2021, 12, 20), 600, 3400);
    std::vector<std::string> days;
    for (int i = 1; i < week->getNumGridlines(); ++i)
        days.emplace_back(week->getGridline(i)->getTs().getStr(false).c());
    EXPECT_EQ(days, (std::vector<std::string>{"2021-12-26 00:00:00", "2022-01-01 00:00:00",
                                              "2022-01-02 00:00:00", "2022-01-09 00:00:00"}));
    EXPECT_EQ(weights(week), (std::vector<int>{0, 0, 0, 0}));
}

TEST(Grid, WeekRoundingGoesBackToMondayAndStops)
{
    TzGuard utcZone("UTC");
    aTs monday = utc(2025, 3, 3, 15);
    rangeAt(RangeWeek)->roundTimeToUnits(monday);
    EXPECT_EQ(std::string(monday.getStr(false).c()), "2025-03-03 00:00:00");
    aTs sunday = utc(2025, 3, 9, 15);
    rangeAt(RangeWeek)->roundTimeToUnits(sunday);
    EXPECT_EQ(std::string(sunday.getStr(false).c()), "2025-03-03 00:00:00");
    TzGuard apia("Pacific/Apia");
    aTs afterTheSkippedDay = localTime(2011, 12, 31, 12);
    rangeAt(RangeWeek)->roundTimeToUnits(afterTheSkippedDay);
    EXPECT_EQ(std::string(afterTheSkippedDay.getStr(false).c()), "2011-12-26 00:00:00");
}

// Months, quarters and half-years over three years of a zone with daylight saving: the units
// begin at local midnight on the first of January, April, July and October (January and July for
// halves), evenly, and a time anywhere in a unit rounds to the same starts.
TEST(Grid, MonthRowsOverThreeYearsBeginOnEvenMonths)
{
    TzGuard berlin("Europe/Berlin");
    FixedMeasure fixed;
    struct Case
    {
        int range, months;
    } const cases[] = {{RangeMonth, 1}, {RangeMonths3, 3}, {RangeMonths6, 6}};
    for (auto const& c : cases) {
        mRange* r = rangeAt(c.range);
        buildGrids({r}, localTime(2025, 1, 1) - aTimeDelta(3600.0), 3600, 3 * 366 * 24);
        std::vector<std::string> found, expected;
        std::vector<int> expectedWeights;
        for (int i = 1; i < r->getNumGridlines(); ++i)
            found.emplace_back(r->getGridline(i)->getTs().getStr(false).c());
        for (int y = 2025; y <= 2028; ++y)
            for (int m = 1; m <= 12; m += c.months)
                if (y < 2028 || m == 1) {
                    expected.emplace_back(localTime(y, m, 1).getStr(false).c());
                    // Months: January major, the other quarters' first months minor.
                    expectedWeights.push_back(c.months > 1 || m == 1 ? 2 : m % 3 == 1 ? 1 : 0);
                }
        EXPECT_EQ(found, expected) << c.months << " months";
        EXPECT_EQ(weights(r), expectedWeights) << c.months << " months";
        for (int m = 1; m <= 12; ++m) {
            aTs t = localTime(2026, m, 17, 15, 30);
            r->roundTimeToUnits(t);
            int const start = m - (m - 1) % c.months;
            EXPECT_EQ(std::string(t.getStr(false).c()),
                      std::string(localTime(2026, start, 1).getStr(false).c()))
                << c.months << " months, month " << m;
        }
    }
    timeUnits()->clearGrids();
}

TEST(Grid, HourLabelsOnTheTwelveHourClock)
{
    TzGuard utcZone("UTC");
    auto const* hour = static_cast<mRangeHour const*>(rangeAt(RangeHour));
    EXPECT_EQ(label(&mRangeHour::label0, hour, utc(2024, 1, 1, 0)), "12");
    EXPECT_EQ(label(&mRangeHour::label1, hour, utc(2024, 1, 1, 12)), "12pm");
    EXPECT_EQ(label(&mRangeHour::label2, hour, utc(2024, 1, 1, 15)), " 3 pm");
}

TEST(Grid, DayWeekMonthAndYearLabelsUseTheLocaleNames)
{
    TzGuard utcZone("UTC");
    aTs const monday = utc(2025, 3, 3, 10);
    mRange const* day = rangeAt(RangeDay);
    EXPECT_EQ(schemeText(day, 0, monday), "Monday, March 3rd");
    EXPECT_EQ(schemeText(rangeAt(RangeWeek), 1, monday), "Mar 3");
    EXPECT_EQ(schemeText(rangeAt(RangeMonth), 0, monday), "March");
    mRange const* year = rangeAt(RangeYear1);
    EXPECT_EQ(schemeText(year, 1, utc(2005, 6, 1)), "5");
    EXPECT_EQ(schemeText(year, 1, utc(1999, 6, 1)), "99");
    EXPECT_EQ(schemeText(year, 1, utc(2000, 6, 1)), "0");
}

TEST(Grid, YearLabelsRoundToTheUnitAndShortenWithKAndM)
{
    TzGuard utcZone("UTC");
    auto const* fives = static_cast<mRangeYear const*>(rangeAt(RangeYear5));
    auto const* ones = static_cast<mRangeYear const*>(rangeAt(RangeYear1));
    EXPECT_EQ(std::string(fives->yearLabel(utc(2012, 6, 1)).c()), "2010");
    EXPECT_EQ(std::string(fives->yearLabel(utc(2013, 6, 1)).c()), "2015");
    EXPECT_EQ(std::string(ones->yearLabel(localTime(45000, 1, 1)).c()), "45k");
    EXPECT_EQ(std::string(ones->yearLabel(localTime(-3000000, 1, 1)).c()), "-3M");
    EXPECT_EQ(std::string(ones->yearLabel(localTime(0, 6, 1)).c()), "0");
}

TEST(Grid, NumericRowTruncatesTowardZero)
{
    tlUnitsNumeric numeric(1.1, 0.0, 1e-10);
    mRange* r = (*numeric.getRanges())[0];
    EXPECT_TRUE(r->timesSpanAGridline(aTs(-1.2), aTs(-0.9), 0.3));
    EXPECT_FALSE(r->timesSpanAGridline(aTs(-0.5), aTs(0.5), 1.0));
    EXPECT_TRUE(r->timesSpanAGridline(aTs(0.9), aTs(1.1), 0.2));
    mGridline g(1, aTs(-0.5), 0, -1);
    rtl::str text;
    r->labelingSchemes()[0].second(&g, 1.0, text);
    EXPECT_EQ(std::string(text.c()), " 0");
}

TEST(Grid, NanoUnitsThatDoNotDivideTheSecondRestartEachSecond)
{
    TzGuard utcZone("UTC");
    FixedMeasure fixed;
    mRangeNano nano(300000000, timeUnits(), 0, 0, 1, true);
    // Columns of 0.1 s over two seconds.
    buildGrids({&nano}, aTs(100.0), 0.1, 20);
    std::vector<long> ns;
    for (int i = 1; i < nano.getNumGridlines(); ++i)
        ns.push_back(nano.getGridline(i)->getTs().nsec());
    EXPECT_EQ(ns, (std::vector<long>{0, 300000000, 600000000, 900000000, 0, 300000000, 600000000, 900000000, 0}));
}

// Before 1970 the stored seconds and nanoseconds are both negative; the rows follow the second the
// clock shows (-0.25 s is 23:59:59.75), as they do after 1970.
TEST(Grid, RowsJustBefore1970FallOnTheClocksSecondsAndQuarters)
{
    TzGuard utcZone("UTC");
    FixedMeasure fixed;
    mRangeSecs quarter(0.25, timeUnits(), 0, 0, 1, true);
    mRangeNano quarterNanos(250000000, timeUnits(), 0, 0, 1, true);
    struct Case
    {
        mRange* row;
        std::vector<long> at; // ms since 1970
    } const cases[] = {
        {rangeAt(RangeSecs1), {-1000, 0}},
        {&quarter, {-1000, -750, -500, -250, 0, 250}},
        {&quarterNanos, {-1000, -750, -500, -250, 0, 250}},
    };
    for (auto const& c : cases) {
        // Columns of 0.05 s from -1.05 s.
        buildGrids({c.row}, aTs(-1L, -50000000L), 0.05, 30);
        std::vector<long> ms;
        for (int i = 1; i < c.row->getNumGridlines(); ++i) {
            aTs const& t = c.row->getGridline(i)->getTs();
            ms.push_back(t.sec() * 1000 + t.nsec() / 1000000);
        }
        EXPECT_EQ(ms, c.at) << c.row->desc().c();
    }
}

TEST(Grid, LabelsJustBefore1970ReadTheClock)
{
    TzGuard utcZone("UTC");
    mRangeSecs quarter(0.25, timeUnits(), 0, 0, 1, true);
    mRangeNano nanos(1, timeUnits(), 0, 0, 1, true);
    aTs const quarterBefore(-0.25);
    for (bool const kept : {false, true}) {
        // Remembered fields (a grid build) and fresh ones read the same clock.
        std::optional<mLocalFields::Scope> scope;
        if (kept)
            scope.emplace();
        mLocalFields const f = mLocalFields::of(quarterBefore);
        EXPECT_EQ(f.year, 1969) << kept;
        EXPECT_EQ(f.minute, 59) << kept;
        EXPECT_EQ(f.second, 59) << kept;
        EXPECT_EQ(f.ns, 750000000) << kept;
        EXPECT_EQ(schemeText(&quarter, 0, quarterBefore), "59.75") << kept;
        EXPECT_EQ(schemeText(&nanos, 0, quarterBefore), "750000000") << kept;
        EXPECT_EQ(schemeText(rangeAt(RangeSecs1), 0, quarterBefore), "59") << kept;
        EXPECT_EQ(schemeText(&quarter, 0, aTs(-1.0)), "59") << kept;
    }
}

// Rounding to a unit goes back to the unit's start, before 1970 as after.
TEST(Grid, NanoRoundingGoesBackToTheUnitsStart)
{
    mRangeNano tenth(100000000, timeUnits(), 0, 0, 1, true);
    aTs after(1L, 270000000L), before(-1L, -730000000L);
    tenth.roundTimeToUnits(after);
    tenth.roundTimeToUnits(before);
    EXPECT_EQ(after.nsec(), 200000000);
    EXPECT_EQ(before.sec(), -1);
    EXPECT_EQ(before.nsec(), -800000000);
}

TEST(Grid, SchemesFitTheLargestSizeFirstThenTheEarliestScheme)
{
    TzGuard utcZone("UTC");
    FixedMeasure narrow(2);
    mRange* hour = rangeAt(RangeHour);
    // 200 s per pixel: no preset row for the hour, so its own schemes; 18 pixels per hour.
    buildGrids({hour}, utc(2024, 3, 5), 200, 432);
    EXPECT_EQ(hour->getRangeSetup(), nullptr);
    EXPECT_EQ(hour->getFontSize(), 14);
    EXPECT_EQ(labelsOf(hour)[0], "12");
    EXPECT_EQ(hour->getLabelHAlign(), -1);
    hour->setMaxFontSize(10);
    buildGrids({hour}, utc(2024, 3, 5), 200, 432);
    hour->setMaxFontSize(14);
    EXPECT_EQ(hour->getFontSize(), 10);
    EXPECT_EQ(labelsOf(hour)[0], "12am");
    EXPECT_EQ(hour->getMaxLabelW(), 8);
    EXPECT_EQ(hour->getMaxLabelH(), 10);
}

TEST(Grid, LabelsThatFitNowhereLeaveTheRowUnlabelled)
{
    TzGuard utcZone("UTC");
    FixedMeasure wide(100);
    mRange* hour = rangeAt(RangeHour);
    buildGrids({hour}, utc(2024, 3, 5), 200, 432);
    EXPECT_EQ(hour->getFontSize(), -1);
    EXPECT_EQ(labelsOf(hour)[0], "");
}

TEST(Grid, APresetLabelThatFitsNowhereTakesTheSmallestSize)
{
    TzGuard utcZone("UTC");
    FixedMeasure wide(100);
    mRange* hour = rangeAt(RangeHour);
    buildGrids({hour}, utc(2024, 3, 5), 60, 120);
    EXPECT_EQ(hour->getFontSize(), hour->getMinFontSize());
    EXPECT_EQ(labelsOf(hour)[0], "12am");
}

TEST(Grid, TheToolkitsMetricsMeasureAndKeepWidths)
{
    mQtFontMeasure metrics;
    int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    metrics.measure(rtl::str("Gil Sans"), 12, "March 2024", w1, h1);
    metrics.measure(rtl::str("Gil Sans"), 12, "March 2024", w2, h2);
    metrics.measure(rtl::str("Gil Sans"), 12, "M", w2, h2);
    EXPECT_GT(w1, w2);
    EXPECT_GT(h1, 0);
    EXPECT_EQ(metrics.keptCount(), 2u);
}
