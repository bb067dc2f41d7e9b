#include "ctHandfulQt.h"

#include "uiGi.h"

#include <QWidget>

ctHandfulQt::~ctHandfulQt() = default;

bool ctHandfulQt::canDropOn(giEvent*, QGraphicsSceneDragDropEvent*)
{
    return false;
}

bool ctHandfulQt::dropOn(giEvent*, QGraphicsSceneDragDropEvent*)
{
    return false;
}

bool ctHandfulQt::canDropOn(giLayer*, QGraphicsSceneDragDropEvent*)
{
    return false;
}

bool ctHandfulQt::dropOn(giLayer*, QGraphicsSceneDragDropEvent*)
{
    return false;
}

bool ctHandfulQt::canDropOn(tlScene*, QGraphicsSceneDragDropEvent*)
{
    return false;
}

bool ctHandfulQt::dropOn(tlScene*, QGraphicsSceneDragDropEvent*)
{
    return false;
}

void ctHandfulQt::dropLeave(tlScene*, QGraphicsSceneDragDropEvent*)
{
}

void ctHandfulQt::drawSceneGuide(Painter&)
{
}

double ctHandfulQt::getSrcW() const
{
    if (mySrcItem)
        return mySrcItem->width();
    return mySrcWidget ? mySrcWidget->width() : 0.0;
}

double ctHandfulQt::getSrcH() const
{
    if (mySrcItem)
        return mySrcItem->height();
    return mySrcWidget ? mySrcWidget->height() : 0.0;
}
