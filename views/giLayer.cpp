#include "giLayer.h"

#include "CrowdPainter.h"
#include "ObSelection.h"
#include "aRefresher.h"
#include "ctHandfulQt.h"
#include "ctHndQt.h"
#include "mLayer.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlStep.h"

#include <QGraphicsSceneDragDropEvent>
#include <QGraphicsSceneMouseEvent>
#include <QStyleOptionGraphicsItem>

giLayer::giLayer(Obh& layer) : uiGi(layer)
{
    setAcceptDrops(true);
    setFlag(QGraphicsItem::ItemIsMovable);
    setFlag(QGraphicsItem::ItemSendsGeometryChanges);
    if (aRefresher* refresher = getRefreshEngine())
        refresher->schedule(static_cast<aRefreshable*>(this), LevelLayerItem, nullptr);
}

giLayer::~giLayer() = default;

void giLayer::refresh(aRefreshContext*)
{
    static tlStep updateStep("giLayer_update");
    // The whole band: its box in its own coordinates.
    if (updateStep.needsCleaning(getDirtEngine(), "giLayer"))
        update();
}

void giLayer::paint(QPainter* painter, QStyleOptionGraphicsItem const* option, QWidget* widget)
{
    uiGi::paint(painter, option, widget);
    Obh h = hdl();
    if (auto* layer = h.isValid() ? dynamic_cast<mLayer*>(h.obj()) : nullptr)
        CrowdPainter::paint(*painter, option, *layer,
                            option ? option->exposedRect : boundingRect());
}

void giLayer::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    Obh h = hdl();
    if (mTimeline* tl = getTimeline())
        tl->setCurrentLayerHdl(h);
    if (!(event->modifiers() & Qt::ShiftModifier)) {
        traceHere(__FILE__, __LINE__);
        if (ObSelection* selection = getSelectionEngine())
            selection->clearSelection();
        raiseDirt(DirtSelection);
        requestRefresh();
    }
    update();
    // On to the scene and the view: a press on the empty band starts a rubber band.
    event->ignore();
}

void giLayer::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    event->ignore();
}

void giLayer::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    event->ignore();
    ourHand.clearMousePresses(this);
}

void giLayer::mouseDoubleClickEvent(QGraphicsSceneMouseEvent*)
{
    editLayer();
}

void giLayer::editLayer()
{
    openEditor(true);
}

void giLayer::dragEnterEvent(QGraphicsSceneDragDropEvent* event)
{
    ctHandfulQt* handful = ourHand.getHandfulQt();
    if (handful && handful->canDropOn(this, event)) {
        event->acceptProposedAction();
        M_TRACE_C("igreen", "Accept drag ENTER\n");
        return;
    }
    event->ignore();
    M_TRACE_C("iyellow", "Ignore drag ENTER - can't drop current handful\n");
}

void giLayer::dragMoveEvent(QGraphicsSceneDragDropEvent* event)
{
    ctHandfulQt* handful = ourHand.getHandfulQt();
    if (handful && handful->canDropOn(this, event)) {
        event->accept();
        return;
    }
    event->ignore();
    M_TRACE_C("iyellow", "Ignore drag ENTER - can't drop current handful\n");
}

void giLayer::dropEvent(QGraphicsSceneDragDropEvent* event)
{
    ctHandfulQt* handful = ourHand.getHandfulQt();
    if (handful && handful->canDropOn(this, event)) {
        // A drop that placed nothing is not taken, so that the drag ends with no action.
        if (handful->dropOn(this, event))
            event->accept();
        else
            event->ignore();
        return;
    }
    event->ignore();
    M_TRACE_C("iyellow", "Ignore drop - can't drop current handful\n");
}
