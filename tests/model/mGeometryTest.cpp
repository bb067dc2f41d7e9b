#include "ModelFixture.h"

namespace {

using Geometry = ModelFixture;

} // namespace

TEST_F(Geometry, PresenceAtATimeAndARow)
{
    mEvent* span = ev(event(10, 10));
    EXPECT_TRUE(span->presentAtTimeTest(10));
    EXPECT_TRUE(span->presentAtTimeTest(20));
    EXPECT_FALSE(span->presentAtTimeTest(20.5));
    mEvent* instant = ev(event(10, 0, true));
    EXPECT_TRUE(instant->presentAtTimeTest(10));
    EXPECT_FALSE(instant->presentAtTimeTest(10.5));
    span->setRowIndex(2);
    span->setRowSize(3);
    EXPECT_TRUE(span->presentAtRowTest(2));
    EXPECT_TRUE(span->presentAtRowTest(2.9));
    EXPECT_FALSE(span->presentAtRowTest(3)) << "one row, whatever its height";
}

TEST_F(Geometry, TimeExtentsAreWholePixelsClippedToWhatAViewShows)
{
    double t = 0, w = 0;
    mEvent* e = ev(event(100.4, 49.2));
    e->getModelVisTimeSpan(t, w);
    EXPECT_EQ(t, 100);
    EXPECT_EQ(w, 50);
    mEvent* huge = ev(event(-1e6, 3e6));
    huge->getLayerVisTimeSpan(t, w);
    EXPECT_EQ(t, -1000);
    EXPECT_EQ(w, 3000);
    mEvent* tiny = ev(event(500, 1e-6));
    tiny->getLayerVisTimeSpan(t, w);
    EXPECT_EQ(w, 1);
    double pre = 0, post = 0;
    ev(event(500, 0, true))->getPrePostTimes(pre, post);
    EXPECT_EQ(pre, 485) << "15 pixels of a second";
    EXPECT_EQ(post, 515);
}

TEST_F(Geometry, EdgesAreSevenUnitsAndTheEndWins)
{
    Obh l = tl.newLayer();
    tl.restackLayers();
    Obh h = at(100, 100, 0, l);
    // Without an item the origin is where the item would stand: a pixel into the span.
    EXPECT_EQ(ev(h)->onEdgeTest(94), 1);
    EXPECT_EQ(ev(h)->onEdgeTest(2), -1);
    EXPECT_EQ(ev(h)->onEdgeTest(50), 0);
    Obh narrow = at(300, 5, 1, l);
    EXPECT_EQ(ev(narrow)->onEdgeTest(2), 1);
    Obh instant = at(600, 0, 2, l, true);
    EXPECT_EQ(ev(instant)->onEdgeTest(12), 1) << "the marker's right side";
    EXPECT_EQ(ev(instant)->onEdgeTest(-12), -1);
    EXPECT_EQ(ev(instant)->onEdgeTest(0), 0);
}

TEST_F(Geometry, DragPointsAndDropShifts)
{
    int x = 250, y = 0;
    ev(event(0, 10))->getDragPos(200, 21, x, y);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 10);
    x = 250;
    mEvent* instant = ev(event(0, 0, true));
    instant->getDragPos(200, 21, x, y);
    EXPECT_EQ(x, 15);
    x = 100;
    instant->adjustDropPos(x, y);
    EXPECT_EQ(x, 84);
}

TEST_F(Geometry, StackRowsCountOverTheWholeStack)
{
    Obh h = event(0, 10);
    EXPECT_EQ(ev(h)->getStackRowIndex(), -9999) << "no layer";
    Obh top = tl.newLayer(), l = tl.newLayer();
    layer(top)->addRows(3);
    tl.restackLayers();
    tl.addEvent(h, 0, 1, l, true);
    ev(h)->setRowIndex(1.5);
    EXPECT_EQ(layer(l)->getStackRowIndex(), 4);
    EXPECT_EQ(ev(h)->getStackRowIndex(), 5);
}

TEST_F(Geometry, ATimeThatIsNoNumberIsRefused)
{
    mEvent* e = ev(event(10, 10));
    EXPECT_FALSE(e->setStartTime(std::nan("")));
    EXPECT_FALSE(e->setTimeLength(INFINITY));
    EXPECT_EQ(e->getStartTime(), 10);
}
