#include "ModelFixture.h"
#include "str.h"
#include "tlUi.h"

#include <iterator>
#include <string>
#include <tuple>

namespace {

using Selecting = ModelFixture;

// Two layers one row high with a gap of 10 rows: A over [1, 2], B over [12, 13], on a view of
// rows [0, 20] at 30 pixels a row.
struct DropZones : ModelFixture
{
    Obh a = tl.newLayer(), b = tl.newLayer();
    DropZones()
    {
        layer(a)->setPaddingTop(1);
        layer(b)->setPaddingTop(10);
        tl.restackLayers();
    }
    struct Answer
    {
        DropZone zone;
        Obh layer, other;
        double zoneStart = -1, zoneSize = -1;
        std::string caption;
    };
    Answer at(double row)
    {
        Answer out;
        rtl::str caption;
        out.zone = tl.getLayerHdlZoneAtSceneRowPos(row * 30, out.layer, out.other, &out.zoneStart,
                                                   &out.zoneSize, nullptr, nullptr, &caption);
        out.caption = caption.c() ? caption.c() : "";
        return out;
    }
};

} // namespace

TEST(DropZoneRules, AreThoseOfTheZoneTable)
{
    using M = DropZoneRule::Makes;
    using G = DropZoneRule::Guide;
    struct Row
    {
        DropZone zone;
        char const* caption;
        M makes;
        G guide;
        int r, g, b;
    } const table[] = {
        {DropZone::NewLayerAboveAll, "New layer", M::LayerBefore, G::AcrossGap, 255, 255, 0},
        {DropZone::NewLayerBefore, "New layer", M::LayerBefore, G::AcrossGap, 255, 255, 0},
        {DropZone::NewTopRow, "New top row", M::RowAtTop, G::AtGapEnd, 0, 255, 255},
        {DropZone::IntoRows, "Drop on\n", M::Nothing, G::None, 255, 255, 255},
        {DropZone::NewBottomRow, "New bottom row", M::RowAtBottom, G::AtGapStart, 0, 255, 0},
        {DropZone::NewLayerAfter, "New layer", M::LayerAfter, G::AcrossGap, 255, 255, 0},
        {DropZone::NewLayerBelowAll, "New layer", M::LayerAfter, G::AcrossGap, 255, 255, 0},
        {DropZone::NoLayer, nullptr, M::Nothing, G::None, 255, 255, 255},
    };
    ASSERT_EQ(DropZoneRule::all().size(), std::size(table));
    for (Row const& row : table) {
        DropZoneRule const& rule = DropZoneRule::of(row.zone);
        SCOPED_TRACE(rule.name);
        EXPECT_EQ(rule.zone, row.zone);
        EXPECT_EQ(std::string(rule.caption ? rule.caption : "-"),
                  std::string(row.caption ? row.caption : "-"));
        EXPECT_EQ(rule.makes, row.makes);
        EXPECT_EQ(rule.guide, row.guide);
        EXPECT_EQ(std::make_tuple(rule.r, rule.g, rule.b), std::make_tuple(row.r, row.g, row.b));
    }
    EXPECT_EQ(DropZoneRule::of(static_cast<DropZone>(9)).zone, DropZone::NoLayer);
}

TEST_F(DropZones, EveryBandOfAGap)
{
    EXPECT_EQ(at(1).zone, DropZone::IntoRows) << "a layer's top is in it";
    EXPECT_EQ(at(1).caption, "Drop on\n");
    auto end = at(2);
    EXPECT_EQ(end.zone, DropZone::NewBottomRow) << "its end belongs to the gap below";
    EXPECT_EQ(end.layer, a);
    EXPECT_EQ(end.other, b);
    EXPECT_EQ(at(4.9).zone, DropZone::NewBottomRow);
    auto highMid = at(5.9);
    EXPECT_EQ(highMid.zone, DropZone::NewLayerAfter);
    EXPECT_EQ(highMid.layer, a);
    EXPECT_DOUBLE_EQ(highMid.zoneStart, 5.5);
    EXPECT_DOUBLE_EQ(highMid.zoneSize, 3);
    auto lowMid = at(8);
    EXPECT_EQ(lowMid.zone, DropZone::NewLayerBefore);
    EXPECT_EQ(lowMid.layer, b);
    EXPECT_EQ(lowMid.other, a);
    EXPECT_DOUBLE_EQ(lowMid.zoneStart, 5.5) << "the same guide band as zone 2";
    auto topRow = at(9.1);
    EXPECT_EQ(topRow.zone, DropZone::NewTopRow);
    EXPECT_EQ(topRow.layer, b);
    EXPECT_EQ(topRow.caption, "New top row");
}

TEST_F(DropZones, AboveTheFirstAndBelowTheLast)
{
    double const maxV = perp.getMaxValue(), half = (maxV - 13) / 2;
    EXPECT_EQ(at(13 + half / 2).zone, DropZone::NewBottomRow);
    EXPECT_EQ(at(13 + half / 2).layer, b);
    EXPECT_EQ(at(maxV - half / 2).zone, DropZone::NewLayerBelowAll);
    auto past = at(15);
    EXPECT_EQ(past.zone, DropZone::NewLayerBelowAll) << "beyond every rule";
    EXPECT_DOUBLE_EQ(past.zoneStart, maxV);
    EXPECT_EQ(past.caption, "New layer") << "the label names the zone there too";
    EXPECT_EQ(at(0.7).zone, DropZone::NewTopRow);
    EXPECT_EQ(at(0.7).layer, a);
    auto first = at(0.2);
    EXPECT_EQ(first.zone, DropZone::NewLayerAboveAll);
    EXPECT_EQ(first.caption, "New layer");
    EXPECT_DOUBLE_EQ(first.zoneStart, perp.getMinVisValue());
}

TEST_F(DropZones, HiddenLayersTakeNoPart)
{
    tl.setLayerHidingEnabled(true);
    layer(a)->setIsActive(false);
    tl.restackLayers();
    EXPECT_EQ(at(1.5).layer, b) << "b moved up to where a was";
    layer(b)->setIsActive(false);
    tl.restackLayers();
    Obh untouched;
    EXPECT_EQ(at(1.5).zone, DropZone::NoLayer);
    EXPECT_EQ(at(1.5).layer, untouched);
}

TEST_F(DropZones, StackRowsNeverLandInAHiddenLayer)
{
    Obh hidden = tl.newLayer();
    layer(hidden)->addRows(2);
    tl.moveLayer(-0.5f, -1); // first in the list
    tl.setLayerHidingEnabled(true);
    layer(hidden)->setIsActive(false);
    tl.restackLayers();
    Obh found;
    double row = -1;
    ASSERT_TRUE(tl.getLayerAndRowByStackRowIndex(0, found, row));
    EXPECT_EQ(found, a);
    EXPECT_EQ(row, 0);
    ASSERT_TRUE(tl.getLayerAndRowByStackRowIndex(1, found, row));
    EXPECT_EQ(found, b);
    EXPECT_FALSE(tl.getLayerAndRowByStackRowIndex(2, found, row)) << "past the last row";
    std::map<int, std::pair<double, Obh>> index;
    tl.getSriIndex(index);
    EXPECT_EQ(index.size(), 2u);
    Obh top, bottom;
    tl.getBreadLayers(top, bottom);
    EXPECT_EQ(bottom, tl.getBottomLayer());
}

TEST_F(Selecting, RangesJoinTheTimeSelectionLayersAndEvents)
{
    Obh l = tl.newLayer();
    tl.restackLayers();
    double t0 = 0, t1 = 0, r0 = -7, r1 = -7;
    bool hasTime = false, hasRows = false;
    ts.localSelectAtParentPos(300);
    tl.getSelectedRanges(t0, t1, hasTime, r0, r1, hasRows, false);
    EXPECT_TRUE(hasTime);
    EXPECT_EQ(t0, 300);
    EXPECT_EQ(t1, 300);
    EXPECT_FALSE(hasRows);
    EXPECT_EQ(r0, -7) << "left as the caller set it";

    ts.localSelectAtParentSpan(300, 400);
    doc.selection.addToSelection(at(350, 200, 0, l));
    doc.selection.addToSelection(at(100, 50, 0, l));
    tl.getSelectedRanges(t0, t1, hasTime, r0, r1, hasRows, false);
    EXPECT_EQ(t0, 100);
    EXPECT_EQ(t1, 550);
    EXPECT_TRUE(hasRows);
}

TEST_F(Selecting, LayersToActOnAndShiftClicks)
{
    std::vector<Obh> l;
    for (int i = 0; i < 5; ++i)
        l.push_back(tl.newLayer());
    std::set<Obh> act;
    tl.getLayersToActOn(act);
    EXPECT_EQ(act.size(), 5u);
    doc.selection.addToSelection(l[1]);
    act.clear();
    tl.getLayersToActOn(act);
    EXPECT_EQ(act, std::set<Obh> {l[1]});
    tl.shiftSelectLayer(l[3]);
    EXPECT_EQ(doc.selection.getSelection(), (std::set<Obh> {l[1], l[2], l[3]}));
    tl.shiftSelectLayer(l[3]);
    EXPECT_EQ(doc.selection.getSelection(), (std::set<Obh> {l[1], l[2]}));
    doc.selection.clearSelection();
    tl.shiftSelectLayer(l[4]);
    EXPECT_EQ(doc.selection.getSelection(), std::set<Obh> {l[4]});
}

TEST_F(Selecting, WalksSkipWhatIsGone)
{
    Obh l = tl.newLayer();
    Obh kept = at(100, 10, 0, l), gone = at(300, 10, 0, l);
    doc.selection.addToSelection(kept);
    doc.selection.addToSelection(gone);
    tl.removeEvent(gone);
    gone.dealloc(); // behind the timeline's back
    double t0 = 0, t1 = 0, r0 = 0, r1 = 0;
    EXPECT_EQ(tl.getSelectedEventsRanges(t0, t1, r0, r1, false), 1);
    EXPECT_EQ(t1, 110);
}

TEST_F(Selecting, SelectingByTimeSkipsHiddenLayers)
{
    Obh shown = tl.newLayer(), hidden = tl.newLayer();
    Obh a = at(100, 10, 0, shown);
    at(100, 10, 0, hidden);
    at(900, 10, 0, shown);
    tl.setLayerHidingEnabled(true);
    layer(hidden)->setIsActive(false);
    ts.localSelectAtParentSpan(50, 150);
    doc.dirt.setDirty(tlObj::DirtTimeSelectionChanged, true);
    doc.pass();
    EXPECT_EQ(doc.selection.getSelection(), std::set<Obh> {a});
}

TEST_F(Selecting, StretchingAnEndTurnsASpanIntoAnInstantAndBack)
{
    Obh l = tl.newLayer();
    tl.restackLayers();
    Obh h = at(100, 100, 0, l), other = at(500, 100, 1, l), late = at(700, 100, 2, l);
    doc.selection.addToSelection(h);
    doc.selection.addToSelection(other);
    auto lengths = tl.getSelectedEventLengths();
    doc.selection.addToSelection(late); // selected after the press: no entry
    // Grabbed 2 pixels inside the end edge at 200: each end moves as far as the pointer.
    tl.stretchSelectedEvents(1, 148, 198, h, lengths);
    EXPECT_FALSE(ev(h)->getIsImpulse());
    EXPECT_EQ(ev(h)->getStartTime(), 100);
    EXPECT_EQ(ev(h)->getTimeLength(), 50);
    EXPECT_EQ(ev(other)->getTimeLength(), 50) << "every selected event moves by the same amount";
    EXPECT_EQ(ev(late)->getStartTime(), 700) << "left alone, never moved to 1970";
    EXPECT_EQ(ev(late)->getTimeLength(), 100);
    tl.stretchSelectedEvents(1, 101, 198, h, lengths);
    EXPECT_TRUE(ev(h)->getIsImpulse()) << "within 4 units of its start";
    EXPECT_EQ(ev(h)->getSceneW(), 30);
    tl.stretchSelectedEvents(1, 158, 198, h, lengths);
    EXPECT_FALSE(ev(h)->getIsImpulse());
    EXPECT_EQ(ev(h)->getStartTime(), 100);
    EXPECT_EQ(ev(h)->getTimeLength(), 60);
}

// No stretch makes a time the save refuses: every selected edge moves by one amount, as far as
// keeps the outermost within the dated times.
TEST_F(Selecting, AStretchKeepsEveryEdgeWithinTheDatedTimes)
{
    double const dated = mScale::DatedSeconds;
    layOut(-dated, dated); // 2e13 s a pixel
    Obh l = tl.newLayer();
    tl.restackLayers();
    Obh early = at(-dated + 4e13, 1e14, 0, l), late = at(dated - 3e14, 2e14, 1, l);
    doc.selection.addToSelection(early);
    doc.selection.addToSelection(late);
    auto lengths = tl.getSelectedEventLengths();
    // The ends 50 pixels (1e15 s) right, grabbed at early's: late's stops at the last dated time.
    double const end = ts.localToParent(-dated + 14e13);
    tl.stretchSelectedEvents(1, end + 50, end, early, lengths);
    EXPECT_NEAR(ev(late)->getStartTime() + ev(late)->getTimeLength(), dated, 4);
    EXPECT_NEAR(ev(early)->getTimeLength(), 2e14, 4) << "as far as late's end went";
    // The starts 50 pixels left: early's stops at the first.
    lengths = tl.getSelectedEventLengths();
    double const start = ts.localToParent(-dated + 4e13);
    tl.stretchSelectedEvents(-1, start - 50, start, early, lengths);
    EXPECT_NEAR(ev(early)->getStartTime(), -dated, 4);
    EXPECT_NEAR(ev(late)->getStartTime(), dated - 3e14 - 4e13, 4);
    EXPECT_NEAR(ev(late)->getTimeLength(), 3e14 + 4e13, 4);
}

TEST_F(Selecting, AStretchGivesAnItemItsShownWidthAndAnEventWithoutOneItsWholeWidth)
{
    Obh l = tl.newLayer();
    tl.restackLayers();
    // The view shows [0, 1000] s: shown gets an item, away (later) none.
    Obh shown = at(900, 50, 0, l), away = at(1500, 50, 1, l);
    tl.getEdb()->syncEventsToView(&tl, doc.cmp.getUi()->getScene());
    ASSERT_TRUE(ev(shown)->giInSceneTest());
    ASSERT_FALSE(ev(away)->giGet());
    doc.selection.addToSelection(shown);
    doc.selection.addToSelection(away);
    auto lengths = tl.getSelectedEventLengths();
    // Both end edges 1,550 pixels on, grabbed at shown's end.
    tl.stretchSelectedEvents(1, 2500, 950, shown, lengths);
    EXPECT_EQ(ev(away)->getTimeLength(), 1600);
    EXPECT_EQ(ev(away)->getSceneW(), 1600) << "its whole width: nothing clips it";
    double const stretched = ev(shown)->getSceneW();
    EXPECT_LT(stretched, 1600) << "its item's, clipped a view's width past the view";
    tl.getEdb()->syncEventsToView(&tl, doc.cmp.getUi()->getScene());
    EXPECT_EQ(ev(shown)->getSceneW(), stretched) << "as the scene sync places it";
}

// Spans of 0.5 to 100 pixels and two instants, selected together; the grabbed one is the widest.
struct Stretching : ModelFixture
{
    Obh l = tl.newLayer();
    std::vector<double> widths {0.5, 1, 2, 3.5, 6, 10, 100};
    std::vector<Obh> spans, instants;
    Stretching()
    {
        tl.restackLayers();
        for (std::size_t i = 0; i < widths.size(); ++i)
            spans.push_back(at(100 + 120 * double(i), widths[i], double(i), l));
        instants = {at(300, 0, 8, l, true), at(500, 0, 9, l, true)};
        for (Obh const& h : spans)
            doc.selection.addToSelection(h);
        for (Obh const& h : instants)
            doc.selection.addToSelection(h);
    }
    Obh grabbed() const { return spans.back(); }
    double start(std::size_t i) const { return 100 + 120 * double(i); }
};

TEST_F(Stretching, AnEdgeMovedAwayFromTheOtherLengthensEverySpanWhateverItsWidth)
{
    auto lengths = tl.getSelectedEventLengths();
    double const end = start(6) + 100;
    tl.stretchSelectedEvents(1, end + 2, end, grabbed(), lengths);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        EXPECT_FALSE(ev(spans[i])->getIsImpulse()) << "span of " << widths[i];
        EXPECT_EQ(ev(spans[i])->getStartTime(), start(i)) << "span of " << widths[i];
        EXPECT_EQ(ev(spans[i])->getTimeLength(), widths[i] + 2) << "span of " << widths[i];
    }
    EXPECT_EQ(ev(instants[0])->getStartTime(), 300) << "an instant's end pulled starts at it";

    lengths = tl.getSelectedEventLengths();
    tl.stretchSelectedEvents(-1, start(6) - 3, start(6), grabbed(), lengths);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        EXPECT_FALSE(ev(spans[i])->getIsImpulse()) << "span of " << widths[i];
        EXPECT_EQ(ev(spans[i])->getStartTime(), start(i) - 3) << "span of " << widths[i];
        EXPECT_EQ(ev(spans[i])->getTimeLength(), widths[i] + 5) << "span of " << widths[i];
    }
}

TEST_F(Stretching, AnEdgeMovedTowardsTheOtherMakesInstantsOfWhatItSqueezesOnly)
{
    auto lengths = tl.getSelectedEventLengths();
    double const end = start(6) + 100;
    tl.stretchSelectedEvents(1, end - 2, end, grabbed(), lengths);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        bool const squeezed = widths[i] - 2 <= 4;
        EXPECT_EQ(ev(spans[i])->getIsImpulse(), squeezed) << "span of " << widths[i];
        if (!squeezed) {
            EXPECT_EQ(ev(spans[i])->getTimeLength(), widths[i] - 2) << "span of " << widths[i];
        }
    }
    EXPECT_TRUE(ev(instants[0])->getIsImpulse()) << "its end not pulled past its marker";
    // Back where it was pressed: every span is whole again.
    tl.stretchSelectedEvents(1, end, end, grabbed(), lengths);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        EXPECT_FALSE(ev(spans[i])->getIsImpulse()) << "span of " << widths[i];
        EXPECT_EQ(ev(spans[i])->getTimeLength(), widths[i]) << "span of " << widths[i];
    }
}

// At the farthest zoom, with an event at the end of the dated times, the bound leaves no room to
// move: nothing changes, whatever the widths.
TEST_F(Stretching, ABoundThatLeavesNoRoomChangesNothing)
{
    double const dated = mScale::DatedSeconds;
    layOut(-dated, dated);
    Obh last = at(dated - 161327, 161327, 10, l);
    doc.selection.addToSelection(last);
    std::vector<std::pair<double, double>> before;
    for (Obh const& h : spans)
        before.emplace_back(ev(h)->getStartTime(), ev(h)->getTimeLength());
    auto lengths = tl.getSelectedEventLengths();
    double const x = ts.localToParent(start(6) + 100);
    tl.stretchSelectedEvents(1, x + 2, x, grabbed(), lengths);
    EXPECT_FALSE(ev(last)->getIsImpulse());
    EXPECT_EQ(ev(last)->getTimeLength(), 161327);
    for (std::size_t i = 0; i < spans.size(); ++i) {
        EXPECT_FALSE(ev(spans[i])->getIsImpulse()) << "span of " << widths[i];
        EXPECT_EQ(ev(spans[i])->getStartTime(), before[i].first) << "span of " << widths[i];
        EXPECT_EQ(ev(spans[i])->getTimeLength(), before[i].second) << "span of " << widths[i];
    }
    EXPECT_TRUE(ev(instants[1])->getIsImpulse());
}

TEST_F(Selecting, StretchingAnInstantsEndMakesASpanFromIt)
{
    Obh l = tl.newLayer();
    Obh h = at(500, 0, 0, l, true);
    doc.selection.addToSelection(h);
    auto lengths = tl.getSelectedEventLengths();
    tl.stretchSelectedEvents(1, 597, 512, h, lengths); // grabbed 3 inside the marker's end
    EXPECT_FALSE(ev(h)->getIsImpulse());
    EXPECT_EQ(ev(h)->getStartTime(), 500);
    EXPECT_EQ(ev(h)->getTimeLength(), 100);
    tl.stretchSelectedEvents(-1, 452, 487, h, lengths); // 2 inside its start
    EXPECT_EQ(ev(h)->getStartTime(), 450) << "its start edge, from the marker's left";
}
