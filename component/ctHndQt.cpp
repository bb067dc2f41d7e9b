#include "ctHndQt.h"

#include "ctHandful.h"
#include "ctHandfulQt.h"

#include <QApplication>
#include <QPointF>

#include <cmath>

ctHndQt::~ctHndQt() = default;

void ctHndQt::setHandful(ctHandful* handful)
{
    myHandfulQt = dynamic_cast<ctHandfulQt*>(handful);
    ctHnd::setHandful(handful);
}

void ctHndQt::clearHandful()
{
    myHandfulQt = nullptr;
    ctHnd::clearHandful();
}

bool ctHndQt::moveWasDragTest(void* item, double& x, double& y) const
{
    double px = 0, py = 0;
    if (!getMousePressed(item, px, py))
        return false;
    return std::fabs(px - x) + std::fabs(py - y) >= QApplication::startDragDistance();
}

void ctHndQt::registerMousePressQt(void* item, QPointF const& at)
{
    registerMousePress(item, at.x(), at.y());
}

bool ctHndQt::moveWasDragTestQt(void* item, QPointF const& at) const
{
    double x = at.x(), y = at.y();
    return moveWasDragTest(item, x, y);
}
