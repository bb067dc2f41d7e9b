#include "ObQtRefresher.h"

#include "aTrace.h"

ObQtRefresher::ObQtRefresher() : QObject(nullptr), aRefresher(true), myFiredDuringRefresh(false)
{
    myTimer.setInterval(0);
    myTimer.setSingleShot(true);
    connect(&myTimer, SIGNAL(timeout()), this, SLOT(refreshTimerCb()));
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
    } else {
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
    myInRefresh = true;
    myTimer.stop();
    myRefreshStartTs.stamp();
    _doRefreshIfNeeded(nullptr);
    aTs now;
    now.stamp();
    now.subtract(myRefreshStartTs);
    myRefreshDuration = now.getExtendedDeltaStr();
    myInRefresh = false;
    if (myFiredDuringRefresh) {
        myFiredDuringRefresh = false;
        myTimer.stop();
        myTimer.start();
    }
}
