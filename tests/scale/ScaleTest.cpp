#include "ScaleTestSupport.h"
#include "mScale.h"

#include <cmath>
#include <functional>
#include <memory>

namespace {

// A numeric scale over parent [100, 600) showing [start, end], brought up to date.
struct NumericScale
{
    NumericScale(double start = 0, double end = 10, bool clamps = false)
    {
        s.setNumericUnits();
        s.setHasMinValue(clamps);
        s.setHasMaxValue(clamps);
        s.setParentPos(100);
        s.setParentSize(500);
        s.zoomToLocalRange(start, end, 1.0f);
    }
    void window(double start, double end)
    {
        s.setVisStart(start);
        s.setVisEnd(end);
    }
    double start() const { return s.getVisStart().asSeconds(); }
    double end() const { return s.getVisEnd().asSeconds(); }
    mScale s;
};

// A time scale of a 1,600-pixel axis at one minute per pixel, laid out from a UTC time.
struct TimeScale
{
    TimeScale()
    {
        s.setTimeUnits();
        s.setParentPos(0);
        s.setParentSize(1600);
        s.zoomToLocalRange(utc(2024, 3, 5), utc(2024, 3, 5) + aTimeDelta(60.0 * 1600), 1.0f);
        s.reconfig();
    }
    TzGuard zone {"UTC"};
    FixedMeasure fixed;
    mScale s;
};

} // namespace

TEST(Scale, MapsValuesToPixelsAndBack)
{
    NumericScale n;
    n.s.reconfig();
    EXPECT_EQ(n.s.localToParent(5.0), 350.0);
    EXPECT_EQ(n.s.parentToLocal(350).asSeconds(), 5.0);
    n.window(3, 3);
    n.s.setNeedsReconfig(false);
    EXPECT_EQ(n.s.localToParent(7.0), 100.0);
}

TEST(Scale, AZeroParentSizeMapsEveryPositionToTheStart)
{
    NumericScale n(2, 4);
    n.s.setParentSize(0);
    EXPECT_EQ(n.s.parentToLocal(250).asSeconds(), n.start());
}

TEST(Scale, TimeMappingKeepsTheNanosecond)
{
    TimeScale t;
    t.s.setZoom(1e-9);
    t.s.reconfig();
    aTs const at = t.s.parentToLocal(800);
    EXPECT_NEAR(t.s.localToParent(at), 800.0, 1e-6);
    aTs const next = t.s.parentToLocal(801);
    EXPECT_EQ((next - at).getNanoseconds(), 1);
    // A billion years on, where a count of seconds has no exact double.
    aTs const far(36028797018963969L, 0L); // 2^55 + 1
    t.s.setVisStart(far);
    t.s.setVisEnd(far + aTimeDelta(1600e-9));
    EXPECT_TRUE(t.s.parentToLocal(0) == far);
    EXPECT_EQ((t.s.parentToLocal(3) - far).getNanoseconds(), 3);
}

TEST(Scale, ClampsKeepTheWidthAndTheWholeRangeInView)
{
    struct Case
    {
        double s, e;
        bool doMin, doMax;
        double ws, we;
    } const cases[] = {
        {90, 110, false, true, 80, 100},
        {-10, 10, true, false, 0, 20},
        {50, 70, true, true, 50, 70},
    };
    for (auto const& c : cases) {
        NumericScale n(c.s, c.e, true);
        n.s.setMinValue(0);
        n.s.setMaxValue(100);
        n.window(c.s, c.e);
        aTimeDelta dt(c.e - c.s);
        n.s.clampPan(dt, c.doMin, c.doMax);
        EXPECT_EQ(n.start(), c.ws) << c.s;
        EXPECT_EQ(n.end(), c.we) << c.s;
    }
    NumericScale wide(-20, 5, true);
    wide.s.setMinValue(0);
    wide.s.setMaxValue(10);
    wide.window(-20, 5);
    wide.s.clampPan(aTimeDelta(25.0), false, true);
    EXPECT_EQ(wide.start(), -15);
    EXPECT_EQ(wide.end(), 10);
}

// A time scale has no clamps of its own, but no zoom or pan carries its window, nor a time picked
// on it, past the times the calendar can date: zoomed out as far as it goes, it shows them all.
TEST(Scale, ATimeWindowStaysWithinTheDatedTimes)
{
    TimeScale within;
    aTs const start = within.s.getVisStart();
    within.s.clampPan(aTimeDelta(96000.0), true, true);
    EXPECT_TRUE(within.s.getVisStart() == start);

    double const dated = mScale::DatedSeconds;
    auto const farthest = [](mScale& s) {
        for (double zoom = 0; zoom != s.getZoom(); s.zoomOut())
            zoom = s.getZoom();
    };
    bool zoomed = false, moved = false;
    struct Case
    {
        char const* what;
        bool far; // zoomed out as far as it goes first
        std::function<void(mScale&)> act;
    } const cases[] = {
        {"zoomed out", true, [](mScale&) {}},
        {"nudged forward", true, [](mScale& s) { s.nudgeVisibleWindowForward(2.0); }},
        {"nudged back", true, [](mScale& s) { s.nudgeVisibleWindowBackward(2.0); }},
        {"zoomed out at an end", false, [](mScale& s) { s.zoomOutAtLocalPos(1599, 500); }},
        {"a zoom set beyond", false, [](mScale& s) { s.setZoom(1e14); }},
        {"fitted beyond", false, [](mScale& s) { s.zoomToLocalRange(aTs(-5e16), aTs(5e16), 1); }},
        {"centred past the end", false, [](mScale& s) { s.centerOnLocalPos(aTs(3e16)); }},
        {"centred on now", true, [](mScale& s) { s.viewCurrentTime(true); }},
        {"zoomed to a point at the end", true,
         [&](mScale& s) {
             s.localSelectAtParentPos(1600);
             s.zoomToLocalSelection(zoomed, moved);
         }},
        {"made wider", true, [](mScale& s) { s.setParentSize(3200); }},
        {"a span dragged far before the start", true,
         [](mScale& s) { s.localSelectAtParentSpan(-20000, 800); }},
    };
    for (Case const& c : cases) {
        TimeScale t;
        if (c.far)
            farthest(t.s);
        c.act(t.s);
        t.s.reconfig();
        double const size = t.s.getParentSize();
        EXPECT_GE(t.s.getVisStart().asSeconds(), -dated) << c.what;
        EXPECT_LE(t.s.getVisEnd().asSeconds(), dated) << c.what;
        EXPECT_LE(t.s.getZoom() * size, 2 * dated) << c.what;
        EXPECT_TRUE(t.s.parentToLocal(size).hasLocalFields()) << c.what;
        EXPECT_TRUE(t.s.getSelStart().hasLocalFields()) << c.what;
    }
    TimeScale t;
    farthest(t.s);
    EXPECT_EQ(t.s.getZoom() * 1600, 2 * dated);
}

TEST(Scale, CentringPlacesTheValueAtTheFraction)
{
    TimeScale t;
    t.s.setVisStart(0.0);
    t.s.setVisEnd(100.0);
    t.s.centerOnLocalPos(aTs(500.0));
    EXPECT_EQ(t.s.getVisStart().asSeconds(), 450);
    EXPECT_EQ(t.s.getVisEnd().asSeconds(), 550);
    aTimeDelta span(-40.0);
    t.s.centerOnLocalPos(aTs(10.0), 0.25, span);
    EXPECT_EQ(t.s.getVisStart().asSeconds(), 0);
    EXPECT_EQ(t.s.getVisEnd().asSeconds(), 40);
    EXPECT_EQ(span.asSeconds(), 40);
    NumericScale n(0, 4, true);
    n.s.setMaxValue(10);
    n.window(0, 4);
    n.s.centerOnLocalPos(1.0, 0.5);
    EXPECT_EQ(n.start(), 0);
    EXPECT_EQ(n.end(), 4);
}

TEST(Scale, NudgesMoveByAShareOfTheWidth)
{
    NumericScale n(0, 100);
    n.s.nudgeVisibleWindowForward(0.4);
    EXPECT_EQ(n.start(), 40);
    EXPECT_EQ(n.end(), 140);
    n.window(0, 100);
    n.s.nudgeVisibleWindowBackward(0.4);
    EXPECT_EQ(n.start(), -40);
    EXPECT_EQ(n.end(), 60);
}

TEST(Scale, ZoomStepsGoThroughThePolicyAndRaiseFlagsOnlyOnChange)
{
    TimeScale t;
    t.s.zoomIn();
    EXPECT_NEAR(t.s.getZoom(), 60 / 1.1, 1e-9);
    t.s.reconfig();
    t.s.setZoom(t.s.getZoom());
    EXPECT_FALSE(t.s.needsReconfig());
    // The policy's last step, on an axis narrow enough for the dated times to allow it.
    t.s.setParentSize(100);
    t.s.setZoom(9e13);
    t.s.reconfig();
    t.s.zoomOut();
    EXPECT_EQ(t.s.getZoom(), 9e13);
    EXPECT_FALSE(t.s.needsReconfig());
    t.s.setParentSize(1600);
    t.s.setZoom(1e-12);
    EXPECT_EQ(t.s.getZoom(), 1e-9);
    // Beyond the largest zoom a window is no length of time, and a time axis spreads no more
    // than the dated times across it: the zoom holds there, whether set, fitted (to 48 billion
    // years), or stepped (a row scale zoomed in again and again).
    t.s.setZoom(1e300);
    EXPECT_EQ(t.s.getZoom(), 2 * mScale::DatedSeconds / 1600);
    t.s.zoomToLocalRange(0, 1.5122509236281638e18, 1.0f);
    t.s.reconfig();
    EXPECT_EQ(t.s.getZoom(), 2 * mScale::DatedSeconds / 1600);
    NumericScale n;
    for (int i = 0; i < 1000; ++i)
        n.s.zoomInAtLocalPos(300, 1);
    EXPECT_EQ(n.s.getZoom(), mScale::MaxZoom);
}

// What lies under the pointer stays under it, zooming in or out, on both kinds of axis (whose steps
// go opposite ways); off the axis the middle stays in the middle.
TEST(Scale, ZoomingAtAPixelKeepsTheValueUnderIt)
{
    TimeScale t;
    NumericScale n(0, 1000);
    for (mScale* s : {&t.s, &n.s}) {
        double const pos = s->getParentPos(), size = s->getParentSize();
        for (double const x : {pos + 0.2 * size, pos + 0.9 * size}) {
            aTs const v = s->parentToLocal(x);
            double const zoom = s->getZoom();
            s->zoomInAtLocalPos(x, 3);
            EXPECT_NE(s->getZoom(), zoom);
            EXPECT_NEAR(s->localToParent(v), x, 1.0) << s->isTimeScale();
            s->zoomOutAtLocalPos(x, 5);
            EXPECT_NE(s->getZoom(), zoom);
            EXPECT_NEAR(s->localToParent(v), x, 1.0) << s->isTimeScale();
        }
        aTs const middle = s->parentToLocal(pos + size / 2);
        s->zoomInAtLocalPos(pos - 50, 2);
        EXPECT_NEAR(s->localToParent(middle), pos + size / 2, 1.0) << s->isTimeScale();
    }
}

TEST(Scale, FittingARangePutsItsEndsAtTheAxisEnds)
{
    TimeScale t;
    aTs const a = utc(2020, 1, 1), b = utc(2020, 1, 2);
    t.s.zoomToLocalRange(a, b, 1.0f);
    EXPECT_NEAR(t.s.localToParent(a), 0, 1e-6);
    EXPECT_NEAR(t.s.localToParent(b), 1600, 1e-6);
    EXPECT_TRUE(t.s.getVisStart() == a);
}

TEST(Scale, ZeroOrNegativeParentSizesNeverStopTheProgram)
{
    TimeScale t;
    aTs const start = t.s.getVisStart();
    t.s.setParentSize(0);
    t.s.zoomToLocalRange(utc(2020, 1, 1), utc(2020, 1, 2), 1.0f);
    EXPECT_TRUE(t.s.getVisStart() == start);
    t.s.postCenterZoomAtTimePos(10);
    t.s.setParentSize(-5);
    t.s.zoomOut();
    t.s.reconfig();
    EXPECT_FALSE(t.s.needsReconfig());
    mScale fresh;
    fresh.setTimeUnits();
    fresh.reconfig(); // the window 0 .. -1 was never laid out
    EXPECT_LE(fresh.getVisStart().asSeconds(), fresh.getVisEnd().asSeconds());
}

// A hidden layer's row scale drops to no size and comes back: the window it had is still there.
TEST(Scale, ASizeOfZeroAndBackKeepsTheWindow)
{
    TimeScale t;
    NumericScale n(-3, 12);
    for (mScale* s : {&t.s, &n.s}) {
        double const a = s->getMinVisValue(), b = s->getMaxVisValue();
        int const size = s->getParentSize();
        s->setParentSize(0);
        s->reconfig();
        s->setParentSize(size);
        EXPECT_EQ(s->getMinVisValue(), a);
        EXPECT_EQ(s->getMaxVisValue(), b);
    }
}

TEST(Scale, ANewSizeKeepsAVisiblePointSelectionAtItsFraction)
{
    TimeScale t;
    t.s.localSelectAtParentPos(400);
    aTs const sel = t.s.getSelStart();
    t.s.setParentSize(800);
    t.s.reconfig();
    EXPECT_NEAR(t.s.localToParent(sel), 200, 1e-6);
}

TEST(Scale, SelectionsKeepTheLastNonEmptyOne)
{
    TimeScale t;
    aTs a, b;
    int kind = -1;
    t.s.localSelectAtParentSpan(100, 200);
    t.s.clearLocalSelection();
    EXPECT_EQ(t.s.selectionType(), 0);
    t.s.getLastSelection(a, b, kind);
    EXPECT_EQ(kind, 2);
    EXPECT_NEAR(t.s.localToParent(b), 200, 1e-6);
    t.s.clearLocalSelection();
    t.s.getLastSelection(a, b, kind);
    EXPECT_EQ(kind, 2);
    t.s.localSelectAtParentPos(10);
    t.s.localSelectAtParentPos(20);
    t.s.getLastSelection(a, b, kind);
    EXPECT_EQ(kind, 1);
    EXPECT_NEAR(t.s.localToParent(a), 10, 1e-6);
}

TEST(Scale, ZoomToSelection)
{
    TimeScale t;
    bool zoomed = true, moved = false;
    t.s.clearLocalSelection();
    t.s.zoomToLocalSelection(zoomed, moved);
    EXPECT_TRUE(zoomed);
    EXPECT_FALSE(moved);
    double const zoom = t.s.getZoom();
    t.s.localSelectAtParentPos(100);
    t.s.zoomToLocalSelection(zoomed, moved);
    EXPECT_FALSE(zoomed);
    EXPECT_TRUE(moved);
    EXPECT_EQ(t.s.getZoom(), zoom);
    EXPECT_NEAR(t.s.localToParent(t.s.getSelStart()), 800, 1e-6);
    // A span of no length is centred like a point.
    t.s.localSelectAtParentSpan(300, 300);
    t.s.zoomToLocalSelection(zoomed, moved);
    EXPECT_FALSE(zoomed);
    EXPECT_EQ(t.s.getZoom(), zoom);
    t.s.localSelectAtParentSpan(0, 400);
    t.s.zoomToLocalSelection(zoomed, moved);
    EXPECT_TRUE(zoomed);
    EXPECT_NEAR(t.s.getZoom(), zoom / 4, 1e-9);
}

TEST(Scale, FollowingTheClockCentresOnNowAndKeepsTheSelection)
{
    TimeScale t;
    aTs before;
    before.stamp();
    t.s.viewCurrentTime(true);
    EXPECT_EQ(t.s.selectionType(), 1);
    EXPECT_NEAR(t.s.getSelStartPos(), 800, 1e-6);
    EXPECT_TRUE(before <= t.s.getSelStart());
    aTs const selected = t.s.getSelStart();
    // The next tick of the lock: the window moves with the clock, the selection stays.
    t.s.viewCurrentTime(false);
    EXPECT_TRUE(t.s.getSelStart() == selected);
    aTs after;
    after.stamp();
    double const centre = (t.s.getVisStart().asSeconds() + t.s.getVisEnd().asSeconds()) / 2;
    EXPECT_LE(before.asSeconds() - 1, centre);
    EXPECT_GE(after.asSeconds() + 1, centre);
}

TEST(Scale, ScrollBarState)
{
    bool show = false;
    double pos = -1, min = -1, max = -1, page = -1;
    NumericScale n(0, 50, true);
    n.s.setMaxValue(100);
    n.s.zoomToLocalRange(0.0, 50.0, 1.0f);
    n.s.reconfig();
    ASSERT_TRUE(n.s.getScrollbarState(show, pos, min, max, page));
    EXPECT_TRUE(show);
    EXPECT_EQ(max, page);
    EXPECT_EQ(pos, 0);
    n.s.setMaxValue(0);
    ASSERT_TRUE(n.s.getScrollbarState(show, pos, min, max, page));
    EXPECT_EQ(max, 0);
    n.s.setMaxValue(-10);
    EXPECT_FALSE(n.s.getScrollbarState(show, pos, min, max, page));
    n.s.setHasMinValue(false);
    EXPECT_FALSE(n.s.getScrollbarState(show, pos, min, max, page));
}

TEST(Scale, TheGridFollowsTheZoomAndTheWindow)
{
    TimeScale t;
    std::vector<mRange*> const visible = *t.s.getVisRanges();
    ASSERT_FALSE(visible.empty());
    EXPECT_EQ(t.s.getRange()->getIndex(), 88);
    mRange* hour = (*t.s.getUnits()->getRanges())[RangeHour];
    // 1,600 minutes from midnight: boundaries at every full hour, 0:00 included.
    EXPECT_EQ(hour->getNumGridlines(), 28);
    t.s.nudgeVisibleWindowForward(0.5);
    t.s.reconfig();
    EXPECT_EQ(t.s.chunkSizeForUnits(0), 60);
    EXPECT_EQ(t.s.roundChunkSize(70), 1600.0 / 22);
    EXPECT_EQ(t.s.roundChunkSize(5000), 1600);
}

// Every time scale lays its grid on the same shared ranges: one that ends its life (given back to
// its pool, cleared or deleted, as a deleted layer's scale is) must leave the grid that another,
// still up to date, shows.
TEST(Scale, AScaleThatGoesLeavesTheGridAnotherShows)
{
    enum End
    {
        Recycled,
        Cleared,
        Deleted
    };
    for (End const end : {Recycled, Cleared, Deleted}) {
        TimeScale shown;
        auto gone = std::make_unique<TimeScale>();
        // The one laid out last holds the shared grid: the one shown takes it back first.
        if (shown.s.needsReconfig())
            shown.s.reconfig();
        mRange const* hour = (*shown.s.getUnits()->getRanges())[RangeHour];
        int const before = hour->getNumGridlines();
        ASSERT_EQ(before, 28);
        if (end == Recycled)
            gone->s.recycleObj();
        else if (end == Cleared)
            gone->s.clearObj();
        else
            gone.reset();
        EXPECT_FALSE(shown.s.needsReconfig()) << end;
        EXPECT_EQ(hour->getNumGridlines(), before) << end;
    }
}

// Two time scales live at once over different windows, as the timeline's and a layer's are: each
// lays its grid on the same shared ranges in turn, the second lazily through a mapping call. Each
// scale, asked whether it is up to date as the ruler asks before drawing, draws its own gridlines:
// those of its own window, at its own columns.
TEST(Scale, TwoLiveScalesEachDrawTheirOwnGrid)
{
    struct Case
    {
        char const* what;
        double days, secsPerPixel;
    } const cases[] = {{"a day later, the same zoom", 1, 60},
                       {"a week later, an hour a pixel", 7, 3600}};
    for (auto const& c : cases) {
        TimeScale ruler;
        mScale other;
        other.setTimeUnits();
        other.setParentPos(0);
        other.setParentSize(800);
        aTs const from = utc(2024, 3, 5) + aTimeDelta(c.days * 86400);
        other.zoomToLocalRange(from, from + aTimeDelta(800 * c.secsPerPixel), 1.0f);
        // Each range's gridlines lie in the scale's window and columns, as laid out just now.
        auto drawsItsOwn = [&](mScale& s, char const* which) {
            if (s.needsReconfig())
                s.reconfig();
            aTs start, end;
            s.getLocalSpan(start, end);
            for (mRange const* r : *s.getVisRanges())
                for (int i = 1; i < r->getNumGridlines(); ++i) {
                    mGridline const* g = r->getGridline(i);
                    ASSERT_TRUE(start <= g->getTs() && g->getTs() <= end)
                        << c.what << ", " << which << ", " << r->desc().c() << " gridline " << i;
                    ASSERT_NEAR(g->getParentPos(), s.localToParent(g->getTs()), 0.5)
                        << c.what << ", " << which << ", " << r->desc().c() << " gridline " << i;
                }
        };
        other.localToParent(from);
        drawsItsOwn(ruler.s, "the ruler after the other");
        drawsItsOwn(other, "the other after the ruler");
        drawsItsOwn(ruler.s, "the ruler again");
        EXPECT_FALSE(ruler.s.needsReconfig()) << c.what;
    }
}

// The zoom is held in whole nanoseconds per pixel: below one it is one, also on a numeric axis,
// whose policy would step down to 1e-10; what is no zoom at all is refused.
TEST(Scale, ZoomsBelowANanosecondPerPixelHoldAtOne)
{
    struct Case
    {
        double zoom, held;
    } const cases[] = {{1e-10, 1e-9}, {4e-10, 1e-9}, {0.0, 0.5}, {-3.0, 0.5}, {std::nan(""), 0.5}};
    for (auto const& c : cases) {
        NumericScale n;
        n.s.setZoom(0.5);
        n.s.setZoom(c.zoom);
        EXPECT_EQ(n.s.getZoom(), c.held) << c.zoom;
    }
    NumericScale stepped;
    stepped.s.setZoom(1e-9);
    stepped.s.zoomOut();
    EXPECT_EQ(stepped.s.getZoom(), 1e-9);
}
