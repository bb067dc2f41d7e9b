#pragma once

#include "aRefreshContext.h"
#include "aRx.h"
#include "str.h"

class aRefresher;

// Anything that brings itself up to date in a refresh pass. Being a receiver, it leaves every
// level it was scheduled at when it is destroyed.
class aRefreshable : public aRx<aRefreshContext*, void>
{
public:
    aRefreshable() = default;
    virtual ~aRefreshable() = default;

    virtual void refresh(aRefreshContext* ctx);
    virtual void describeRefreshable(rtl::str& s) const;
    virtual void refresherDisconnected(aRefresher* r) const;
    virtual void refresherConnected(aRefresher* r) const;

    mutable aRefresher* myRefresher = nullptr;
};
