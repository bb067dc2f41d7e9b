#include "ObQtRefresher.h"

#include "Ob.h"
#include "aTrace.h"

#include <QScopedValueRollback>

ObQtRefresher::ObQtRefresher() : QObject(nullptr), aRefresher(true), myFiredDuringRefresh(false)
{
    myTimer.setInterval(0);
    myTimer.setSingleShot(true);
    connect(&myTimer, &QTimer::timeout, this, &ObQtRefresher::refreshTimerCb);
    myNeedsRefresh = false;
}

ObQtRefresher::~ObQtRefresher() = default;

void ObQtRefresher::setNeedsRefresh(aRefreshContext* ctx)
{
    aRefresher::setNeedsRefresh(ctx);
    doRefreshIfNeeded(ctx);
}

void ObQtRefresher::doRefreshIfNeeded(aRefreshContext*)
{
    if (myNeedsRefresh) {
        if (myTimer.isActive())
            myTimer.stop();
        myTimer.start();
    } else if (Ob::ourTrace) {
        A_TRACE("NO refresh needed!\n");
    }
}

void ObQtRefresher::_doRefreshIfNeeded(aRefreshContext* ctx)
{
    aRefresher::doRefreshIfNeeded(ctx);
}

rtl::str ObQtRefresher::getRefreshDuration() const
{
    return myRefreshDuration;
}

void ObQtRefresher::refreshTimerCb()
{
    if (myInRefresh) {
        // A nested event loop inside the pass: no pass inside a pass, but the request this
        // firing stands for must not be lost.
        myFiredDuringRefresh = true;
        return;
    }
    {
        // Lowered again however the pass ends, also by a throwing step: a flag left up would
        // stop every later pass.
        QScopedValueRollback<bool> inPass(myInRefresh, true);
        myTimer.stop();
        myRefreshStartTs.stamp();
        _doRefreshIfNeeded(nullptr);
        aTs now;
        now.stamp();
        now.subtract(myRefreshStartTs);
        myRefreshDuration = now.getExtendedDeltaStr();
    }
    if (myFiredDuringRefresh) {
        myFiredDuringRefresh = false;
        myTimer.stop();
        myTimer.start();
    }
}
