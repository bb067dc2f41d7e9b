#pragma once

#include "tlObj.h"

#include <QGraphicsScene>

class ctHandfulQt;
class uiGi;

// The graphics scene of one timeline component: it holds the layer items and, under them, the
// event items that the timeline pane's graphics view shows. Made by the component's registry,
// with no index (the model keeps its own index by time and row).
//
// A press on the background (or on a layer's band) clears the selection, or keeps it with Shift,
// and starts a rubber band. A press on an event of a crowded row (drawn by its layer's item) first
// gives that event its item, which takes the press as any event's item does. Drags of ours go to
// the handful the hand holds: the scene asks it whether the pointer is over a place to drop, and
// hands a drop to the item of the layer that the drop zone names, wherever the pointer is across
// the stack. Drags of other programs (files, text) are ignored.
class tlScene : public QGraphicsScene, public tlObj
{
    Q_OBJECT

public:
    tlScene();
    ~tlScene() override;

    // The handful repaints the foreground through this while it hovers.
    using QGraphicsScene::invalidate;
    virtual void invalidate(QRectF const& rect, SceneLayers layers);

    // The program item topmost at the last press (or at the last drop no handful took), or null.
    uiGi* itemUnderPointer() const { return myItemUnderPointer; }

protected:
    void dragEnterEvent(QGraphicsSceneDragDropEvent* event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent* event) override;
    void dragLeaveEvent(QGraphicsSceneDragDropEvent* event) override;
    void dropEvent(QGraphicsSceneDragDropEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

private:
    // The handful of the drag of ours that the event carries; null for any other drag.
    static ctHandfulQt* handfulOf(QGraphicsSceneDragDropEvent* event);
    void setItemUnderPointer(QPointF const& at);
    // Gives the event of a crowded row drawn at the point its item; the point to press its item
    // at (the same, or the nearest in its box).
    QPointF giveCrowdedEventItsItem(QPointF const& at);
    // Hands a drop to the item of the layer under the zone of y; whether it was taken.
    bool dropOnLayerAt(QGraphicsSceneDragDropEvent* event);

    uiGi* myItemUnderPointer = nullptr;
};
