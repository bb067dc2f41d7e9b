#include "DragDoc.h"

#include <QCoreApplication>
#include <QGraphicsSceneMouseEvent>
#include <QUrl>

#include <set>

namespace {

struct Scene : DragDoc
{
    // A click: the release lets go of the grab an item's press takes.
    void press(QPointF at, Qt::KeyboardModifiers keys = {})
    {
        for (QEvent::Type type :
             {QEvent::GraphicsSceneMousePress, QEvent::GraphicsSceneMouseRelease}) {
            QGraphicsSceneMouseEvent event(type);
            event.setScenePos(at);
            event.setButton(Qt::LeftButton);
            event.setButtons(type == QEvent::GraphicsSceneMousePress ? Qt::LeftButton
                                                                     : Qt::NoButton);
            event.setModifiers(keys);
            QCoreApplication::sendEvent(&scene, &event);
        }
    }
    // A drag event to the scene at model row modelY; whether the scene took it.
    bool send(QEvent::Type type, double modelY, QMimeData const* mime,
              Qt::DropAction proposed = Qt::MoveAction)
    {
        auto event = dragEvent(type, 500, sceneY(modelY), mime, proposed);
        QCoreApplication::sendEvent(&scene, event.get());
        return event->isAccepted();
    }
    std::set<Obh> selected() const { return doc.selection.getSelection(); }
};

// A drag of x, y and z in progress.
struct SceneDrag : Scene
{
    std::unique_ptr<ctHandfulEventsQt> handful = pick(y);
    std::unique_ptr<QDrag> drag {handful->getQDrag()};

    SceneDrag() { tlObj::ourHand.setHandful(handful.get()); }
};

} // namespace

TEST_F(Scene, APressOnTheBackgroundOrABandClearsTheSelectionUnlessShiftIsHeld)
{
    doc.dirt.clearAllDirt();
    press(QPointF(900, 590), Qt::ShiftModifier);
    EXPECT_TRUE(raised(tlObj::DirtRubberBandSelectionStart));
    EXPECT_EQ(selected(), (std::set<Obh> {x, y, z}));
    EXPECT_FALSE(raised(tlObj::DirtSelection));

    press(ev(w)->giGet()->mapToScene(5, 5));
    EXPECT_EQ(selected(), (std::set<Obh> {w})) << "an event decides on its press itself";

    doc.dirt.clearAllDirt();
    press(QPointF(900, sceneY(2.5)));
    EXPECT_TRUE(selected().empty()) << "a's band is background to a press";
    EXPECT_TRUE(raised(tlObj::DirtSelection));
}

TEST_F(SceneDrag, DragsOfOtherProgramsAreIgnored)
{
    QMimeData files;
    files.setUrls({QUrl("file:///tmp/plan.txt")});
    files.setText("events,0,0");
    for (QEvent::Type type : {QEvent::GraphicsSceneDragEnter, QEvent::GraphicsSceneDragMove,
                              QEvent::GraphicsSceneDrop}) {
        EXPECT_FALSE(send(type, 2.5, &files));
    }
    EXPECT_EQ(handful->myHoverX, -1.0) << "the handful was not asked";
    tlObj::ourHand.clearHandful();
    EXPECT_FALSE(send(QEvent::GraphicsSceneDragEnter, 2.5, drag->mimeData()))
        << "ours, but no drag of ours is on";
}

TEST_F(SceneDrag, OurDragIsTakenOverTheLayersAsAMoveOnly)
{
    EXPECT_TRUE(send(QEvent::GraphicsSceneDragEnter, 2.5, drag->mimeData()));
    EXPECT_TRUE(send(QEvent::GraphicsSceneDragMove, 2.5, drag->mimeData()));
    EXPECT_TRUE(send(QEvent::GraphicsSceneDragMove, 15, drag->mimeData()))
        << "far below the layers is a new layer below them";
    EXPECT_FALSE(send(QEvent::GraphicsSceneDragMove, 2.5, drag->mimeData(), Qt::CopyAction));

    // Gone over the ruler or the headers, where a release drops nothing: no ghost is drawn.
    EXPECT_TRUE(send(QEvent::GraphicsSceneDragMove, 2.5, drag->mimeData()));
    send(QEvent::GraphicsSceneDragLeave, 2.5, drag->mimeData());
    EXPECT_FALSE(handful->hasDropPlan());
    // Back at the same point, the ghosts are there again.
    EXPECT_TRUE(send(QEvent::GraphicsSceneDragEnter, 2.5, drag->mimeData()));
    EXPECT_TRUE(handful->hasDropPlan());
}

TEST_F(SceneDrag, WithNoLayerShownADropIsLeftUnacceptedAndChangesNothing)
{
    tl.setLayerHidingEnabled(true);
    for (Obh h : {a, b})
        layer(h)->setIsActive(false);
    tl.restackLayers();
    EXPECT_TRUE(send(QEvent::GraphicsSceneDragEnter, 2.5, drag->mimeData()))
        << "an enter is taken anywhere, so that moves follow";
    EXPECT_FALSE(send(QEvent::GraphicsSceneDragMove, 2.5, drag->mimeData()));
    EXPECT_FALSE(send(QEvent::GraphicsSceneDrop, 2.5, drag->mimeData()));
    for (Obh h : {x, y, z})
        EXPECT_FALSE(inTimeline(h)) << "nothing placed: the drag's end puts them back";
    EXPECT_EQ(tl.getLayerHdls().size(), 2u);
}

TEST_F(Scene, ADropAboveOrBelowEveryLayerGoesToTheLayerThere)
{
    struct Case
    {
        char const* where;
        double modelY;
        Obh layer;
    } const cases[] = {
        {"above the first layer", 0.2, a},
        {"just below the last layer", 9.5, b},
        {"far below the last layer", 15, b},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.where);
        auto handful = pick(y);
        ASSERT_TRUE(handful);
        std::unique_ptr<QDrag> drag(handful->getQDrag());
        tlObj::ourHand.setHandful(handful.get());
        EXPECT_TRUE(send(QEvent::GraphicsSceneDragEnter, c.modelY, drag->mimeData()));
        EXPECT_TRUE(send(QEvent::GraphicsSceneDrop, c.modelY, drag->mimeData()));
        tlObj::ourHand.clearHandful();
        for (Obh h : {x, y, z})
            EXPECT_TRUE(inTimeline(h));
        EXPECT_EQ(ev(y)->getLayerHdl(), c.layer);
        EXPECT_EQ(selected(), (std::set<Obh> {x, y, z}));
        // Without the zoning key no layer is made: the handful is kept inside the stack, where
        // its ghosts stood.
        EXPECT_EQ(tl.getLayerHdls().size(), 2u);
        sync();
    }
}
