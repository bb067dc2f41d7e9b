#pragma once

#include <QPointer>
#include <QWidget>

class Painter;
class QDrag;
class QGraphicsSceneDragDropEvent;
class giEvent;
class giLayer;
class tlScene;
class uiGi;

// The Qt side of a handful: it makes the drag object and answers the drop targets (event items,
// layer items, the scene). By default nothing can be dropped anywhere.
class ctHandfulQt
{
public:
    ctHandfulQt(uiGi* srcItem, QWidget* srcWidget) : mySrcWidget(srcWidget), mySrcItem(srcItem) {}
    virtual ~ctHandfulQt();

    // A new drag from the source widget.
    virtual QDrag* getQDrag() = 0;
    virtual bool canDropOn(giEvent* item, QGraphicsSceneDragDropEvent* event);
    virtual bool dropOn(giEvent* item, QGraphicsSceneDragDropEvent* event);
    virtual bool canDropOn(giLayer* item, QGraphicsSceneDragDropEvent* event);
    virtual bool dropOn(giLayer* item, QGraphicsSceneDragDropEvent* event);
    virtual bool canDropOn(tlScene* scene, QGraphicsSceneDragDropEvent* event);
    virtual bool dropOn(tlScene* scene, QGraphicsSceneDragDropEvent* event);
    virtual void dropLeave(tlScene* scene, QGraphicsSceneDragDropEvent* event);
    virtual void drawSceneGuide(Painter& painter);

    // The source item's size, else the source widget's.
    double getSrcW() const;
    double getSrcH() const;

    // The widget may close during the drag; the hand forgets the item when it goes
    // (ctHndQt::itemGoing).
    QPointer<QWidget> mySrcWidget;
    uiGi* mySrcItem;
};
