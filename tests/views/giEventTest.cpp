#include "ItemsDoc.h"
#include "ScopedTraces.h"
#include "pTimeline.h"
#include "wEditEvent.h"
#include "wEditLayer.h"

#include <QCursor>
#include <QGraphicsSceneHoverEvent>
#include <gmock/gmock.h>

#include <functional>
#include <string>

namespace {

struct EventItems : ItemsDoc
{
    void hover(Obh h, double x)
    {
        QGraphicsSceneHoverEvent event(QEvent::GraphicsSceneHoverMove);
        event.setPos({x, 10});
        scene.sendEvent(item(h), &event);
    }
    double width(Obh h) { return item(h)->boundingRect().width(); }
};

// How many cursors are on the application's override stack; empties it.
int overrideDepth()
{
    int depth = 0;
    for (; QApplication::overrideCursor(); ++depth)
        QApplication::restoreOverrideCursor();
    return depth;
}

} // namespace

TEST_F(EventItems, ThePlainPressSelectsAloneOrKeepsTheSelectionItIsIn)
{
    ASSERT_NE(item(a), nullptr);
    doc.selection.setSelection(b);
    EXPECT_TRUE(press(a, 20));
    EXPECT_TRUE(selected(a));
    EXPECT_FALSE(selected(b));

    doc.selection.addToSelection(b);
    EXPECT_TRUE(press(a, 20));
    EXPECT_TRUE(selected(a)) << "a drag takes every selected event along";
    EXPECT_TRUE(selected(b));
    EXPECT_TRUE(raised(tlObj::DirtSelectionByTimeDisabled));
    EXPECT_TRUE(raised(tlObj::DirtSelection));
    EXPECT_TRUE(doc.dirt.itemIsDirty(a));
}

TEST_F(EventItems, ShiftAndCommandPressesToggle)
{
    doc.selection.setSelection(b);
    press(a, 20, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_TRUE(selected(a));
    EXPECT_TRUE(selected(b));
    press(a, 20, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_FALSE(selected(a));
    press(b, 20, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_FALSE(selected(b));
}

TEST_F(EventItems, AnEdgePressSelectsFirstThenCachesTheSpans)
{
    doc.selection.setSelection(b);
    press(a, 2);
    EXPECT_EQ(item(a)->myStretchEdge, -1);
    EXPECT_TRUE(selected(a));
    ASSERT_TRUE(item(a)->myOrigSpans.get());
    ASSERT_EQ(item(a)->myOrigSpans->size(), 1u) << "the spans of the new selection";
    EXPECT_EQ(item(a)->myOrigSpans->at(a), std::make_pair(100.0, 50.0));

    press(a, width(a) - 2);
    EXPECT_EQ(item(a)->myStretchEdge, 1);
    press(a, 20);
    EXPECT_EQ(item(a)->myStretchEdge, 0);
}

TEST_F(EventItems, MovingAnEndEdgeStretchesEverySelectedEvent)
{
    doc.selection.setSelection(a);
    doc.selection.addToSelection(b);
    double const end = width(a) - 2;
    press(a, end);
    mouse(item(a), QEvent::GraphicsSceneMouseMove, {end + 20, 10});
    double const grown = ev(a)->getTimeLength() - 50;
    EXPECT_NEAR(grown, 20, 1e-9) << "the end follows the pointer, a second a pixel";
    EXPECT_NEAR(ev(b)->getTimeLength() - 100, grown, 1e-9);
    EXPECT_DOUBLE_EQ(ev(a)->getStartTime(), 100);
    EXPECT_DOUBLE_EQ(ev(b)->getStartTime(), 300);

    // The release ends the gesture: a later move is no stretch.
    mouse(item(a), QEvent::GraphicsSceneMouseRelease, {end + 20, 10});
    EXPECT_EQ(item(a)->myStretchEdge, 0);
    EXPECT_FALSE(item(a)->myOrigSpans.get());
    EXPECT_FALSE(mouse(item(a), QEvent::GraphicsSceneMouseMove, {end + 40, 10}));
    EXPECT_DOUBLE_EQ(ev(a)->getTimeLength(), 50 + grown);
}

// A stretched edge moves exactly as far as the pointer went from the press, wherever in the edge
// the press was and however the item moved under the pointer meanwhile (a second a pixel).
TEST_F(EventItems, AStretchedEdgeMovesAsFarAsThePointerWentFromThePress)
{
    struct Case
    {
        char const* how;
        double pressAt; // in the item, from its left
        double distance;
        double start, length; // after the release
    } const cases[] = {
        {"the end 2 pixels inside, 50 right", -2, 50, 100, 100},
        {"the end at its last pixel, 30 left", -0.5, -30, 100, 20},
        {"the start 1.5 pixels inside, 20 left", 1.5, -20, 80, 70},
        {"the start at its first pixel, 25 right", 0, 25, 125, 25},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.how);
        ev(a)->setStartTime(100);
        ev(a)->setTimeLength(50);
        timeline.getEdb()->syncEventsToView(&timeline, &scene);
        doc.selection.setSelection(a);
        QPointF const press =
            item(a)->mapToScene(c.pressAt < 0 ? width(a) + c.pressAt : c.pressAt, 10);
        ASSERT_TRUE(mouse(item(a), QEvent::GraphicsSceneMousePress, item(a)->mapFromScene(press)));
        ASSERT_NE(item(a)->myStretchEdge, 0);
        // Moves as a hand makes them, the first short of the start distance; each in the item's
        // coordinates as it stands then.
        for (double f : {0.02, 0.1, 0.4, 0.7, 1.0}) {
            QPointF const at = press + QPointF(c.distance * f, 0);
            mouse(item(a), QEvent::GraphicsSceneMouseMove, item(a)->mapFromScene(at));
        }
        QPointF const end = press + QPointF(c.distance, 0);
        mouse(item(a), QEvent::GraphicsSceneMouseRelease, item(a)->mapFromScene(end));
        EXPECT_NEAR(ev(a)->getStartTime(), c.start, 1e-9);
        EXPECT_NEAR(ev(a)->getTimeLength(), c.length, 1e-9);
    }
}

// A click with a tremor on the edge of a narrow selected event stretches nothing: the stretch
// begins where a drag would, at the system's drag distance from the press.
TEST_F(EventItems, ATremorOnAnEdgeChangesNoEvent)
{
    Obh const narrow = span(600, 3, 2), wide = span(700, 40, 3);
    timeline.getEdb()->syncEventsToView(&timeline, &scene);
    for (Obh const& h : {a, b, narrow, wide})
        doc.selection.addToSelection(h);
    ASSERT_GT(QApplication::startDragDistance(), 2);
    double const tremor = QApplication::startDragDistance() / 2.0 - 0.5;
    // A narrow event's edges overlap: a press on it takes its end.
    for (auto [h, edge] : {std::pair {narrow, 1}, std::pair {wide, -1}}) {
        SCOPED_TRACE(edge < 0 ? "the start" : "the end");
        QPointF const press = item(h)->mapToScene(edge < 0 ? 0.5 : width(h) - 0.5, 10);
        ASSERT_TRUE(mouse(item(h), QEvent::GraphicsSceneMousePress, item(h)->mapFromScene(press)));
        ASSERT_EQ(item(h)->myStretchEdge, edge);
        for (QPointF d : {QPointF(tremor, 0), QPointF(-tremor, tremor), QPointF(0, -tremor)})
            mouse(item(h), QEvent::GraphicsSceneMouseMove, item(h)->mapFromScene(press + d));
        mouse(item(h), QEvent::GraphicsSceneMouseRelease,
              item(h)->mapFromScene(press + QPointF(tremor, 0)));
        EXPECT_EQ(ev(narrow)->getStartTime(), 600);
        EXPECT_EQ(ev(narrow)->getTimeLength(), 3);
        EXPECT_FALSE(ev(narrow)->getIsImpulse());
        EXPECT_EQ(ev(wide)->getStartTime(), 700);
        EXPECT_EQ(ev(wide)->getTimeLength(), 40);
        EXPECT_EQ(ev(a)->getTimeLength(), 50);
        EXPECT_EQ(ev(b)->getTimeLength(), 100);
    }
}

TEST_F(EventItems, OtherButtonsAreLeftToWhatLiesBelow)
{
    press(a, 20);
    EXPECT_FALSE(press(a, 20, Qt::RightButton));
    EXPECT_FALSE(remembersPress(a)) << "every press forgets the last";
    EXPECT_TRUE(press(a, 20, Qt::MiddleButton)) << "the middle button opens the editor";
}

TEST_F(EventItems, OneStretchArrowAtATimeAndNoneLeftBehind)
{
    hover(a, width(a) - 2);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->hotSpot(), QPoint(9, 16)) << "pointing right";
    hover(a, 2);
    EXPECT_EQ(QApplication::overrideCursor()->hotSpot(), QPoint(22, 16)) << "pointing left";
    hover(a, width(a) - 2);
    hover(a, 3);
    EXPECT_EQ(overrideDepth(), 1);

    hover(a, 3);
    hover(a, 20);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "off the edges, no arrow";

    // An item that goes while it shows the arrow takes it away.
    hover(a, 2);
    ev(a)->giClear();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(EventItems, TheScenesSelectionReachesTheDocument)
{
    item(a)->setSelected(true);
    EXPECT_TRUE(selected(a));
    doc.dirt.clearAllDirt();
    item(a)->setSelected(false);
    EXPECT_FALSE(selected(a));
    EXPECT_TRUE(raised(tlObj::DirtSelection));

    // Already in the selection: the change is announced all the same.
    doc.selection.addToSelection(a);
    doc.dirt.clearAllDirt();
    item(a)->setSelected(true);
    EXPECT_TRUE(raised(tlObj::DirtSelection));
    EXPECT_TRUE(doc.dirt.itemIsDirty(a));
}

TEST_F(EventItems, APressOnTheBandMakesItsLayerCurrentAndGoesOn)
{
    Obh other = timeline.newLayer();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        doc.selection.setSelection(a);
        timeline.setCurrentLayerHdl(other);
        EXPECT_FALSE(mouse(band(), QEvent::GraphicsSceneMousePress, {600, 5}, button,
                           Qt::ShiftModifier))
            << "on to the scene and the view";
        EXPECT_EQ(timeline.getCurrentLayerHdl(), l);
        EXPECT_TRUE(selected(a)) << "Shift keeps the selection";

        mouse(band(), QEvent::GraphicsSceneMousePress, {600, 5}, button);
        EXPECT_FALSE(selected(a));
        EXPECT_TRUE(raised(tlObj::DirtSelection));
    }
}

TEST_F(EventItems, TheHereLinesNameTheSourceFileAlone)
{
    ScopedTraces traces(true);
    std::string const out = loggedBy([&] {
        mouse(band(), QEvent::GraphicsSceneMousePress, {600, 5});
        item(a)->setSelected(true);
        QGraphicsSceneMouseEvent background(QEvent::GraphicsSceneMousePress);
        background.setScenePos({900, 590});
        background.setButton(Qt::LeftButton);
        background.setButtons(Qt::LeftButton);
        QCoreApplication::sendEvent(&scene, &background);
    });
    for (char const* file : {"giLayer.cpp", "giEvent.cpp", "tlScene.cpp"})
        EXPECT_THAT(out, testing::HasSubstr(std::string("HERE  - ") + file + ", line "));
    EXPECT_THAT(out, testing::Not(testing::HasSubstr("HERE  - /")));
}

TEST_F(EventItems, AReleaseOnTheBandForgetsTheEventsPress)
{
    press(a, 20);
    mouse(band(), QEvent::GraphicsSceneMouseRelease, {600, 5});
    EXPECT_FALSE(remembersPress(a));
}

TEST_F(EventItems, DoubleClicksOpenTheEditorBesideTheSelectionAndASecondClosesIt)
{
    pTimeline pane(nullptr, &doc.cmp, doc.cmp.getUi());
    pane.resize(1000, 600);
    tlUi& ui = *doc.cmp.getUi();
    doc.selection.setSelection(b);

    mouse(item(a), QEvent::GraphicsSceneMouseDoubleClick, {20, 10});
    ASSERT_NE(ui.getEditor(), nullptr);
    EXPECT_EQ(ui.getEditor()->getHdl(), a);
    EXPECT_FALSE(selected(b)) << "the event is selected alone";
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(pane.getSelectionArea(x, y, w, h));
    EXPECT_EQ(ui.getEditor()->getAlignH(), -1);
    EXPECT_EQ(ui.getEditor()->x(), x + w + 5) << "the point lies 5 pixels right of the event";

    mouse(item(a), QEvent::GraphicsSceneMouseDoubleClick, {20, 10});
    EXPECT_EQ(ui.getEditor(), nullptr) << "asked again, the editor closes";
    EXPECT_TRUE(selected(a));

    mouse(item(a), QEvent::GraphicsSceneMouseDoubleClick, {20, 10});
    press(b, 20, Qt::MiddleButton);
    ASSERT_NE(ui.getEditor(), nullptr);
    EXPECT_EQ(ui.getEditor()->getHdl(), b) << "another event's request opens its own";

    mouse(band(), QEvent::GraphicsSceneMouseDoubleClick, {600, 5});
    EXPECT_EQ(ui.getEditor(), nullptr);
    ASSERT_NE(ui.getLayerEditor(), nullptr);
    EXPECT_EQ(ui.getLayerEditor()->getHdl(), l);
    ui.clearEditor();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    pane.docWillClose();
}

TEST_F(EventItems, ALayersItemTakesItsEventsItemsWithItAndNoneGoesTwice)
{
    mLayer* layer = tlObj::ourType_mLayer->ptr(l);
    struct
    {
        char const* how;
        std::function<void()> drop;
    } const cases[] = {
        {"the layer clears it", [&] { layer->giClear(); }},
        {"the layer clears it through the const form",
         [&] { static_cast<mLayer const*>(layer)->giClear(); }},
        {"someone else deletes it", [&] { delete band(); }},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.how);
        timeline.getEdb()->syncEventsToView(&timeline, &scene);
        ASSERT_NE(band(), nullptr);
        for (Obh h : {a, b}) {
            ASSERT_NE(item(h), nullptr);
            ASSERT_EQ(item(h)->parentItem(), band());
        }
        c.drop();
        EXPECT_EQ(layer->giGet(), nullptr);
        EXPECT_EQ(ev(a)->giGet(), nullptr);
        EXPECT_EQ(ev(b)->giGet(), nullptr);
        EXPECT_TRUE(scene.items().isEmpty());
        // Each event's own clear finds nothing left to delete (a second delete would stop ASan).
        ev(a)->giClear();
        static_cast<mEvent const*>(ev(b))->giClear();
        layer->giClear();
        EXPECT_EQ(ev(a)->giGet(), nullptr);
        EXPECT_EQ(ev(b)->giGet(), nullptr);
    }
}
