#include "giEvent.h"

#include "ObDirty.h"
#include "ObSelection.h"
#include "PainterQt.h"
#include "aAssert.h"
#include "aRefresher.h"
#include "ctHandfulEventsQt.h"
#include "ctHandfulQt.h"
#include "ctHndQt.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlStep.h"

#include <QApplication>
#include <QCursor>
#include <QGraphicsSceneDragDropEvent>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <cmath>

QCursor* giEvent::ourStretchCursorR = nullptr;
QCursor* giEvent::ourStretchCursorL = nullptr;

namespace {

// A 32 x 32 arrow: white, with a black arrow inside it that shows the white as its outline;
// pointing right, or left with every x mirrored. The hot spot is the arrow's tail.
QCursor* stretchCursor(bool left)
{
    float const w = 32, h = 32;
    auto fx = [&](float x) { return left ? w - x : x; };
    QPixmap picture {int(w), int(h)};
    picture.fill(QColor(0, 0, 0, 0));
    float o = 3.0f;
    float const d = 1.5f;
    {
        QPainter qp(&picture);
        PainterQt p(qp);
        p.set2dGeometry(0, 0, w, h);
        p.setFillColorRgb8(255, 255, 255);
        p.setAntiAliasing(true);
        float const outline[9][2] = {
            {o + 0.1f * w, o + 0.3f * h},         {0.5f * w - d, o + 0.3f * h},
            {0.5f * w - d, o + 0.18f * h},        {0.5f * w, o + 0.18f * h},
            {0.9f * w - o, 0.5f * h},             {0.5f * w, 0.82f * h - o},
            {0.5f * w - d, 0.82f * h - o},        {0.5f * w - d, 0.7f * h - o},
            {o + 0.1f * w, 0.7f * h - o}};
        p.begin2dPolygon();
        for (auto const& v : outline)
            p.add2dPolygonVertex(fx(v[0]), v[1]);
        p.end2dPolygon();
        o += d;
        p.setFillColorRgb8(0, 0, 0);
        float const inner[7][2] = {
            {o + 0.1f * w, o + 0.3f * h},         {0.5f * w - 0.5f, o + 0.3f * h},
            {0.5f * w - 0.5f, o + 0.18f * h},     {0.9f * w - o - 0.5f, 0.5f * h},
            {0.5f * w - 0.5f, 0.82f * h - o},     {0.5f * w - 0.5f, 0.7f * h - o},
            {o + 0.1f * w, 0.7f * h - o}};
        p.begin2dPolygon();
        for (auto const& v : inner)
            p.add2dPolygonVertex(fx(v[0]), v[1]);
        p.end2dPolygon();
    }
    int const tail = int(2.0f + o + 0.1f * w);
    return new QCursor(picture, left ? int(w - (2.0f + o + 0.1f * w)) : tail, int(h / 2));
}

// "Ignore drag ENTER - can't drop current handful" and its sisters, in black on yellow.
void traceRefused(char const* what)
{
    M_TRACE_C("iyellow", "%s\n", what);
}

} // namespace

giEvent::giEvent(Obh& event) : uiGi(event)
{
    if (!ourStretchCursorR)
        initCursors();
    setAcceptDrops(true);
    setFlag(QGraphicsItem::ItemIsSelectable);
    myStretchEdge = 0;
    myOverrideCursorSet = false;
    setAcceptHoverEvents(true);
    if (aRefresher* refresher = getRefreshEngine())
        refresher->schedule(static_cast<aRefreshable*>(this), LevelViews, nullptr);
}

giEvent::~giEvent()
{
    restoreCursor();
    ourHand.itemGoing(this);
}

void giEvent::initCursors()
{
    ourStretchCursorR = stretchCursor(false);
    ourStretchCursorL = stretchCursor(true);
}

mEvent& giEvent::event() const
{
    Obh h = hdl();
    auto* ev = dynamic_cast<mEvent*>(h.obj());
    A_ASSERT(ev);
    return *ev;
}

void giEvent::restoreCursor()
{
    if (!myOverrideCursorSet)
        return;
    QApplication::restoreOverrideCursor();
    myOverrideCursorSet = false;
}

void giEvent::refresh(aRefreshContext*)
{
    static tlStep updateStep("giEvent_update");
    if (updateStep.needsCleaning(getDirtEngine(), "giEvent") && scene())
        event().giDamage();
}

QVariant giEvent::itemChange(GraphicsItemChange change, QVariant const& value)
{
    if (change != ItemSelectedChange || !scene())
        return QGraphicsItem::itemChange(change, value);
    bool const selected = value.toBool();
    mEvent& ev = event();
    M_TRACE("%s SELECTION change %s\n", ev.desc().c(), selected ? "SELECTED" : "not selected");
    traceHere(__FILE__, __LINE__);
    if (ObSelection* selection = getSelectionEngine()) {
        if (selected)
            selection->addToSelection(hdl());
        else
            selection->removeFromSelection(hdl());
    }
    update();
    if (ObDirty* dirt = getDirtEngine())
        dirt->setDirtyItem(hdl());
    raiseDirt(DirtSelection);
    requestRefresh();
    return QGraphicsItem::itemChange(change, value);
}

void giEvent::hoverEnterEvent(QGraphicsSceneHoverEvent*)
{
}

int giEvent::edgeAt(int x) const
{
    // The events of a crowded row are too small to aim at their ends: a press on one drags.
    mEvent& ev = event();
    mLayer* layer = ev.getLayer();
    if (layer && layer->rowIndex().crowdedAt(ev.getRowIndex(), ev.getRowSize()))
        return 0;
    return ev.onEdgeTest(x);
}

void giEvent::hoverMoveEvent(QGraphicsSceneHoverEvent* hover)
{
    int const edge = edgeAt(int(hover->pos().x()));
    if (edge == 0) {
        restoreCursor();
        return;
    }
    // One arrow on the stack at a time: the other edge's goes first.
    restoreCursor();
    QApplication::setOverrideCursor(edge < 0 ? *ourStretchCursorL : *ourStretchCursorR);
    myOverrideCursorSet = true;
}

void giEvent::hoverLeaveEvent(QGraphicsSceneHoverEvent*)
{
    M_TRACE("HOVER LEAVE!\n");
    restoreCursor();
}

void giEvent::mousePressEvent(QGraphicsSceneMouseEvent* mouse)
{
    mEvent& ev = event();
    A_ASSERT(ev.getLayer());
    int const x = int(mouse->pos().x());
    int const y = int(mouse->pos().y());
    M_TRACE_C("iyellow", "Event clicked at vx=%i, vy=%i, Time=%.2f, Track=%.2f\n", x, y,
              std::floor(ev.getStartTime()), ev.getRowIndex());
    Qt::KeyboardModifiers const mods = mouse->modifiers();
    bool const toggle = mods & (Qt::ShiftModifier | Qt::ControlModifier);
    ourHand.clearMousePresses(this);
    if (mouse->button() == Qt::MiddleButton) {
        editEvent();
        mouse->accept();
        return;
    }
    if (mouse->button() != Qt::LeftButton) {
        mouse->ignore();
        return;
    }
    myStretchEdge = edgeAt(x);
    myStretchStarted = false;
    Obh const h = hdl();
    if (ObSelection* selection = getSelectionEngine()) {
        bool const selected = selection->isSelectedTest(h);
        if (toggle && !selected)
            selection->addToSelection(h);
        else if (toggle)
            selection->removeFromSelection(h);
        else if (!selected)
            selection->setSelection(h);
        // Taken after the selection changed: the stretch takes every event selected now.
        if (myStretchEdge != 0) {
            if (mTimeline* tl = getTimeline())
                myOrigSpans = tl->getSelectedEventLengths();
            myStretchPressX = mapToParent(mouse->pos()).x();
            M_TRACE("%p Event caching stretch\n", static_cast<void*>(this));
        }
    }
    update();
    ourHand.registerMousePressQt(this, mouse->pos());
    raiseDirt(DirtSelectionByTimeDisabled);
    requestRefresh();
    if (ObDirty* dirt = getDirtEngine())
        dirt->setDirtyItem(h);
    raiseDirt(DirtSelection);
    requestRefresh();
    mouse->accept();
}

void giEvent::mouseMoveEvent(QGraphicsSceneMouseEvent* mouse)
{
    double pressX = 0, pressY = 0;
    if (!ourHand.getMousePressed(this, pressX, pressY)) {
        mouse->ignore();
        return;
    }
    if (myStretchEdge != 0) {
        myStretchStarted = myStretchStarted || ourHand.moveWasDragTestQt(this, mouse->pos());
        if (myStretchStarted)
            stretch(mouse);
    } else
        drag(mouse, QPointF(pressX, pressY));
}

void giEvent::stretch(QGraphicsSceneMouseEvent* mouse)
{
    mTimeline* tl = getTimeline();
    if (!tl)
        return;
    mEvent& ev = event();
    Obh const h = hdl();
    ObSelection* selection = getSelectionEngine();
    M_TRACE("%p Event %s selected", static_cast<void*>(&ev),
            selection && selection->isSelectedTest(h) ? "IS" : "is not");
    double before = 0, after = 0;
    getImpulseBeforeAfter(ev.getStartTime(), before, after);
    mScale* scale = tl->timeScale();
    M_TRACE("%p Event doing stretch (sceneCoords):  %f x %f from ( %f, %f ) to ( %f, %f ) |  sx "
            "%f, ex %f\n",
            static_cast<void*>(this), width(), height(), x(), y(), x() + width(), y() + height(),
            scale ? scale->localToParent(before) : 0.0, scale ? scale->localToParent(after) : 0.0);
    // Both points in the parent's coordinates, each as the item stood when it was taken.
    tl->stretchSelectedEvents(myStretchEdge, mapToParent(mouse->pos()).x(), myStretchPressX, h,
                              myOrigSpans);
    requestRefresh();
}

void giEvent::drag(QGraphicsSceneMouseEvent* mouse, QPointF const& pressedAt)
{
    if (!ourHand.moveWasDragTestQt(this, mouse->pos()))
        return;
    // No drag starts from an event a press took out of the selection; whatever the drag ends
    // in, what no drop of ours placed goes back. The events are grabbed where the press was,
    // not where this move got to: they move as far as the pointer has from the press on.
    std::weak_ptr<char> const alive = myLife;
    ctHandfulEventsQt::drag(mouse->widget(), this, pressedAt);
    if (alive.expired())
        return; // a refresh during the drag deleted this item
    // The drag took the release: the press it started from is over.
    myStretchEdge = 0;
    myStretchStarted = false;
    myOrigSpans = rtl::ref<LengthMap>();
}

void giEvent::mouseReleaseEvent(QGraphicsSceneMouseEvent*)
{
    ourHand.clearMousePresses(this);
    myStretchEdge = 0;
    myStretchStarted = false;
    myOrigSpans = rtl::ref<LengthMap>();
}

void giEvent::mouseDoubleClickEvent(QGraphicsSceneMouseEvent*)
{
    editEvent();
}

void giEvent::editEvent()
{
    openEditor(false);
}

void giEvent::dragEnterEvent(QGraphicsSceneDragDropEvent* drop)
{
    ctHandfulQt* handful = ourHand.getHandfulQt();
    if (handful && handful->canDropOn(this, drop)) {
        drop->acceptProposedAction();
        M_TRACE_C("igreen", "Accept drag ENTER\n");
        return;
    }
    drop->ignore();
    traceRefused("Ignore drag ENTER - can't drop current handful");
}

void giEvent::dragMoveEvent(QGraphicsSceneDragDropEvent* drop)
{
    ctHandfulQt* handful = ourHand.getHandfulQt();
    if (handful && handful->canDropOn(this, drop)) {
        M_TRACE_C("igreen", "ACCEPT drag move\n");
        drop->accept();
        return;
    }
    drop->ignore();
    traceRefused("Ignore drag ENTER - can't drop current handful");
}

void giEvent::dropEvent(QGraphicsSceneDragDropEvent* drop)
{
    ctHandfulQt* handful = ourHand.getHandfulQt();
    if (handful && handful->canDropOn(this, drop)) {
        // A drop that placed nothing is not taken, so that the drag ends with no action.
        if (handful->dropOn(this, drop)) {
            M_TRACE_C("igreen", "Accept drag move\n");
            drop->accept();
        } else {
            drop->ignore();
        }
        return;
    }
    drop->ignore();
    traceRefused("Ignore drag ENTER - can't drop current handful");
}
