#include "ModelFixture.h"

namespace {

using Layers = ModelFixture;

std::vector<std::string> titles(mTimeline& tl)
{
    std::vector<std::string> out;
    for (Obh const& h : tl.getLayerHdls())
        out.push_back(tlObj::ourType_mLayer->ptr(const_cast<Obh&>(h))->getTitle().c());
    return out;
}

} // namespace

TEST_F(Layers, OneLayerStacksBelowItsPadding)
{
    Obh l = tl.newLayer();
    tl.restackLayers();
    EXPECT_FLOAT_EQ(layer(l)->getModelY(), 0.2);
    EXPECT_DOUBLE_EQ(layer(l)->getModelH(), 1.0);
    EXPECT_EQ(layer(l)->getStackRowIndex(), 0);
    EXPECT_EQ(layer(l)->getStackIndex(), 0);
    EXPECT_EQ(tl.getMaxStackRowIndex(), 1);
    EXPECT_FLOAT_EQ(perp.getMaxValue(), 1.2 + perp.getZoom() * 20.0);
    EXPECT_EQ(layer(l)->getSceneY(), 6) << "0.2 rows of 30 pixels";
    EXPECT_EQ(layer(l)->getSceneW(), 1000);
}

TEST_F(Layers, HiddenLayersTakeNoRoomAndNoStackRows)
{
    Obh a = tl.newLayer(), b = tl.newLayer(), c = tl.newLayer();
    layer(a)->addRows(1);
    layer(c)->addRows(2);
    tl.restackLayers();
    EXPECT_EQ(layer(c)->getStackRowIndex(), 3);
    EXPECT_EQ(layer(c)->getStackIndex(), 2);
    EXPECT_EQ(tl.getMaxStackRowIndex(), 6);
    double const stacked = layer(c)->getModelY();

    layer(b)->setIsActive(false);
    tl.restackLayers();
    EXPECT_EQ(layer(c)->getModelY(), stacked) << "inactive, but hiding is off";
    tl.setLayerHidingEnabled(true);
    tl.restackLayers();
    EXPECT_EQ(layer(b)->getStackRowIndex(), -1);
    EXPECT_EQ(layer(b)->getStackIndex(), -1);
    EXPECT_EQ(layer(b)->getModelH(), 0.0);
    EXPECT_FALSE(layer(b)->getIsVisible());
    EXPECT_EQ(layer(c)->getStackRowIndex(), 2);
    EXPECT_EQ(layer(c)->getStackIndex(), 1);
    EXPECT_FLOAT_EQ(layer(c)->getModelY(), layer(a)->getModelY() + 2.0 + 0.2);
    EXPECT_NEAR(tl.getTotalLayersSize(), 3 * 0.2 + 2 + 1 + 3, 1e-6) << "hidden ones count";
}

TEST_F(Layers, LayersOutsideTheVisibleRowsAreMarkedButKeepTheirNumbers)
{
    Obh a = tl.newLayer(), b = tl.newLayer(), c = tl.newLayer();
    for (Obh h : {a, b})
        layer(h)->setPaddingTop(0);
    layer(a)->addRows(19); // rows 0 to 20: the next layer begins where the view ends
    layer(b)->addRows(2);
    tl.restackLayers();
    EXPECT_TRUE(layer(a)->getIsVisible());
    EXPECT_EQ(layer(b)->getModelY(), 20.0);
    EXPECT_FALSE(layer(b)->getIsVisible()) << "touching the window is not being in it";
    EXPECT_FALSE(layer(c)->getIsVisible());
    EXPECT_EQ(layer(b)->getStackRowIndex(), 20);
    EXPECT_EQ(layer(c)->getStackRowIndex(), 23);
}

TEST_F(Layers, NewLayersAreNumberedAppendedAndTheFirstIsCurrent)
{
    EXPECT_FALSE(tl.getCurrentLayerHdl().isValid());
    Obh first = tl.newLayer();
    Obh second = tl.newLayer();
    EXPECT_EQ(titles(tl), (std::vector<std::string> {"Layer #1", "Layer #2"}));
    EXPECT_EQ(indexes(), (std::vector<int> {0, 1}));
    EXPECT_EQ(tl.getCurrentLayerHdl(), first);
    EXPECT_TRUE(layer(first)->getIsCurrent());
    EXPECT_FALSE(layer(second)->getIsCurrent());
    EXPECT_EQ(layer(second)->rowScale()->getMaxValue(), 1.0);
}

TEST_F(Layers, InsertingAndMovingKeepsIndexesInPlace)
{
    Obh p = tl.newLayer(), q = tl.newLayer(), r = tl.newLayer();
    tl.moveLayer(1.5f, 0);
    EXPECT_EQ(tl.getLayerHdls(), (std::vector<Obh> {q, p, r}));
    tl.moveLayer(-0.5f, -1);
    EXPECT_EQ(tl.getLayerHdls(), (std::vector<Obh> {r, q, p}));
    tl.moveLayer(1.0f, 0);
    EXPECT_EQ(tl.getLayerHdls(), (std::vector<Obh> {r, q, p})) << "a whole place is no move";
    EXPECT_EQ(indexes(), (std::vector<int> {0, 1, 2}));

    Obh top = tl.insertNewLayer(r, false, 3);
    EXPECT_EQ(tl.getLayerHdls().front(), top);
    EXPECT_EQ(layer(top)->rowScale()->getMaxValue(), 3.0);
    EXPECT_EQ(indexes(), (std::vector<int> {0, 1, 2, 3}));
    Obh bottom = tl.insertNewLayerWithRowsAtBottom(1.0);
    EXPECT_EQ(tl.getLayerHdls().back(), bottom);
    EXPECT_EQ(layer(bottom)->rowScale()->getMaxValue(), 1.0) << "one row: nothing inserted";
}

TEST_F(Layers, DeletingALayerRenumbersAndLetsGoOfItsEvents)
{
    Obh a = tl.newLayer(), b = tl.newLayer(), c = tl.newLayer();
    Obh mine = at(10, 5, 0, b), other = at(10, 5, 0, c);
    tl.setCurrentLayerHdl(b);
    doc.selection.addToSelection(b);
    doc.selection.addToSelection(mine);
    tl.deleteLayer(b);
    EXPECT_EQ(tl.getLayerHdls(), (std::vector<Obh> {a, c}));
    EXPECT_EQ(indexes(), (std::vector<int> {0, 1}));
    EXPECT_TRUE(doc.selection.getSelection().empty()) << "neither it nor its events stay selected";
    EXPECT_EQ(ev(mine), nullptr) << "its events went back to their pool";
    EXPECT_FALSE(tl.getEdb()->isRegistered(mine));
    EXPECT_TRUE(tl.getEdb()->isRegistered(other));
    EXPECT_EQ(tl.getCurrentLayerHdl(), a) << "the current one went: the top one next";
    // Its slot comes back for a new event, which nothing holds or files.
    Obh again = event(10, 5);
    EXPECT_EQ(again.getAddr(), mine.getAddr());
    EXPECT_EQ(ev(again)->filedIn(), nullptr);
    EXPECT_FALSE(tl.getEdb()->isRegistered(again));
    EXPECT_EQ(layer(c)->timeIndex().size(), 1u);
    EXPECT_EQ(tl.getEdb()->size(), 1u);
}

TEST_F(Layers, CollapsingKeepsOneLayerAndLayersWithEvents)
{
    tl.newLayer(), tl.newLayer(), tl.newLayer();
    tl.collapseLayers(false);
    EXPECT_EQ(titles(tl), (std::vector<std::string> {"Layer #1"}));
    Obh full = tl.newLayer();
    at(0, 10, 0, full);
    doc.dirt.clearAllDirt();
    tl.collapseLayers(false);
    EXPECT_EQ(tl.getLayerHdls().size(), 1u);
    EXPECT_EQ(tl.getLayerHdls().front(), full);
    tl.collapseLayers(false);
    tl.clearLayers();
    EXPECT_TRUE(tl.getLayerHdls().empty());
    EXPECT_FALSE(tl.getCurrentLayerHdl().isValid());
}

TEST_F(Layers, NewEventsTakeTheTimeSelectionOrTheMiddleOfTheView)
{
    Obh first = tl.newEvent(Obh());
    ASSERT_EQ(tl.getLayerHdls().size(), 1u) << "a layer is made for it";
    EXPECT_TRUE(ev(first)->getIsImpulse());
    EXPECT_EQ(ev(first)->getStartTime(), 500.0);
    EXPECT_EQ(ev(first)->getRowIndex(), 0.0);
    EXPECT_TRUE(raised(tlObj::DirtNewEvent));

    ts.localSelectAtParentSpan(100, 300);
    Obh span = tl.newEvent(Obh());
    EXPECT_FALSE(ev(span)->getIsImpulse());
    EXPECT_EQ(ev(span)->getStartTime(), 100.0);
    EXPECT_EQ(ev(span)->getTimeLength(), 200.0);

    ts.localSelectAtParentPos(700);
    Obh point = tl.newEvent(Obh());
    EXPECT_TRUE(ev(point)->getIsImpulse());
    EXPECT_EQ(ev(point)->getStartTime(), 700.0);
    EXPECT_EQ(ev(point)->getTimeLength(), 0.0);
}

TEST_F(Layers, ComponentSelectsTheNewEventAndDeletesOutOfTheSelection)
{
    Obh h = doc.cmp.newEvent(Obh());
    EXPECT_EQ(doc.selection.getSelection(), std::set<Obh> {h});
    doc.dirt.clearAllDirt();
    doc.cmp.deleteEvent(h);
    EXPECT_TRUE(doc.selection.getSelection().empty());
    EXPECT_EQ(ev(h), nullptr);
    EXPECT_TRUE(raised(tlObj::DirtEventWasDeleted));
    doc.dirt.clearAllDirt();
    tl.deleteEvent(h);
    EXPECT_TRUE(raised(tlObj::DirtEventWasDeleted)) << "even for an event no layer holds";
}

TEST_F(Layers, RemovingAndAddingBackRestoresTheEvent)
{
    Obh l = tl.newLayer();
    Obh h = at(100, 20, 0, l);
    ev(h)->setTitle("kept");
    tl.removeEvent(h);
    EXPECT_FALSE(tl.getEdb()->isRegistered(h));
    EXPECT_TRUE(layer(l)->getEvents().empty());
    ASSERT_NE(ev(h), nullptr);
    EXPECT_EQ(tl.addEvent(h, 100), l);
    EXPECT_STREQ(ev(h)->getTitle().c(), "kept");
    EXPECT_EQ(ev(h)->getTimeLength(), 20.0);
    EXPECT_TRUE(tl.getEdb()->isRegistered(h));
}

// Collapsing deletes every layer left without events (the top one stays when all are); with
// fitting, every layer's empty rows go first and its occupied rows are renumbered from 0,
// fractions kept, the rows ending where the event that reaches furthest down ends.
TEST_F(Layers, CollapsingWithFittingPacksTheRowsOfTheLayersThatStay)
{
    struct Case
    {
        char const* what;
        bool fit, withEvents;
        std::vector<double> topRows, bottomRows; // each layer's row scale, min and max
        std::vector<double> eventRows;           // a, b, c, d
        int bottomStackRow, stackRows;
    };
    Case const cases[] = {
        {"events, fitted", true, true, {0, 4}, {0, 1.5}, {0, 1.25, 2, 0.5}, 4, 5},
        {"events, not fitted", false, true, {0, 7}, {0, 3}, {0, 3.25, 6, 2.5}, 7, 10},
        {"no events, fitted", true, false, {0, 1}, {}, {}, -1, 1},
        {"no events, not fitted", false, false, {0, 2}, {}, {}, -1, 2},
    };
    auto rows = [](Obh h) {
        mScale const* s = layer(h)->rowScale();
        return std::vector<double> {s->getMinValue(), s->getMaxValue()};
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        tl.clearLayers();
        Obh top = tl.newLayer(), middle = tl.newLayer(), bottom = tl.newLayer();
        layer(top)->addRows(1);
        layer(middle)->addRows(2);
        std::vector<Obh> events;
        if (c.withEvents) {
            Obh tall = event(40, 10, false, 2.0);
            events = {at(0, 10, 0, top), at(20, 10, 3, top), tall, at(0, 10, 2, bottom)};
            tl.addEvent(tall, 40, 6, top, true);
            ev(events[1])->setRowIndex(3.25);
            ev(events[3])->setRowIndex(2.5);
        }
        doc.dirt.clearAllDirt();
        tl.collapseLayers(c.fit);
        EXPECT_TRUE(raised(tlObj::DirtLayerStackingInTimeline));
        std::vector<Obh> stay {top};
        std::vector<int> stayIndexes {0};
        if (c.withEvents) {
            stay.push_back(bottom);
            stayIndexes.push_back(1);
        }
        ASSERT_EQ(tl.getLayerHdls(), stay);
        EXPECT_EQ(indexes(), stayIndexes);
        EXPECT_EQ(rows(top), c.topRows);
        if (c.withEvents) {
            EXPECT_EQ(rows(bottom), c.bottomRows);
        }
        std::vector<double> eventRows;
        for (Obh const& h : events)
            eventRows.push_back(ev(h)->getRowIndex());
        EXPECT_EQ(eventRows, c.eventRows);

        // The stack that follows counts each layer's rows as a whole number.
        doc.pass();
        if (c.withEvents) {
            EXPECT_EQ(layer(bottom)->getStackRowIndex(), c.bottomStackRow);
        }
        EXPECT_EQ(tl.getMaxStackRowIndex(), c.stackRows);
    }
}
