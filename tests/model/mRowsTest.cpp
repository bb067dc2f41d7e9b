#include "ModelFixture.h"

#include <random>

namespace {

using Rows = ModelFixture;

double rowsOf(mLayer* l)
{
    return l->rowScale()->getMaxValue() - l->rowScale()->getMinValue();
}

} // namespace

TEST_F(Rows, FirstFitKeepsTheFractionOnlyWhenNothingAtAllIsThere)
{
    Obh a = tl.newLayer(), b = tl.newLayer();
    EXPECT_EQ(layer(a)->getNextEmptyRowIndex(0, 10, 0.5, 1), 0.5) << "no event of any layer";
    at(0, 10, 0, b);
    EXPECT_EQ(layer(a)->getNextEmptyRowIndex(0, 10, 0.5, 1), 0.0) << "another layer's only";
    EXPECT_EQ(layer(a)->getNextEmptyRowIndex(20, 30, 3.5, 1), 3.5) << "nothing at that time";
}

TEST_F(Rows, FirstFitTakesTheRowBelowTheLastWhenEveryRowIsTaken)
{
    Obh l = tl.newLayer();
    at(0, 10, 0, l);
    EXPECT_EQ(layer(l)->getNextEmptyRowIndex(5, 15, 1), 1.0);
    Obh second = placed(5, 10, l);
    EXPECT_EQ(ev(second)->getRowIndex(), 1.0);
    EXPECT_EQ(layer(l)->rowScale()->getMinValue(), 0.0);
    EXPECT_EQ(layer(l)->rowScale()->getMaxValue(), 2.0) << "adding below the last grows a row";
    EXPECT_EQ(ev(placed(10, 5, l))->getRowIndex(), 0.0) << "spans that only touch share a row";
}

TEST_F(Rows, FirstFitStepsOverTallEvents)
{
    Obh l = tl.newLayer();
    layer(l)->addRows(5);
    Obh tall = event(0, 10, false, 2.5);
    tl.addEvent(tall, 0, 0, l, true); // rows 0 to 2.5
    at(0, 10, 3, l);
    EXPECT_EQ(layer(l)->getNextEmptyRowIndex(5, 6, 1), 4.0);
    EXPECT_EQ(layer(l)->getNextEmptyRowIndex(5, 6, 0.5), 4.0) << "row 2 is half taken";
    EXPECT_EQ(layer(l)->getNextEmptyRowIndex(20, 30, 1), 0.0);
}

TEST_F(Rows, FirstFitAgreesWithARowByRowSearch)
{
    std::mt19937 rnd(11);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<>(lo, hi)(rnd);
    };
    Obh l = tl.newLayer(), other = tl.newLayer();
    for (int i = 0; i < 300; ++i) {
        Obh h = event(uniform(0, 5000), std::exp(uniform(0, 7)), i % 9 == 0, uniform(0.2, 2.5));
        ev(h)->setLayerHdl(i % 4 == 0 ? other : l);
        tl.addEvent(h, ev(h)->getStartTime());
    }
    for (int q = 0; q < 200; ++q) {
        double const t0 = uniform(0, 5000), t1 = t0 + uniform(0, 500), size = uniform(0.3, 2.0);
        // The search as the rows read: each whole row from the first, against every event of
        // the layer that meets the time.
        double expect = std::floor(layer(l)->rowScale()->getMaxValue());
        for (double ri = 0; ri <= expect; ri += 1) {
            bool taken = false;
            for (Obh const& h : layer(l)->getEvents()) {
                double a = t0, b = t1;
                mEvent* e = ev(h);
                taken =
                    taken || (e->isVisibleBetween(a, b) &&
                              tlObj::dimIntersects(ri, size, e->getRowIndex(), e->getRowSize()));
            }
            if (!taken) {
                expect = ri;
                break;
            }
        }
        ASSERT_EQ(layer(l)->getNextEmptyRowIndex(t0, t1, 0.0, size), expect)
            << "[" << t0 << ", " << t1 << "] x " << size;
    }
}

TEST_F(Rows, AddingTakesTheWholeRowAndGrowsTheRows)
{
    Obh l = tl.newLayer();
    at(50, 10, 0, l);
    doc.dirt.clearAllDirt();
    Obh inside = at(0, 10, 0.7, l);
    EXPECT_EQ(ev(inside)->getRowIndex(), 0.0);
    EXPECT_FALSE(raised(tlObj::DirtNumRowsInLayer)) << "inside the rows there were";
    Obh below = at(0, 10, 2.7, l);
    EXPECT_EQ(ev(below)->getRowIndex(), 2.0);
    EXPECT_TRUE(raised(tlObj::DirtNumRowsInLayer));
    EXPECT_EQ(rowsOf(layer(l)), 3.0);
    EXPECT_EQ(ev(below)->getLayer(), layer(l));
    EXPECT_TRUE(layer(l)->deleteEvent(below));
    EXPECT_FALSE(layer(l)->deleteEvent(below)) << "the second time";
    EXPECT_FALSE(ev(below)->getLayerHdl().isValid());
}

TEST_F(Rows, TheSpanCacheFollowsAddsAndDeletes)
{
    Obh l = tl.newLayer();
    double t0 = 1, t1 = 1, r0 = 1, r1 = 1;
    layer(l)->getSpans(t0, t1, r0, r1, false);
    EXPECT_EQ(std::vector<double>({t0, t1, r0, r1}), std::vector<double>({0, 0, 0, 0}));
    Obh a = at(100, 50, 0, l);
    at(20, 10, 3, l);
    layer(l)->getSpans(t0, t1, r0, r1, false);
    EXPECT_EQ(std::vector<double>({t0, t1, r0, r1}), std::vector<double>({20, 150, 0, 4}));
    tl.deleteEvent(a);
    layer(l)->getSpans(t0, t1, r0, r1, false);
    EXPECT_EQ(std::vector<double>({t0, t1, r0, r1}), std::vector<double>({20, 30, 3, 4}));
}

TEST_F(Rows, FittingDropsEmptyRowsAndKeepsFractions)
{
    Obh l = tl.newLayer();
    layer(l)->addRows(4);
    Obh a = event(0, 10), b = event(20, 10), c = event(40, 10);
    // Placed directly at fractional rows (adding would take the whole row).
    for (auto [h, row] : {std::pair {a, 0.5}, {b, 3.0}, {c, 3.25}}) {
        tl.addEvent(h, ev(h)->getStartTime(), 0, l, true);
        ev(h)->setRowIndex(row);
    }
    layer(l)->fitRows();
    EXPECT_EQ(ev(a)->getRowIndex(), 0.5);
    EXPECT_EQ(ev(b)->getRowIndex(), 1.0);
    EXPECT_EQ(ev(c)->getRowIndex(), 1.25);
    EXPECT_EQ(rowsOf(layer(l)), 2.25);

    ev(a)->setRowIndex(-0.5); // whole row -1, fraction -0.5
    layer(l)->fitRows();
    EXPECT_EQ(ev(a)->getRowIndex(), -0.5);
    EXPECT_EQ(ev(b)->getRowIndex(), 1.0);

    Obh empty = tl.newLayer();
    layer(empty)->addRows(3);
    layer(empty)->fitRows();
    EXPECT_EQ(rowsOf(layer(empty)), 1.0);
    EXPECT_DOUBLE_EQ(layer(empty)->getSceneH(), layer(empty)->getVerticalScale() / perp.getZoom());
}

TEST_F(Rows, InsertingRowsMovesEveryEventAtOrBelow)
{
    Obh l = tl.newLayer();
    Obh a = at(0, 10, 0, l), b = at(500, 10, 1, l), c = at(900, 10, 4, l);
    double const before = rowsOf(layer(l));
    layer(l)->insertRowsAtIndex(1.0, 2.0);
    EXPECT_EQ(ev(a)->getRowIndex(), 0.0);
    EXPECT_EQ(ev(b)->getRowIndex(), 3.0);
    EXPECT_EQ(ev(c)->getRowIndex(), 6.0);
    EXPECT_EQ(rowsOf(layer(l)), before + 2.0);
    double t0, t1, r0, r1;
    layer(l)->getSpans(t0, t1, r0, r1, false);
    EXPECT_EQ(r1, 7.0) << "the cache counts an event one row high";
    // Over a time: only what meets it moves.
    layer(l)->insertRowsAtIndex(400, 600, 0.0, 1.0);
    EXPECT_EQ(ev(a)->getRowIndex(), 0.0);
    EXPECT_EQ(ev(b)->getRowIndex(), 4.0);
    EXPECT_EQ(ev(c)->getRowIndex(), 6.0);
}

TEST_F(Rows, EventsPresentAtATimeComeByRow)
{
    Obh l = tl.newLayer();
    Obh low = at(0, 10, 2, l), high = at(5, 10, 0, l);
    at(20, 10, 1, l);
    std::list<Obh> out;
    layer(l)->getEventsAtTimeAndRow(10, 2.5, out);
    EXPECT_EQ(out, std::list<Obh> {low});
    out.clear();
    layer(l)->getActiveEventsAtTime(10, out);
    EXPECT_EQ(out, (std::list<Obh> {high, low}));
    tl.deleteEvent(high);
    out.clear();
    layer(l)->getActiveEventsAtTime(10, out);
    EXPECT_EQ(out, std::list<Obh> {low}) << "the cache went with the event";
}

// A layer emptied in any way and given one event again spans exactly that event: the cache
// starts from the event, not from the zeros an empty layer answers (which would stretch a fit
// to the view back to 1970 and row 0).
TEST_F(Rows, TheSpanCacheOfAnEmptiedLayerIsTheExtentOfItsNextEvent)
{
    struct Case
    {
        char const* what;
        void (*empty)(mLayer&, mTimeline&, Obh&);
        double emptyRowEnd; // a fit leaves one row
    };
    Case const cases[] = {
        {"cleared", [](mLayer& l, mTimeline&, Obh&) { l.clearEvents(); }, 0},
        {"its only event deleted", [](mLayer&, mTimeline& tl, Obh& h) { tl.deleteEvent(h); }, 0},
        {"its only event moved out, then fitted",
         [](mLayer& l, mTimeline& tl, Obh& h) {
             tl.removeEvent(h);
             l.fitRows();
         },
         1},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        Obh l = tl.newLayer();
        Obh first = at(500, 10, 0, l);
        double t0 = 0, t1 = 0, r0 = 0, r1 = 0;
        layer(l)->getSpans(t0, t1, r0, r1, false);
        c.empty(*layer(l), tl, first);
        layer(l)->getSpans(t0, t1, r0, r1, false);
        EXPECT_EQ(std::vector<double>({t0, t1, r0, r1}),
                  std::vector<double>({0, 0, 0, c.emptyRowEnd}));
        layer(l)->addRows(3);
        at(100, 50, 3, l);
        layer(l)->getSpans(t0, t1, r0, r1, false);
        EXPECT_EQ(std::vector<double>({t0, t1, r0, r1}), std::vector<double>({100, 150, 3, 4}));
    }
}

// Every event in a row blocks it for first fit, also when several start at the same row index.
TEST_F(Rows, FirstFitStepsOverEveryEventOfARowIndex)
{
    for (bool tallFirst : {true, false}) {
        SCOPED_TRACE(tallFirst ? "the tall one made first" : "the short one made first");
        Obh l = tl.newLayer();
        layer(l)->addRows(5);
        Obh tall = event(0, 10, false, 3.0), low = event(0, 10, false, 1.0);
        for (Obh h : tallFirst ? std::vector<Obh> {tall, low} : std::vector<Obh> {low, tall})
            tl.addEvent(h, 0, 0, l, true);
        EXPECT_EQ(layer(l)->getNextEmptyRowIndex(2, 8, 1), 3.0);
    }
}
