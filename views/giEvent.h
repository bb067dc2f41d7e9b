#pragma once

#include "aRefreshable.h"
#include "ref.h"
#include "tlObj.h"
#include "uiGi.h"

#include <map>
#include <memory>
#include <utility>

class QCursor;
class QPointF;
class QWidget;
class QGraphicsSceneDragDropEvent;
class QGraphicsSceneHoverEvent;
class QGraphicsSceneMouseEvent;
class mEvent;

// The scene item of one event, hung under its layer's item above the layer bands. The event
// answers its box and draws it; the item adds the mouse: a left press selects by the usual rules
// (alone, or with Shift or Command toggled), a press on an edge (7 units at either end) followed
// by a move stretches every selected event at that edge, a press inside followed by a move of the
// drag distance drags the selected events, a double click or a middle press opens the event's
// editor. Over an edge the pointer shows a stretch arrow. Selection by the scene's rubber band
// reaches the document's selection through itemChange.
//
// The press is remembered by the one global hand (tlObj::ourHand), which also holds the handful
// of a drag in progress: no drop lands on an event, the layer item below takes it.
class giEvent : public uiGi, public tlObj, public aRefreshable
{
public:
    explicit giEvent(Obh& event);
    // An item that goes while it shows a stretch arrow takes the arrow away with it; the hand
    // forgets it (its press, and a drag's grab of it).
    ~giEvent() override;

    // The two arrows, built once by the first item and kept for the run.
    static void initCursors();
    static QCursor* ourStretchCursorR;
    static QCursor* ourStretchCursorL;

    // Opens (or, asked again for the same event, closes) the event's editor.
    virtual void editEvent();
    // Repaints the item when the selection, the time selection or the layout changed.
    void refresh(aRefreshContext* ctx) override;

    using LengthMap = std::map<Obh, std::pair<double, double>>;

    // The edge of the last left press: -1 the start, +1 the end, 0 the body (a drag).
    int myStretchEdge = 0;
    // For a stretch: start and length of every selected event when the edge was pressed, and
    // the press's x in the parent's coordinates, taken then (the item moves with its start).
    rtl::ref<LengthMap> myOrigSpans;
    double myStretchPressX = 0;
    // A stretch begins once the pointer has gone the system's drag distance from the press, as a
    // drag does: a click with a tremor on an edge changes nothing.
    bool myStretchStarted = false;
    // Whether this item has its arrow on the application's override-cursor stack.
    bool myOverrideCursorSet = false;
    // Lives as long as the item: a handler that runs an event loop (the drag's) keeps a weak
    // reference to it and learns from it whether the item is still there afterwards.
    std::shared_ptr<char> const myLife = std::make_shared<char>();

protected:
    void dragEnterEvent(QGraphicsSceneDragDropEvent* event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent* event) override;
    void dropEvent(QGraphicsSceneDragDropEvent* event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;
    QVariant itemChange(GraphicsItemChange change, QVariant const& value) override;

private:
    mEvent& event() const;
    // The edge under a point of the item (see mEvent::onEdgeTest); none for an event of a
    // crowded row.
    int edgeAt(int x) const;
    // Takes this item's arrow off the override-cursor stack, when it has put one there.
    void restoreCursor();
    // Resizes the selected events by the pointer's move from the press.
    void stretch(QGraphicsSceneMouseEvent* mouse);
    // Drags the selected events, grabbed at the press point (item coordinates), once the move
    // is the drag distance away from it. The drag runs an event loop of its own, in which a
    // refresh may delete this item: after it the item checks that it is still there.
    void drag(QGraphicsSceneMouseEvent* mouse, QPointF const& pressedAt);
};
