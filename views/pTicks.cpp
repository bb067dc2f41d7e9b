#include "pTicks.h"

#include "aTs.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlStep.h"

#include <QApplication>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

pTicks::pTicks(QWidget* parent, tlCmp* cmp) : pPane(parent, cmp), myPressPos(0, 0)
{
    show();
    scheduleWithViews();
}

pTicks::~pTicks() = default;

void pTicks::refresh(aRefreshContext*)
{
    static tlStep doUpdate("pTicks_doUpdate");
    if (doUpdate.needsCleaning(getDirtEngine(), "pTicks"))
        update();
}

void pTicks::doLayout()
{
}

void pTicks::paintEvent(QPaintEvent*)
{
    paintWithSkin([](Painter& p, mSkin& look) { look.drawHeader(p); });
}

void pTicks::mousePressEvent(QMouseEvent* event)
{
    selectTimeline(event);
    QPoint const at = event->position().toPoint();
    myPressPos = at;
    mScale* scale = timeScale();
    if (!scale)
        return;
    aTs start, end;
    int type = 0;
    scale->getSelection(start, end, type);
    // Compared unrounded: a point far off the ruler lies any number of pixels away.
    double const startPx = std::trunc(scale->localToParent(start.asSeconds()));
    if (type == 1 && std::fabs(startPx - at.x()) <= 1.0) {
        scale->clearLocalSelection();
        raiseDirt(DirtSelectionByTimeDisabled);
        return;
    }
    M_TRACE("SelectTimeAtPixel\n");
    scale->localSelectAtParentPos(at.x());
    raiseDirt(DirtTimeSelectionChanged);
}

void pTicks::mouseMoveEvent(QMouseEvent* event)
{
    selectTimeline(event);
    mScale* scale = timeScale();
    if (!scale)
        return;
    QPoint const at = event->position().toPoint();
    float const distance = float((at - myPressPos).manhattanLength());
    if (distance >= float(QApplication::startDragDistance()))
        scale->localSelectAtParentSpan(std::min(myPressPos.x(), at.x()),
                                       std::max(myPressPos.x(), at.x()));
    else
        scale->localSelectAtParentPos(at.x());
    raiseDirt(DirtTimeSelectionChanged);
}

void pTicks::mouseReleaseEvent(QMouseEvent*)
{
}
