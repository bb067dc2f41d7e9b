#include "ScaleTestSupport.h"
#include "mRangeSetups.h"

#include <cmath>
#include <limits>

namespace {

// A zoom as the scale applies it: quantised to the small steps.
double applied(double zoom)
{
    aTimeDelta d(zoom);
    timeUnits()->quantizeZoom(d);
    return d.asSeconds();
}

std::string presetFor(double zoom)
{
    mRangeSetups* rss = timeUnits()->getRangeSetupsForZoom(zoom);
    return rss ? std::string(rss->getPresetName().c()) : std::string("<none>");
}

} // namespace

TEST(ZoomPolicy, StepsOutFollowTheSmallStepsThenTheFactorThenMillions)
{
    struct Case { double from, to; } const cases[] = {
        {1e-9, 5e-9}, {5e-9, 10e-9}, {100e-9, 500e-9}, {60, 66}, {686022, 2e6}, {2e6, 3e6}, {6e6, 7.2e6},
        {2e6 / 1.1, 3e6},
    };
    for (auto const& c : cases)
        EXPECT_NEAR(applied(timeUnits()->calcNextZoomOut(c.from, 1.0f)), c.to, c.to * 1e-9) << c.from;
}

TEST(ZoomPolicy, StepsInFollowTheSmallStepsAndKeepTheExactQuotient)
{
    EXPECT_NEAR(applied(timeUnits()->calcNextZoomIn(5e-9, 1.0f)), 1e-9, 1e-18);
    EXPECT_NEAR(timeUnits()->calcNextZoomIn(1e-9, 1.0f), 1e-9 / 1.1, 1e-20);
    EXPECT_NEAR(applied(timeUnits()->calcNextZoomIn(1e-9, 1.0f)), 1e-9, 1e-18);
    EXPECT_EQ(timeUnits()->calcNextZoomIn(2e6, 1.0f), 2e6 / 1.1);
}

TEST(ZoomPolicy, ZoomOutStopsAtTheLimitAndKeepsTheZoom)
{
    EXPECT_EQ(timeUnits()->calcNextZoomOut(9e13, 1.0f), 9e13);
    EXPECT_EQ(timeUnits()->calcNextZoomOut(std::numeric_limits<double>::infinity(), 1.0f),
              std::numeric_limits<double>::infinity());
}

TEST(ZoomPolicy, SmallStepsTableAndSnapping)
{
    timeUnits();
    ASSERT_EQ(tlUnitsTime::ourSmallZooms.size(), 4955u);
    EXPECT_EQ(tlUnitsTime::ourSmallZooms.back().getNanoseconds(), 49990);
    aTimeDelta d(0L, 0L, 123L);
    EXPECT_EQ(timeUnits()->clampZoomToSmallZooms(d), 5);
    EXPECT_EQ(d.getNanoseconds(), 500);
    aTimeDelta big(1.0);
    EXPECT_EQ(timeUnits()->clampZoomToSmallZooms(big), -1);
    EXPECT_EQ(big.asSeconds(), 1.0);
    aTimeDelta negative(-2.0);
    EXPECT_EQ(timeUnits()->clampZoomToSmallZooms(negative), 0);
}

TEST(ZoomPolicy, PicksTheFinestRangeWhoseUnitIsThirtyPixelsWide)
{
    struct Case { double zoom; int index; } const cases[] = {
        {1000, 92}, {120, 88}, {120.5, 92}, {0.0305, 81}, {1.5e-9, 13}, {60, 88}, {1.5, 85}, {1e7, 99}, {1e15, 115},
    };
    for (auto const& c : cases) {
        mRange* r = timeUnits()->pickRangeForZoom(c.zoom);
        ASSERT_NE(r, nullptr) << c.zoom;
        EXPECT_EQ(r->getIndex(), c.index) << c.zoom;
    }
    EXPECT_EQ(timeUnits()->pickRangeForZoom(0), nullptr);
    EXPECT_EQ(timeUnits()->pickRangeForZoom(-5), nullptr);
}

TEST(ZoomPolicy, RangesAndTheirBands)
{
    auto const& ranges = *timeUnits()->getRanges();
    ASSERT_EQ(ranges.size(), 116u);
    EXPECT_DOUBLE_EQ(ranges[81]->getZoomBegin(), 0.03);
    EXPECT_EQ(ranges[89]->getZoomBegin(), ranges[89]->getZoomEnd());
    EXPECT_EQ(std::string(ranges[114]->desc().c()), "mRangeYear[500000000] 8 * 5");
    EXPECT_EQ(ranges[115]->getZoomBegin(), 5.256e14);
}

TEST(ZoomPolicy, PresetNamesForASpreadOfZooms)
{
    struct Case { double zoom; char const* name; } const cases[] = {
        {1e-13, "<none>"},
        {4.9e-09, "PRESET 0.000000 --> 0.000000"},
        {0.003, "PRESET 0.000026 --> 0.007331"},
        {0.2, "PRESET 0.131000 --> 0.338000"},
        {0.4, "PRESET 0.096104 --> 0.585276"},
        {1.0, "PRESET 0.338000 --> 2.800000"},
        {60, "PRESET 12.000000 --> 77.000000"},
        {686022, "3e06 * 1 [0]"},
        {3000000, "6e06 * 1"},
        {5e13, "6e06 * 1e+07"},
        {6e30, "<none>"},
        {std::nan(""), "<none>"},
    };
    for (auto const& c : cases)
        EXPECT_EQ(presetFor(c.zoom), c.name) << c.zoom;
    EXPECT_EQ(tlUnitsTime::ourRangeSetupsPerZoom.size(), 89u);
}

TEST(ZoomPolicy, BandsSelectTheirOwnIntervalsWhereTheyOverlap)
{
    // 0.001 in band 10, 4.9e-9 just above band 1's single-precision end.
    EXPECT_EQ(timeUnits()->getRangeSetupsForZoom(0.001)->getStopZoom(), 0.00212343);
    EXPECT_EQ(timeUnits()->getRangeSetupsForZoom(4.9e-09)->getStopZoom(), 4.9e-08);
}

TEST(ZoomPolicy, GeneratedBandRowsAreKeyedByTheirSecondsPerUnit)
{
    mRangeSetups* rss = timeUnits()->getRangeSetupsForZoom(2e12);
    ASSERT_NE(rss, nullptr);
    EXPECT_EQ(std::string(rss->getPresetName().c()), "3e06 * 1e+06 [6]");
    ASSERT_EQ(rss->rangeSetups().count(rtl::str("1.5768e+14")), 1u);
    mRangeSetup* b0 = rss->getRangeSetup(1.5768e14);
    EXPECT_EQ(std::string(b0->getLabelFormat().c()), "<Y>");
    EXPECT_EQ(b0->getLabelPadL(), 4);
}

TEST(ZoomPolicy, RowKindsSetTheirLooks)
{
    mRangeSetups* band1 = timeUnits()->getRangeSetupsForZoom(1e-10);
    mRangeSetup* a0 = band1->getRangeSetup(86400);
    EXPECT_EQ(std::string(a0->getSpanLabelFormat().c()), "%B <d> %Y ");
    mRangeSetup* c0 = band1->getRangeSetup(1e-08);
    EXPECT_FALSE(c0->getShowLabels());
    EXPECT_EQ(c0->getTickMaxSize(), 4.0f);
}

TEST(ZoomPolicy, SliderFractionOverTheCachedSteps)
{
    float const first = timeUnits()->calcZoomRangeFract(1e-10);
    std::size_t const n = timeUnits()->zoomSteps().size();
    EXPECT_FLOAT_EQ(first, 1.0f / float(n));
    EXPECT_EQ(timeUnits()->calcZoomRangeFract(1e20), 1.0f);
    EXPECT_EQ(timeUnits()->zoomSteps().back(), timeUnits()->zoomSteps()[n - 2]);
}

TEST(ZoomPolicy, NumericPolicyDividesOutAndMultipliesIn)
{
    tlUnitsNumeric numeric(1.1, 0.0, 1e-10);
    EXPECT_EQ(numeric.calcNextZoomOut(1e-10, 1.0f), 1e-10);
    EXPECT_DOUBLE_EQ(numeric.calcNextZoomIn(1, 1.0f), 1.1);
    EXPECT_EQ(numeric.calcNextZoomIn(1e308, 1.0f), std::numeric_limits<double>::max() / 10);
    EXPECT_EQ(numeric.getRangeSetupsForZoom(1), nullptr);
    std::size_t const n = (numeric.calcZoomRangeFract(5), numeric.zoomSteps().size());
    EXPECT_EQ(numeric.calcZoomRangeFract(1e-12), 1.0f / float(n));
    EXPECT_EQ(numeric.calcZoomRangeFract(5), 1.0f);
}

// The header at one minute per pixel (the hour is the anchor): the day heads row 0 alone, the
// six-hour row heads row 1 with the three rows under it stacked at depths 1 to 3.
TEST(ZoomPolicy, HeaderStackingAtOneMinutePerPixel)
{
    std::vector<mRange*> visible;
    mRange* picked = timeUnits()->pickRangeForZoom(60);
    ASSERT_NE(timeUnits()->configureVisibleRangesForZoom(picked, 60, visible), nullptr);
    std::vector<std::string> rows;
    for (mRange* r : visible) {
        rtl::str s;
        s.set("%s row %i depth %i scale %g%s offset %i", r->desc().c(), r->getRow(), r->getStackDepth(),
              double(r->getRowScaleUnits()), r->getPreSubtract() ? " stacked" : "", r->getOffset());
        rows.emplace_back(s.c());
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "mRangeMins15 row 1 depth 3 scale 50 stacked offset -1",
                        "mRangeHour row 1 depth 2 scale 50 stacked offset 0",
                        "mRangeHours row 1 depth 1 scale 50 stacked offset 1",
                        "mRangeHours row 1 depth 0 scale 50 offset 2",
                        "mRangeDay row 0 depth 0 scale 100 offset 4",
                    }));
}

TEST(ZoomPolicy, HeaderStackingAtACoarseZoom)
{
    std::vector<mRange*> visible;
    double const zoom = 4e6;
    timeUnits()->configureVisibleRangesForZoom(timeUnits()->pickRangeForZoom(zoom), zoom, visible);
    ASSERT_EQ(visible.size(), 2u);
    EXPECT_EQ(std::string(visible[0]->desc().c()), "mRangeYear[5] ");
    EXPECT_EQ(visible[0]->getRow(), 0);
    EXPECT_EQ(visible[0]->getStackDepth(), 1);
    EXPECT_TRUE(visible[0]->getPreSubtract());
    EXPECT_EQ(std::string(visible[1]->desc().c()), "mRangeYear[10] 1 * 1");
    EXPECT_EQ(visible[1]->getRow(), 0);
    EXPECT_EQ(visible[1]->getRowScaleUnits(), 50.0f);
}

TEST(ZoomPolicy, WithoutAPresetTheNeighboursStackUnderTheirHeads)
{
    std::vector<mRange*> visible{rangeAt(2), rangeAt(1), rangeAt(0)};
    timeUnits()->stackHeader(visible, nullptr);
    EXPECT_EQ(rangeAt(0)->getRow(), 0);
    EXPECT_EQ(rangeAt(0)->getStackDepth(), 0);
    EXPECT_EQ(rangeAt(1)->getRow(), 0);
    EXPECT_EQ(rangeAt(1)->getStackDepth(), 1);
    EXPECT_EQ(rangeAt(2)->getRow(), 1);
    EXPECT_EQ(rangeAt(2)->getStackDepth(), 0);
    std::vector<mRange*> single{rangeAt(5)};
    timeUnits()->stackHeader(single, nullptr);
    EXPECT_EQ(rangeAt(5)->getRowScaleUnits(), 100.0f);
}
