#include "ctHndQt.h"

#include "aTemporaryChange.h"
#include "ctHandful.h"
#include "ctHandfulQt.h"

#include <QApplication>
#include <QDrag>
#include <QPointF>
#include <QPointer>

#include <cmath>

ctHndQt::DragExec ctHndQt::ourDragExec = &ctHndQt::execDrag;

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

Qt::DropAction ctHndQt::execDrag(QDrag& drag, Qt::DropActions offered)
{
    return drag.exec(offered);
}

void ctHndQt::itemGoing(uiGi* item)
{
    myPresses.erase(item);
    for (ctHandfulQt* handful : {myHandfulQt, myRunning})
        if (handful && handful->mySrcItem == item)
            handful->mySrcItem = nullptr;
}

Qt::DropAction ctHndQt::runDrag(std::unique_ptr<ctHandful> handful)
{
    auto* qtSide = dynamic_cast<ctHandfulQt*>(handful.get());
    if (!qtSide)
        return Qt::IgnoreAction;
    aTemporaryChange<ctHandfulQt*> running(myRunning, qtSide);
    setHandful(handful.get());
    clearMousePresses(nullptr);
    Qt::DropAction result = Qt::IgnoreAction;
    // exec deletes its drag object later; one that never ran is deleted the same way.
    QPointer<QDrag> drag = qtSide->getQDrag();
    if (drag) {
        // Only a Move is offered: with Control held (the full zoning) the toolkit proposes a
        // Copy when one is offered, and a copy of ours would be no drop at all.
        result = ourDragExec(*drag, Qt::MoveAction);
        if (drag)
            drag->deleteLater();
    }
    // The answer of exec says nothing of where the events are: another program may have taken
    // the drop, or ours may have refused it. The handful knows what it placed.
    handful->returnEventsToOrigLocations();
    clearHandful();
    requestRefresh();
    return result;
}
