#pragma once

#include "aRefresher.h"
#include "aTs.h"
#include "str.h"

#include <QObject>
#include <QTimer>

// The document's refresh engine on the Qt event loop. Requests do not run a pass: each one
// restarts a single-shot 0 ms timer, so that every request made while one event is handled
// ends in one pass on the next turn of the loop. A pass never runs inside another.
class ObQtRefresher : public QObject, public aRefresher
{
    Q_OBJECT

public:
    ObQtRefresher();
    ~ObQtRefresher() override;

    void doRefreshIfNeeded(aRefreshContext* ctx) override;
    void setNeedsRefresh(aRefreshContext* ctx) override;
    virtual void _doRefreshIfNeeded(aRefreshContext* ctx);

    // How long the last pass took, as elapsed-time text; empty before the first pass.
    rtl::str getRefreshDuration() const;

    QTimer myTimer;
    rtl::str myRefreshDuration;
    aTs myRefreshStartTs;
    // The timer fired while a pass ran a nested event loop; the pass re-arms it when it ends.
    bool myFiredDuringRefresh;

public Q_SLOTS:
    void refreshTimerCb();
};
