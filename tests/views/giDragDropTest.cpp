#include "ItemsDoc.h"
#include "ctHandful.h"
#include "ctHandfulQt.h"

#include <QDrag>
#include <QGraphicsSceneDragDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTimer>

#include <functional>

namespace {

// A handful that answers the drop targets as told and counts what the items ask of it.
struct FakeHandful : ctHandful, ctHandfulQt
{
    bool dropsOnLayers = false;
    bool places = true;
    int layerDrops = 0;
    // Runs when the drag object is asked for: from there on the item must not touch itself.
    std::function<void()> onDrag;
    static inline int alive = 0;
    static inline int returns = 0;

    FakeHandful(uiGi* item, QWidget* widget) : ctHandful(0, 0), ctHandfulQt(item, widget)
    {
        ++alive;
    }
    ~FakeHandful() override { --alive; }

    void returnEventsToOrigLocations() override { ++returns; }
    QDrag* getQDrag() override
    {
        if (onDrag)
            onDrag();
        auto* drag = new QDrag(mySrcWidget);
        drag->setMimeData(new QMimeData);
        return drag;
    }
    bool canDropOn(giLayer*, QGraphicsSceneDragDropEvent*) override { return dropsOnLayers; }
    bool dropOn(giLayer*, QGraphicsSceneDragDropEvent*) override
    {
        ++layerDrops;
        return places;
    }
};

FakeHandful* ourMade = nullptr;

// Off screen a drag ends at once with no action; on a display, Escape ends it.
ctHandful* makeFake(QWidget* source, giEvent* item, QPointF const&)
{
    ourMade = new FakeHandful(item, source);
    QTimer::singleShot(0, [] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(qApp, &escape);
    });
    return ourMade;
}

struct Drags : ItemsDoc
{
    QWidget source;

    Drags()
    {
        giEvent::ourHandfulMaker = &makeFake;
        ourMade = nullptr;
        FakeHandful::returns = 0;
        QApplication::setStartDragDistance(4);
    }
    ~Drags() override { giEvent::ourHandfulMaker = nullptr; }

    // A drag event of the kind over an item, as the scene hands it on: accepted until the item
    // says otherwise. Whether it ended accepted.
    bool drag(QGraphicsItem* to, QEvent::Type type)
    {
        QMimeData mime;
        QGraphicsSceneDragDropEvent event(type);
        event.setPossibleActions(Qt::CopyAction | Qt::MoveAction);
        event.setProposedAction(Qt::MoveAction);
        event.setMimeData(&mime);
        scene.sendEvent(to, &event);
        return event.isAccepted();
    }
    // A left press at (10, 10) of a, then a move with the button held.
    void pressAndMove(QPointF to)
    {
        press(a, 10);
        mouse(item(a), QEvent::GraphicsSceneMouseMove, to, Qt::LeftButton, Qt::NoModifier,
              &source);
    }
};

} // namespace

TEST_F(Drags, WithoutAHandfulNoItemTakesADrag)
{
    for (QGraphicsItem* to : {static_cast<QGraphicsItem*>(band()),
                              static_cast<QGraphicsItem*>(item(a))}) {
        EXPECT_FALSE(drag(to, QEvent::GraphicsSceneDragEnter));
        EXPECT_FALSE(drag(to, QEvent::GraphicsSceneDragMove));
        EXPECT_FALSE(drag(to, QEvent::GraphicsSceneDrop));
    }
}

TEST_F(Drags, TheLayerTakesWhatTheHandfulCanDrop)
{
    FakeHandful handful(item(a), &source);
    tlObj::ourHand.setHandful(&handful);
    EXPECT_FALSE(drag(band(), QEvent::GraphicsSceneDragEnter));
    EXPECT_FALSE(drag(band(), QEvent::GraphicsSceneDrop));
    EXPECT_EQ(handful.layerDrops, 0) << "a refused drop is not carried out";

    handful.dropsOnLayers = true;
    EXPECT_TRUE(drag(band(), QEvent::GraphicsSceneDragEnter));
    EXPECT_TRUE(drag(band(), QEvent::GraphicsSceneDragMove));
    EXPECT_TRUE(drag(band(), QEvent::GraphicsSceneDrop));
    EXPECT_EQ(handful.layerDrops, 1);
    handful.places = false;
    EXPECT_FALSE(drag(band(), QEvent::GraphicsSceneDrop)) << "a drop that placed nothing";

    // No handful drops on an event: the layer below takes the drag.
    EXPECT_FALSE(drag(item(a), QEvent::GraphicsSceneDragEnter));
    EXPECT_FALSE(drag(item(a), QEvent::GraphicsSceneDragMove));
    EXPECT_FALSE(drag(item(a), QEvent::GraphicsSceneDrop));
}

TEST_F(Drags, ADragPutsBackWhatNoDropPlacedAndEmptiesTheHand)
{
    doc.selection.setSelection(a);
    pressAndMove({13, 10}); // three pixels: not yet a drag
    EXPECT_EQ(ourMade, nullptr);
    doc.dirt.clearAllDirt();
    pressAndMove({12, 12}); // four
    ASSERT_NE(ourMade, nullptr);
    EXPECT_TRUE(raised(tlObj::DirtNewHandful));
    EXPECT_TRUE(raised(tlObj::DirtClearHandful));
    EXPECT_EQ(FakeHandful::returns, 1) << "off screen the drag ends with no action";
    EXPECT_EQ(FakeHandful::alive, 0) << "the handful is deleted after the drag";
    EXPECT_EQ(tlObj::ourHand.getHandful(), nullptr);
    EXPECT_FALSE(remembersPress(a));
}

TEST_F(Drags, ADragSurvivesItsItemsGoingDuringIt)
{
    doc.selection.setSelection(a);
    giEvent::ourHandfulMaker = [](QWidget* s, giEvent* grabbed, QPointF const& at) {
        ctHandful* h = makeFake(s, grabbed, at);
        // A refresh pass drops the layer's item and, with it, the event's.
        ourMade->onDrag = [] { delete ourMade->mySrcItem->parentItem(); };
        return h;
    };
    pressAndMove({30, 10});
    EXPECT_EQ(FakeHandful::returns, 1);
    EXPECT_EQ(FakeHandful::alive, 0);
    EXPECT_EQ(ev(a)->giGet(), nullptr);
}

TEST_F(Drags, AnEventTakenOutOfTheSelectionDragsNothing)
{
    doc.selection.setSelection(a);
    press(a, 10, Qt::LeftButton, Qt::ControlModifier);
    mouse(item(a), QEvent::GraphicsSceneMouseMove, {30, 10}, Qt::LeftButton, Qt::NoModifier,
          &source);
    EXPECT_EQ(ourMade, nullptr);
}
