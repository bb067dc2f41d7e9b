#include "ScaleTestSupport.h"
#include "mRangeHour.h"
#include "mRangeSetup.h"

#include <cstdio>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string printed(char const* format, double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// One calendar range as the zoom policy must make it.
struct RangeSpec
{
    std::string desc;
    double secsPerUnit, zoomBegin, zoomEnd;
    std::vector<float> schemePcts;
};

// The 116 calendar ranges, finest first: units, bands (a unit 30 pixels wide ends a band), and
// the percentages of their labeling schemes.
std::vector<RangeSpec> calendarRanges()
{
    std::vector<RangeSpec> out;
    double prev = 0; // the running unit, in seconds
    auto next = [&](std::string desc, double unit, std::vector<float> pcts) {
        out.push_back({std::move(desc), unit, prev / 30, unit / 30, std::move(pcts)});
        prev = unit;
    };
    long p = 1;
    for (int e = 0; e <= 8; ++e, p *= 10)
        for (long k = 1; k <= 9; ++k)
            next("mRangeNano[" + std::to_string(k * p) + "]", double(k * p) / 1e9, {60});
    for (int s : {1, 5, 15, 30})
        next("mRangeSecs[" + std::to_string(s) + "]", s, {50});
    next("mRangeMins1", 60, {20});
    next("mRangeMins5", 300, {20});
    next("mRangeMins15", 900, {20});
    std::vector<float> const hourPcts = {35, 50, 50, 80}; // the 12-hour clock's schemes
    next("mRangeHour", 3600, hourPcts);
    for (int h : {3, 6, 12})
        out.push_back({"mRangeHours", h * 3600.0, 120, 120, hourPcts});
    next("mRangeDay", 86400, {20, 25, 35, 40, 80});
    next("mRangeWeek", 604800, {40, 60, 80});
    next("mRangeMonth", 2419200, {80, 80});
    for (int m : {3, 6})
        out.push_back({"mRangeMonths", m * 2419200.0, 80640, 80640, {80, 80}});
    out.push_back({"mRangeYear[1] ", 31536000, 80640, 1051200, {50, 80}});
    out.push_back({"mRangeYear[5] ", 5 * 31536000.0, 1051200, 5256000, {50, 80}});
    double years = 5;
    double power = 1;
    for (int e = 1; e <= 8; ++e) {
        power *= 10;
        for (int k : {1, 5}) {
            std::string const note = std::to_string(e) + " * " + std::to_string(k);
            out.push_back({"mRangeYear[" + printed("%.0f", k * power) + "] " + note,
                           k * power * 31536000,
                           years * 1051200,
                           k * power * 1051200,
                           {50, 80}});
            years = k * power;
        }
    }
    out.push_back({"mRangeYear[500000000] ",
                   5e8 * 31536000,
                   5.256e14,
                   std::numeric_limits<double>::max(),
                   {50, 80}});
    return out;
}

std::string weighed(mRange const* r, int i)
{
    mGridline const* g = r->getGridline(i);
    return std::string(g->getTs().getStr(false).c()) +
           printed(".%09.0f", double(g->getTs().nsec())) + " w" + std::to_string(g->getWeight());
}

std::string at(aTs const& t, int weight)
{
    return std::string(t.getStr(false).c()) + printed(".%09.0f", double(t.nsec())) + " w" +
           std::to_string(weight);
}

// Gridlines every `step` seconds from `from` to `to`, weighed by the rule given the time.
std::vector<std::string> every(aTs from, aTs to, aTimeDelta step,
                               std::function<int(aTs const&)> weight)
{
    std::vector<std::string> out;
    for (aTs t = from; t <= to; t = t + step)
        out.push_back(at(t, weight(t)));
    return out;
}

mRange* nanoRange(long ns)
{
    int e = 0;
    while (ns >= 10) {
        ns /= 10;
        ++e;
    }
    return rangeAt(e * 9 + int(ns) - 1);
}

} // namespace

TEST(RangeKinds, EveryCalendarRangeHasItsUnitBandAndSchemes)
{
    std::vector<RangeSpec> const expected = calendarRanges();
    auto const& ranges = *timeUnits()->getRanges();
    ASSERT_EQ(ranges.size(), expected.size());
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        mRange const* r = ranges[i];
        RangeSpec const& e = expected[i];
        SCOPED_TRACE("range " + std::to_string(i) + " " + e.desc);
        EXPECT_EQ(r->getIndex(), int(i));
        EXPECT_EQ(std::string(r->desc().c()), e.desc);
        EXPECT_DOUBLE_EQ(r->getSecondsPerUnit(), e.secsPerUnit);
        EXPECT_DOUBLE_EQ(r->getZoomBegin(), e.zoomBegin);
        EXPECT_DOUBLE_EQ(r->getZoomEnd(), e.zoomEnd);
        std::vector<float> pcts;
        for (auto const& s : r->labelingSchemes())
            pcts.push_back(s.first);
        EXPECT_EQ(pcts, e.schemePcts);
    }
    // The numeric policy's one range: plain numbers from its smallest zoom to its largest (none
    // given: the largest double over ten).
    tlUnitsNumeric numeric(1.1, 0.0, 1e-10);
    ASSERT_EQ(numeric.getRanges()->size(), 1u);
    mRange const* number = (*numeric.getRanges())[0];
    EXPECT_EQ(number->getIndex(), 0);
    EXPECT_EQ(std::string(number->desc().c()), "mRangeNumeric");
    EXPECT_EQ(number->getSecondsPerUnit(), 1.0);
    EXPECT_EQ(number->getZoomBegin(), 1e-10);
    EXPECT_EQ(number->getZoomEnd(), std::numeric_limits<double>::max() / 10);
    ASSERT_EQ(number->labelingSchemes().size(), 1u);
    EXPECT_EQ(number->labelingSchemes()[0].first, 50.0f);
}

// Weights: 2 major, 1 minor, 0 plain, each kind by its own calendar rule, over a day (the sub-day
// kinds; the hour's are checked with its grid), a month (days and weeks) and a decade (months and
// years).
TEST(RangeKinds, RowWeightsOverADayAMonthAndADecade)
{
    TzGuard utcZone("UTC");
    FixedMeasure fixed;
    aTs const day = utc(2024, 3, 5), nextDay = utc(2024, 3, 6);
    auto minute = [](aTs const& t) { return t.getMin(); };
    auto second = [](aTs const& t) { return t.getSec(); };
    struct Case
    {
        char const* what;
        mRange* range;
        aTs start;
        double secsPerPixel;
        int columns;
        std::vector<std::string> expected;
    } const cases[] = {
        {"100 ms over two seconds", nanoRange(100000000), utc(2024, 3, 5, 10), 0.01, 200,
         every(utc(2024, 3, 5, 10), utc(2024, 3, 5, 10, 0, 2), aTimeDelta(0.1),
               [](aTs const& t) {
                   return t.nsec() % 1000000000 == 0 ? 2 : (t.nsec() % 500000000 == 0 ? 1 : 0);
               })},
        {"1 s over an hour", rangeAt(RangeSecs1), utc(2024, 3, 5, 10), 1, 3600,
         every(utc(2024, 3, 5, 10), utc(2024, 3, 5, 11), aTimeDelta(1.0),
               [&](aTs const& t) { return second(t) % 10 == 0 ? 2 : 1; })},
        {"5 s over an hour", rangeAt(RangeSecs5), utc(2024, 3, 5, 10), 1, 3600,
         every(utc(2024, 3, 5, 10), utc(2024, 3, 5, 11), aTimeDelta(5.0),
               [&](aTs const& t) { return second(t) % 50 == 0 ? 2 : 1; })},
        {"15 s over an hour", rangeAt(RangeSecs15), utc(2024, 3, 5, 10), 1, 3600,
         every(utc(2024, 3, 5, 10), utc(2024, 3, 5, 11), aTimeDelta(15.0),
               [&](aTs const& t) { return second(t) == 0 ? 2 : 1; })},
        {"30 s over an hour", rangeAt(RangeSecs30), utc(2024, 3, 5, 10), 1, 3600,
         every(utc(2024, 3, 5, 10), utc(2024, 3, 5, 11), aTimeDelta(30.0),
               [&](aTs const& t) { return second(t) == 0 ? 2 : 1; })},
        {"1 min over a day", rangeAt(RangeMins1), day, 60, 1440,
         every(day, nextDay, aTimeDelta(60.0),
               [&](aTs const& t) { return minute(t) % 10 == 0 ? 2 : 0; })},
        {"5 min over a day", rangeAt(RangeMins5), day, 60, 1440,
         every(day, nextDay, aTimeDelta(300.0),
               [&](aTs const& t) {
                   return minute(t) % 30 == 0 ? 2 : (minute(t) % 15 == 0 ? 1 : 0);
               })},
        {"15 min over a day", rangeAt(RangeMins15), day, 60, 1440,
         every(day, nextDay, aTimeDelta(900.0),
               [&](aTs const& t) { return minute(t) == 0 ? 2 : 0; })},
        {"3 hours over a day", rangeAt(RangeHours3), day, 60, 1440,
         every(day, nextDay, aTimeDelta(3 * 3600.0), [](aTs const&) { return 2; })},
        {"6 hours over a day", rangeAt(RangeHours6), day, 60, 1440,
         every(day, nextDay, aTimeDelta(6 * 3600.0), [](aTs const&) { return 2; })},
        {"12 hours over a day", rangeAt(RangeHours12), day, 60, 1440,
         every(day, nextDay, aTimeDelta(12 * 3600.0), [](aTs const&) { return 2; })},
        // March 2024 begins on a Friday; the 1st is major, Mondays and Saturdays minor.
        {"day over a month",
         rangeAt(RangeDay),
         utc(2024, 3, 1),
         3600,
         31 * 24,
         {at(utc(2024, 3, 1), 2),  at(utc(2024, 3, 2), 1),  at(utc(2024, 3, 3), 0),
          at(utc(2024, 3, 4), 1),  at(utc(2024, 3, 5), 0),  at(utc(2024, 3, 6), 0),
          at(utc(2024, 3, 7), 0),  at(utc(2024, 3, 8), 0),  at(utc(2024, 3, 9), 1),
          at(utc(2024, 3, 10), 0), at(utc(2024, 3, 11), 1), at(utc(2024, 3, 12), 0),
          at(utc(2024, 3, 13), 0), at(utc(2024, 3, 14), 0), at(utc(2024, 3, 15), 0),
          at(utc(2024, 3, 16), 1), at(utc(2024, 3, 17), 0), at(utc(2024, 3, 18), 1),
          at(utc(2024, 3, 19), 0), at(utc(2024, 3, 20), 0), at(utc(2024, 3, 21), 0),
          at(utc(2024, 3, 22), 0), at(utc(2024, 3, 23), 1), at(utc(2024, 3, 24), 0),
          at(utc(2024, 3, 25), 1), at(utc(2024, 3, 26), 0), at(utc(2024, 3, 27), 0),
          at(utc(2024, 3, 28), 0), at(utc(2024, 3, 29), 0), at(utc(2024, 3, 30), 1),
          at(utc(2024, 3, 31), 0), at(utc(2024, 4, 1), 2)}},
        {"week over a month",
         rangeAt(RangeWeek),
         utc(2024, 3, 1),
         3600,
         31 * 24,
         {at(utc(2024, 3, 3), 0), at(utc(2024, 3, 10), 0), at(utc(2024, 3, 17), 0),
          at(utc(2024, 3, 24), 0), at(utc(2024, 3, 31), 0)}},
        {"month over a decade", rangeAt(RangeMonth), utc(2020, 1, 1), 86400, 3653,
         [&] {
             std::vector<std::string> v;
             for (int y = 2020; y <= 2030; ++y)
                 for (int m = 1; m <= (y == 2030 ? 1 : 12); ++m)
                     v.push_back(
                         at(utc(y, m, 1), m == 1 ? 2 : (m == 4 || m == 7 || m == 10 ? 1 : 0)));
             return v;
         }()},
        {"3 months over a decade", rangeAt(RangeMonths3), utc(2020, 1, 1), 86400, 3653,
         [&] {
             std::vector<std::string> v;
             for (int y = 2020; y <= 2030; ++y)
                 for (int m : {1, 4, 7, 10})
                     if (y < 2030 || m == 1)
                         v.push_back(at(utc(y, m, 1), 2));
             return v;
         }()},
        {"6 months over a decade", rangeAt(RangeMonths6), utc(2020, 1, 1), 86400, 3653,
         [&] {
             std::vector<std::string> v;
             for (int y = 2020; y <= 2030; ++y)
                 for (int m : {1, 7})
                     if (y < 2030 || m == 1)
                         v.push_back(at(utc(y, m, 1), 2));
             return v;
         }()},
        {"year over a decade", rangeAt(RangeYear1), utc(2020, 1, 1), 86400, 3653,
         [&] {
             std::vector<std::string> v;
             for (int y = 2020; y <= 2030; ++y)
                 v.push_back(at(utc(y, 1, 1), y % 10 == 0 ? 2 : (y % 5 == 0 ? 1 : 0)));
             return v;
         }()},
        {"5 years over a decade",
         rangeAt(RangeYear5),
         utc(2020, 1, 1),
         86400,
         3653,
         {at(utc(2020, 1, 1), 2), at(utc(2025, 1, 1), 1), at(utc(2030, 1, 1), 2)}},
        {"10 years over a decade",
         rangeAt(RangeYear10),
         utc(2020, 1, 1),
         86400,
         3653,
         {at(utc(2020, 1, 1), 2), at(utc(2030, 1, 1), 2)}},
    };
    for (auto const& c : cases) {
        buildGrids({c.range}, c.start, c.secsPerPixel, c.columns);
        std::vector<std::string> got;
        for (int i = 1; i < c.range->getNumGridlines(); ++i)
            got.push_back(weighed(c.range, i));
        EXPECT_EQ(got, c.expected) << c.what;
    }
    timeUnits()->clearGrids();
}

// Ticks of the sub-day kinds are shaded by day (7 to 18 h: white under black) and night (black
// under white); numbers always black under white; the coarser kinds do not shade.
TEST(RangeKinds, TickColoursByDayAndNight)
{
    TzGuard utcZone("UTC");
    struct Colour
    {
        bool shaded;
        int r, g, b, a;
        bool operator==(Colour const&) const = default;
    };
    Colour const white {true, 255, 255, 255, 255}, black {true, 0, 0, 0, 255},
        untouched {false, 7, 7, 7, 7};
    tlUnitsNumeric numeric(1.1, 0.0, 1e-10);
    struct Case
    {
        mRange* range;
        bool dayNight;
    } const cases[] = {
        {nanoRange(1), true},          {nanoRange(500000000), true},   {rangeAt(RangeSecs1), true},
        {rangeAt(RangeSecs30), true},  {rangeAt(RangeMins1), true},    {rangeAt(RangeMins5), true},
        {rangeAt(RangeMins15), true},  {rangeAt(RangeHour), true},     {rangeAt(RangeHours3), true},
        {rangeAt(RangeHours12), true}, {rangeAt(RangeDay), false},     {rangeAt(RangeWeek), false},
        {rangeAt(RangeMonth), false},  {rangeAt(RangeMonths3), false}, {rangeAt(RangeYear1), false},
        {rangeAt(115), false},
    };
    for (int hour : {0, 6, 7, 12, 18, 19, 23}) {
        mGridline g(1, utc(2024, 3, 5, hour, 30), 0, -1);
        bool const isDay = hour >= 7 && hour <= 18;
        for (auto const& c : cases) {
            Colour bg = untouched, fg = untouched;
            bg.shaded = c.range->calcTickBgColor(&g, 60, bg.r, bg.g, bg.b, bg.a);
            fg.shaded = c.range->calcTickFgColor(&g, 60, fg.r, fg.g, fg.b, fg.a);
            EXPECT_EQ(bg, c.dayNight ? (isDay ? white : black) : untouched)
                << c.range->desc().c() << " " << hour;
            EXPECT_EQ(fg, c.dayNight ? (isDay ? black : white) : untouched)
                << c.range->desc().c() << " " << hour;
        }
        Colour bg = untouched, fg = untouched;
        mRange* number = (*numeric.getRanges())[0];
        bg.shaded = number->calcTickBgColor(&g, 60, bg.r, bg.g, bg.b, bg.a);
        fg.shaded = number->calcTickFgColor(&g, 60, fg.r, fg.g, fg.b, fg.a);
        EXPECT_EQ(bg, black) << hour;
        EXPECT_EQ(fg, white) << hour;
    }
}

// Within one column the first range called claims the tick (by its index) and the label (by its
// header row); later ranges see them taken, except the range of index 0 for ticks and ranges of
// other rows for labels. Rows that show no ticks or labels claim none.
TEST(RangeKinds, TickAndLabelOwnershipOfAColumn)
{
    TzGuard utcZone("UTC");
    struct Claimant
    {
        int index, row;
        bool look, showTick, showLabels;
    };
    struct Seen
    {
        bool tickDone, labelDone;
        bool operator==(Seen const&) const = default;
    };
    struct Case
    {
        char const* what;
        Claimant first, second;
        Seen firstSees, secondSees;
        int tickOwner, labelOwner; // -2: unclaimed
    } const cases[] = {
        {"same row",
         {88, 1, true, true, true},
         {87, 1, true, true, true},
         {false, false},
         {true, true},
         88,
         1},
        {"other rows",
         {88, 0, true, true, true},
         {87, 1, true, true, true},
         {false, false},
         {true, false},
         88,
         1},
        {"index 0",
         {88, 0, true, true, true},
         {0, 0, true, true, true},
         {false, false},
         {false, true},
         0,
         0},
        {"no ticks",
         {88, 1, true, false, true},
         {87, 1, true, true, true},
         {false, false},
         {false, true},
         87,
         1},
        {"no labels",
         {88, 1, true, true, false},
         {87, 1, true, true, true},
         {false, false},
         {true, false},
         88,
         1},
        {"neither",
         {88, 1, true, false, false},
         {87, 2, true, false, false},
         {false, false},
         {false, false},
         -2,
         -2},
        {"without a look",
         {88, 1, false, false, false},
         {87, 1, true, true, true},
         {false, false},
         {true, true},
         88,
         1},
    };
    aTimeDelta const zoom(60.0);
    aTs const t = utc(2024, 3, 5, 1);
    for (auto const& c : cases) {
        mRange::LabelOwners labels;
        mRange::TickOwners ticks;
        std::vector<Seen> seen;
        for (Claimant const& who : {c.first, c.second}) {
            mRangeHour range(timeUnits(), who.index, 30, 120, false);
            range.setRow(who.row);
            rtl::ref<mRangeSetup> look(new mRangeSetup);
            look->setShowTick(who.showTick);
            look->setShowLabels(who.showLabels);
            range.beginGrid(t, t + zoom * 10, zoom, 0, 10);
            range.setRangeSetup(who.look ? look.get() : nullptr);
            range.checkBuildGridline(t - zoom, t, zoom, 5, labels, ticks);
            ASSERT_EQ(range.getNumGridlines(), 2) << c.what;
            seen.push_back(
                {range.getGridline(1)->getTickDone(), range.getGridline(1)->getLabelDone()});
            range.clearGrid();
        }
        EXPECT_EQ(seen[0], c.firstSees) << c.what;
        EXPECT_EQ(seen[1], c.secondSees) << c.what;
        EXPECT_EQ(ticks.count(5) ? ticks[5] : -2, c.tickOwner) << c.what;
        EXPECT_EQ(labels.count(5) ? labels[5] : -2, c.labelOwner) << c.what;
    }
}

// Labels wider than half a unit are centred (alignment 0); up to exactly half they keep the
// default (-1). The hour's own schemes at one size, 5 pixels a character: "12" is 10 pixels.
TEST(RangeKinds, LabelsWiderThanHalfAUnitAreCentred)
{
    TzGuard utcZone("UTC");
    FixedMeasure fixed(5);
    struct Case
    {
        double secsPerPixel; // 3600 / this is the unit's width in pixels
        int hAlign;
    } const cases[] = {{175, -1}, {180, -1}, {180.5, 0}, {200, 0}};
    for (auto const& c : cases) {
        mRangeHour hour(timeUnits(), 88, 30, 120, false);
        hour.setMaxFontSize(10);
        hour.setMinFontSize(10);
        buildGrids({&hour}, utc(2024, 3, 5), c.secsPerPixel, int(86400 / c.secsPerPixel));
        ASSERT_EQ(hour.getRangeSetup(), nullptr) << c.secsPerPixel;
        EXPECT_EQ(hour.getFontSize(), 10) << c.secsPerPixel;
        EXPECT_EQ(hour.getMaxLabelW(), 10) << c.secsPerPixel;
        EXPECT_EQ(hour.getLabelHAlign(), c.hAlign) << c.secsPerPixel;
        hour.clearGrid();
    }
}
