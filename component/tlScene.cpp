#include "tlScene.h"

#include "ObSelection.h"
#include "ctHandfulEventsQt.h"
#include "ctHndQt.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "uiGi.h"

#include <QGraphicsSceneDragDropEvent>
#include <QGraphicsSceneMouseEvent>
#include <QMimeData>

#include <algorithm>
#include <set>

tlScene::tlScene() : QGraphicsScene(nullptr)
{
}

tlScene::~tlScene() = default;

void tlScene::invalidate(QRectF const& rect, SceneLayers layers)
{
    QGraphicsScene::invalidate(rect, layers);
}

ctHandfulQt* tlScene::handfulOf(QGraphicsSceneDragDropEvent* event)
{
    ctHandfulQt* handful = ourHand.getHandfulQt();
    QMimeData const* mime = event ? event->mimeData() : nullptr;
    if (!handful || !mime || !mime->hasFormat(ctHandfulEventsQt::MimeType))
        return nullptr;
    return handful;
}

void tlScene::setItemUnderPointer(QPointF const& at)
{
    myItemUnderPointer = qgraphicsitem_cast<uiGi*>(itemAt(at, QTransform()));
}

void tlScene::dragEnterEvent(QGraphicsSceneDragDropEvent* event)
{
    ctHandfulQt* handful = handfulOf(event);
    if (!handful) {
        event->ignore();
        return;
    }
    // Entered anywhere, a drag of ours is taken in, so that moves follow; they decide.
    bool const canDrop = handful->canDropOn(this, event);
    QGraphicsScene::dragEnterEvent(event);
    event->acceptProposedAction();
    if (!canDrop)
        M_TRACE_C("igreen", "Accept drag ENTER\n");
}

void tlScene::dragMoveEvent(QGraphicsSceneDragDropEvent* event)
{
    ctHandfulQt* handful = handfulOf(event);
    if (!handful || !handful->canDropOn(this, event)) {
        event->ignore();
        return;
    }
    QGraphicsScene::dragMoveEvent(event);
    event->acceptProposedAction();
    event->accept();
}

void tlScene::dragLeaveEvent(QGraphicsSceneDragDropEvent* event)
{
    if (ctHandfulQt* handful = handfulOf(event))
        handful->dropLeave(this, event);
}

bool tlScene::dropOnLayerAt(QGraphicsSceneDragDropEvent* event)
{
    mTimeline* tl = getTimeline();
    if (!tl)
        return false;
    Obh layerHdl, other;
    DropZone const zone = tl->getLayerHdlZoneAtSceneRowPos(
        event->scenePos().y(), layerHdl, other, nullptr, nullptr, nullptr, nullptr, nullptr);
    mLayer* layer = zone == DropZone::NoLayer ? nullptr : layerOf(layerHdl);
    uiGi* item = layer ? layer->giGet() : nullptr;
    if (!item || item->scene() != this)
        return false;
    // The layer's item carries the drop out through the handful, as if dropped on it.
    event->setAccepted(false);
    sendEvent(item, event);
    return event->isAccepted();
}

void tlScene::dropEvent(QGraphicsSceneDragDropEvent* event)
{
    ctHandfulQt* handful = handfulOf(event);
    if (!handful) {
        event->ignore();
        return;
    }
    if (handful->canDropOn(this, event)) {
        traceHere(__FILE__, __LINE__);
        if (dropOnLayerAt(event)) {
            traceHere(__FILE__, __LINE__);
            event->accept();
            return;
        }
        // Nothing is dropped beside the layers: the drag ends without a drop and the events go
        // back where they were.
        handful->dropOn(this, event);
        traceHere(__FILE__, __LINE__);
        event->ignore();
        return;
    }
    traceHere(__FILE__, __LINE__);
    setItemUnderPointer(event->scenePos());
    // Taken only by an item that says so.
    event->setAccepted(false);
    QGraphicsScene::dropEvent(event);
    if (!myItemUnderPointer)
        event->ignore();
}

QPointF tlScene::giveCrowdedEventItsItem(QPointF const& at)
{
    mTimeline* tl = getTimeline();
    mEdb* edb = tl ? tl->getEdb() : nullptr;
    if (!edb)
        return at;
    Obh h = edb->crowdedEventAt(at.x(), at.y());
    mEvent* ev = eventOf(h);
    uiGi* item = ev ? ev->giEnsure(h) : nullptr;
    if (!item)
        return at;
    edb->holdItem(h);
    // The row is drawn on whole pixels, its item's box stands between them: a press on its
    // pixels is a press in the box.
    QRectF const box = item->sceneBoundingRect();
    if (box.contains(at))
        return at;
    return {std::clamp(at.x(), box.left(), std::max(box.left(), box.right() - 0.5)),
            box.center().y()};
}

void tlScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    bool const shift = event->modifiers() & Qt::ShiftModifier;
    QPointF const at = giveCrowdedEventItsItem(event->scenePos());
    if (at != event->scenePos()) {
        event->setScenePos(at);
        event->setButtonDownScenePos(event->button(), at);
    }
    setItemUnderPointer(event->scenePos());
    raiseDirt(DirtRubberBandSelectionStart);
    requestRefresh();
    ObSelection* selection = getSelectionEngine();
    std::set<Obh> kept;
    bool restore = false;
    // An item above the bands (an event) decides on its press itself.
    if (!myItemUnderPointer || myItemUnderPointer->zValue() == 0) {
        if (!shift) {
            traceHere(__FILE__, __LINE__);
            if (selection)
                selection->clearSelection();
            raiseDirt(DirtSelection);
        } else if (selection) {
            kept = selection->getSelection();
            restore = true;
        }
    }
    QGraphicsScene::mousePressEvent(event);
    // Shift on the background keeps the selection, whatever the items did with the press.
    if (restore)
        for (Obh const& h : kept)
            selection->addToSelection(h);
}
