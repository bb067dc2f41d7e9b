#pragma once

#include "aRefreshable.h"
#include "tlObj.h"
#include "uiGi.h"

class QGraphicsSceneDragDropEvent;
class QGraphicsSceneMouseEvent;

// The scene item of one layer: the band of its rows behind its events. A press (any button) makes
// the layer the current one and, without Shift, empties the selection, then goes on to the scene
// and the view (a rubber band starts on the empty band). Dragged events are dropped here: the
// handful of the drag decides where they land. A double click opens the layer's editor.
class giLayer : public uiGi, public tlObj, public aRefreshable
{
public:
    explicit giLayer(Obh& layer);
    ~giLayer() override;

    virtual void editLayer();
    // The band, then its crowded rows' events (those without items of their own).
    void paint(QPainter* painter, QStyleOptionGraphicsItem const* option, QWidget* widget) override;
    // Repaints the band when the selection, the rows or the stacking changed.
    void refresh(aRefreshContext* ctx) override;

protected:
    void dragEnterEvent(QGraphicsSceneDragDropEvent* event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent* event) override;
    void dropEvent(QGraphicsSceneDragDropEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;
};
