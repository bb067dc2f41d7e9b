#include "ItemsDoc.h"
#include "PainterQt.h"
#include "ctHandful.h"
#include "ctHandfulEventsQt.h"
#include "ctHandfulQt.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QGraphicsSceneDragDropEvent>
#include <QGraphicsView>
#include <QMimeData>
#include <QPainter>

#include <functional>
#include <map>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// A handful that answers the drop targets as told and counts the drops on layers.
struct FakeHandful : ctHandful, ctHandfulQt
{
    bool dropsOnLayers = false;
    bool places = true;
    int layerDrops = 0;

    FakeHandful(uiGi* item, QWidget* widget) : ctHandful(0, 0), ctHandfulQt(item, widget) {}

    using ctHandfulQt::canDropOn;
    using ctHandfulQt::dropOn;
    void returnEventsToOrigLocations() override {}
    QDrag* getQDrag() override { return nullptr; }
    bool canDropOn(giLayer*, QGraphicsSceneDragDropEvent*) override { return dropsOnLayers; }
    bool dropOn(giLayer*, QGraphicsSceneDragDropEvent*) override
    {
        ++layerDrops;
        return places;
    }
};

// Stands in for QDrag::exec: counts the drags and plays what the test says happens during one.
struct Drags : ItemsDoc
{
    QWidget source;
    static inline int execs = 0;
    static inline Qt::DropActions offered;
    static inline std::function<Qt::DropAction(QDrag&)> during;

    Drags()
    {
        execs = 0;
        during = nullptr;
        ctHndQt::ourDragExec = &exec;
        QApplication::setStartDragDistance(4);
    }
    ~Drags() override
    {
        ctHndQt::ourDragExec = &ctHndQt::execDrag;
        during = nullptr;
    }
    static Qt::DropAction exec(QDrag& drag, Qt::DropActions actions)
    {
        ++execs;
        offered = actions;
        return during ? during(drag) : Qt::IgnoreAction;
    }

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
        mouse(item(a), QEvent::GraphicsSceneMouseMove, to, Qt::LeftButton, Qt::NoModifier, &source);
    }
    // What the toolkit sends the scene during a drag along the pointer's way: an enter and a
    // move where the drag starts, a move at every later point, the drop at the last. The answer.
    Qt::DropAction dragAlong(QDrag& qdrag, std::vector<QPointF> const& way)
    {
        std::vector<std::pair<QEvent::Type, QPointF>> steps {
            {QEvent::GraphicsSceneDragEnter, way.front()}};
        for (QPointF const& at : way)
            steps.emplace_back(QEvent::GraphicsSceneDragMove, at);
        steps.emplace_back(QEvent::GraphicsSceneDrop, way.back());
        QGraphicsSceneDragDropEvent* last = nullptr;
        std::vector<std::unique_ptr<QGraphicsSceneDragDropEvent>> events;
        for (auto const& [type, at] : steps) {
            events.push_back(std::make_unique<QGraphicsSceneDragDropEvent>(type));
            last = events.back().get();
            last->setScenePos(at);
            last->setMimeData(qdrag.mimeData());
            last->setPossibleActions(Qt::CopyAction | Qt::MoveAction);
            last->setProposedAction(Qt::MoveAction);
            QCoreApplication::sendEvent(&scene, last);
        }
        return last->isAccepted() ? last->dropAction() : Qt::IgnoreAction;
    }
    // What the toolkit sends the scene where a drag comes over it at a point: an enter and a
    // move, with the keys held.
    void hover(QDrag& qdrag, QPointF to, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        for (QEvent::Type type : {QEvent::GraphicsSceneDragEnter, QEvent::GraphicsSceneDragMove}) {
            QGraphicsSceneDragDropEvent over(type);
            over.setScenePos(to);
            over.setMimeData(qdrag.mimeData());
            over.setPossibleActions(Qt::MoveAction);
            over.setProposedAction(Qt::MoveAction);
            over.setModifiers(keys);
            QCoreApplication::sendEvent(&scene, &over);
        }
    }
    // The handful's guide over the scene's first 1000 by 600, on a device of the pixel ratio.
    static QImage guideOn(int ratio)
    {
        QImage guide(1000 * ratio, 600 * ratio, QImage::Format_ARGB32_Premultiplied);
        guide.setDevicePixelRatio(ratio);
        guide.fill(Qt::transparent);
        QPainter qp(&guide);
        PainterQt p(qp);
        p.set2dGeometry(0, 0, 1000, 600);
        tlObj::ourHand.getHandfulQt()->drawSceneGuide(p);
        return guide;
    }
    // Where an event is: its layer, row and start.
    std::tuple<Obh, double, double> spot(Obh h)
    {
        return {ev(h)->getLayerHdl(), ev(h)->getRowIndex(), ev(h)->getStartTime()};
    }
    bool inLayer(Obh h) { return tlObj::ourType_mLayer->ptr(l)->getEvents().count(h) == 1; }
};

} // namespace

TEST_F(Drags, WithoutAHandfulNoItemTakesADrag)
{
    for (QGraphicsItem* to :
         {static_cast<QGraphicsItem*>(band()), static_cast<QGraphicsItem*>(item(a))}) {
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

TEST_F(Drags, ADragStartsAtTheStartDistanceAndPutsBackWhatNoDropPlaced)
{
    doc.selection.setSelection(a);
    auto const before = spot(a);
    pressAndMove({13, 10}); // three pixels: not yet a drag
    EXPECT_EQ(execs, 0);
    doc.dirt.clearAllDirt();
    pressAndMove({12, 12}); // four
    EXPECT_EQ(execs, 1);
    EXPECT_TRUE(raised(tlObj::DirtNewHandful));
    EXPECT_TRUE(raised(tlObj::DirtClearHandful));
    EXPECT_EQ(spot(a), before);
    EXPECT_TRUE(inLayer(a));
    EXPECT_TRUE(selected(a));
    EXPECT_EQ(tlObj::ourHand.getHandful(), nullptr);
    EXPECT_FALSE(remembersPress(a));
}

TEST_F(Drags, ADropThroughTheSceneLandsOnTheLayerUnderThePointer)
{
    doc.selection.setSelection(a);
    // Straight down from the press, into b's row: the same time, the next row.
    QPointF const target(item(a)->mapToScene(10, 10).x(), item(b)->mapToScene(12, 12).y());
    during = [&](QDrag& qdrag) {
        Qt::DropAction const done = dragAlong(qdrag, {target});
        EXPECT_EQ(done, Qt::MoveAction);
        return done;
    };
    pressAndMove({12, 12});
    ASSERT_EQ(execs, 1);
    EXPECT_EQ(spot(a), std::make_tuple(l, 1.0, 100.0));
    EXPECT_TRUE(inLayer(a));
    EXPECT_TRUE(selected(a));
    EXPECT_EQ(tlObj::ourHand.getHandful(), nullptr);
}

// The grab point is the press: the events keep the offset pressed at and move as far as the
// pointer did, the moves before the start distance and a first jump past it included.
TEST_F(Drags, TheEventMovesAsFarAsThePointerWentFromThePress)
{
    struct Case
    {
        char const* how;
        Obh event;
        double distance, step;
    } const cases[] = {
        {"60 pixels in steps of 3", a, 60, 3},
        {"120 pixels in one move", b, 120, 120},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.how);
        doc.selection.setSelection(c.event);
        double const before = ev(c.event)->getStartTime();
        QPointF pointer = item(c.event)->mapToScene(10, 10);
        double const end = pointer.x() + c.distance;
        // The pointer's way past the move that starts the drag is the toolkit's.
        during = [&](QDrag& qdrag) {
            std::vector<QPointF> way {pointer};
            while (way.back().x() < end)
                way.push_back(way.back() + QPointF(c.step, 0));
            return dragAlong(qdrag, way);
        };
        int const started = execs;
        press(c.event, 10);
        while (execs == started && pointer.x() < end) {
            pointer += QPointF(c.step, 0);
            mouse(item(c.event), QEvent::GraphicsSceneMouseMove,
                  item(c.event)->mapFromScene(pointer), Qt::LeftButton, Qt::NoModifier, &source);
        }
        ASSERT_EQ(execs, started + 1);
        EXPECT_EQ(ev(c.event)->getStartTime(), before + c.distance) << "a second a pixel";
    }
}

TEST_F(Drags, ADragSurvivesItsItemsGoingDuringIt)
{
    doc.selection.setSelection(a);
    // A refresh pass drops the layer's item and, with it, the events'.
    during = [&](QDrag&) {
        delete band();
        return Qt::IgnoreAction;
    };
    pressAndMove({30, 10});
    EXPECT_EQ(execs, 1);
    EXPECT_TRUE(inLayer(a));
}

TEST_F(Drags, ARefreshThatDeletesTheGrabbedItemDuringTheDragLeavesNothingPointingAtIt)
{
    doc.selection.setSelection(a);
    QPointF const target(item(a)->mapToScene(10, 10).x(), item(b)->mapToScene(12, 12).y());
    during = [&](QDrag& qdrag) {
        ctHandfulQt* handful = tlObj::ourHand.getHandfulQt();
        EXPECT_EQ(handful->mySrcItem, item(a));
        QGraphicsSceneDragDropEvent drop(QEvent::GraphicsSceneDrop);
        drop.setScenePos(target);
        drop.setMimeData(qdrag.mimeData());
        drop.setPossibleActions(Qt::MoveAction);
        drop.setProposedAction(Qt::MoveAction);
        QCoreApplication::sendEvent(&scene, &drop);
        // The view moves on (the lock to now's timer, say) and the scene sync drops the item of
        // the event just dropped, the one the drag started from, while the drag still runs.
        show(5000);
        timeline.getEdb()->syncEventsToView(&timeline, &scene);
        EXPECT_EQ(ev(a)->giGet(), nullptr);
        EXPECT_EQ(handful->mySrcItem, nullptr);
        EXPECT_EQ(handful->getSrcW(), source.width()) << "the source widget's, the item gone";
        return drop.dropAction();
    };
    pressAndMove({12, 12});
    ASSERT_EQ(execs, 1);
    EXPECT_EQ(spot(a), std::make_tuple(l, 1.0, 100.0));
    EXPECT_TRUE(inLayer(a));
}

TEST_F(Drags, ADragWithControlHeldIsAMoveWithTheFullZoning)
{
    QGraphicsView view(&scene);
    view.resize(1000, 600);
    view.show();
    doc.selection.setSelection(a);
    // Far below the layer: with the zoning key, a new layer below it.
    QPointF const target(item(a)->mapToScene(10, 10).x(), 550);
    during = [&](QDrag& qdrag) {
        // What the toolkit sends the view while the pointer moves and lets go with Control held:
        // it proposes a Copy whenever a Copy is offered.
        QPoint const at = view.mapFromScene(target);
        QDragEnterEvent enter(at, offered, qdrag.mimeData(), Qt::LeftButton, Qt::ControlModifier);
        QDragMoveEvent move(at, offered, qdrag.mimeData(), Qt::LeftButton, Qt::ControlModifier);
        QDropEvent drop(at, offered, qdrag.mimeData(), Qt::LeftButton, Qt::ControlModifier);
        EXPECT_EQ(drop.proposedAction(), Qt::MoveAction);
        for (QDropEvent* event : std::initializer_list<QDropEvent*> {&enter, &move, &drop})
            QApplication::sendEvent(view.viewport(), event);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    };
    pressAndMove({12, 12});
    ASSERT_EQ(execs, 1);
    EXPECT_EQ(offered, Qt::MoveAction);
    ASSERT_EQ(timeline.getLayerHdls().size(), 2u);
    Obh below = timeline.getLayerHdls().back();
    EXPECT_EQ(spot(a), std::make_tuple(below, 0.0, 100.0));
    EXPECT_FALSE(inLayer(a)) << "moved, not copied";
    EXPECT_EQ(tlObj::ourType_mLayer->ptr(below)->getEvents().size(), 1u);
    EXPECT_EQ(timeline.getEdb()->getEvents().size(), 2u);
}

TEST_F(Drags, AnEventTakenOutOfTheSelectionDragsNothing)
{
    doc.selection.setSelection(a);
    press(a, 10, Qt::LeftButton, Qt::ControlModifier);
    mouse(item(a), QEvent::GraphicsSceneMouseMove, {30, 10}, Qt::LeftButton, Qt::NoModifier,
          &source);
    EXPECT_EQ(execs, 0);
}

// A drag of more events than the ghosts are drawn one by one for: they move together as far as
// the pointer, each keeping its row from the grabbed one, and their ghosts, drawn a row at a
// time, stand where they land.
TEST_F(Drags, ManyEventsLandTogetherWhereTheirGhostsStand)
{
    std::vector<Obh> many {a, b};
    for (int i = 0; many.size() <= ctHandfulEventsQt::GhostBudget + 200; ++i)
        many.push_back(span(450 + i * 0.4, 0.25, 2 + i % 3));
    tlObj::ourType_mLayer->ptr(l)->addRows(1); // a row below them, to move into
    timeline.restackLayers();
    timeline.getEdb()->syncEventsToView(&timeline, &scene);
    std::map<Obh, std::tuple<Obh, double, double>> before;
    for (Obh h : many) {
        doc.selection.addToSelection(h);
        before[h] = spot(h);
    }
    // From the press on a, 50 pixels right and a row down: a second a pixel, 30 a row.
    QPointF const from = item(a)->mapToScene(10, 10), to = from + QPointF(50, 30);
    QImage guide;
    during = [&](QDrag& qdrag) {
        hover(qdrag, to);
        guide = guideOn(1);
        return dragAlong(qdrag, {to});
    };
    press(a, 10);
    mouse(item(a), QEvent::GraphicsSceneMouseMove, {70, 10}, Qt::LeftButton, Qt::NoModifier,
          &source);
    ASSERT_EQ(execs, 1);
    double const rows = ev(a)->getRowIndex() - std::get<1>(before[a]);
    EXPECT_EQ(rows, 1.0);
    for (Obh h : many) {
        auto const [layer, row, start] = before[h];
        ASSERT_EQ(spot(h), std::make_tuple(layer, row + rows, start + 50)) << ev(h)->getStartTime();
        // Where it landed, its ghost stood: a pixel of the row, in its columns.
        double x = 0, y = 0, w = 0, hgt = 0;
        ev(h)->itemPlacement(x, y, w, hgt);
        y += ev(h)->getLayer()->getSceneY();
        bool shown = false;
        for (int c = int(x); c < int(x + w) && !shown; ++c)
            for (int r = int(y); r < int(y + hgt) && !shown; ++r)
                shown = qAlpha(guide.pixel(c, r)) > 0;
        EXPECT_TRUE(shown) << "the ghost of the event now at " << ev(h)->getStartTime();
    }
}

// The ghosts of a drag of many events onto rows still to be made are marks below the bottom layer,
// a mark row for each row to be made: the instants' marks as the spans', where their markers
// stand, on a device of any pixel ratio.
TEST_F(Drags, ManyEventsOntoRowsToBeMadeMarkInstantsToo)
{
    std::vector<Obh> many {a, b}, instants;
    for (int i = 0; many.size() <= ctHandfulEventsQt::GhostBudget + 200; ++i) {
        many.push_back(span(450 + i * 0.2, 0.1, 2 + i % 2));
        if (i % 4 == 0) {
            // Apart from the spans, in a row of their own.
            Obh h = tlObj::ourType_mEvent->make();
            ev(h)->setIsImpulse(true);
            ev(h)->setStartTime(700 + i * 0.25);
            timeline.addEvent(h, ev(h)->getStartTime(), 4, l, true);
            many.push_back(h);
            instants.push_back(h);
        }
    }
    timeline.restackLayers();
    timeline.getEdb()->syncEventsToView(&timeline, &scene);
    for (Obh h : many)
        doc.selection.addToSelection(h);
    mLayer const& layer = *tlObj::ourType_mLayer->ptr(l);
    double const below = layer.getSceneY() + layer.getSceneH();
    // From the press on a, 50 pixels right and far below the layer, the zoning key held: a new
    // layer below it for a, the rows of the others below that, all still to be made.
    QPointF const from = item(a)->mapToScene(10, 10), to(from.x() + 50, 550);
    // The guide on devices of pixel ratios 1 and 2.
    std::vector<QImage> guides;
    during = [&](QDrag& qdrag) {
        hover(qdrag, to, Qt::ControlModifier);
        for (int ratio : {1, 2})
            guides.push_back(guideOn(ratio));
        return Qt::IgnoreAction;
    };
    press(a, 10);
    mouse(item(a), QEvent::GraphicsSceneMouseMove, {70, 10}, Qt::LeftButton, Qt::NoModifier,
          &source);
    ASSERT_EQ(execs, 1);
    ASSERT_GT(instants.size(), 100u);
    ASSERT_EQ(guides.size(), 2u);
    // Marks stand a few pixels below the layer, each instant's in its marker's columns, moved.
    int const top = int(std::ceil(below)), bottom = top + 12;
    for (int ratio : {1, 2}) {
        QImage const& guide = guides[std::size_t(ratio - 1)];
        for (Obh h : instants) {
            double x = 0, y = 0, w = 0, hgt = 0;
            ev(h)->itemPlacement(x, y, w, hgt);
            bool shown = false;
            for (int c = (int(x) + 50) * ratio; c < (int(x + w) + 50) * ratio && !shown; ++c)
                for (int r = top * ratio; r < bottom * ratio && !shown; ++r)
                    shown = qAlpha(guide.pixel(c, r)) > 0;
            EXPECT_TRUE(shown) << "the mark of the instant at " << ev(h)->getStartTime()
                               << ", pixel ratio " << ratio;
        }
    }
}
