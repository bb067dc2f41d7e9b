#pragma once

#include "FastDelegate1.h"
#include "aRefreshContext.h"
#include "aRefreshable.h"
#include "aTx.h"
#include "ref.h"
#include "str.h"

#include <cstddef>
#include <map>
#include <vector>

// Defers and orders the work that follows a change: callbacks are scheduled at integer levels,
// and a pass calls them level by level in ascending order, each level in callback order. It
// knows no timer: a driver turns requests (setNeedsRefresh) into passes.
class aRefresher
{
public:
    using Func = fastdelegate::FastDelegate1<aRefreshContext*, void>;
    using Tx = aTx<aRefreshContext*, void>;
    using FreeFunc = void (*)(aRefreshContext*);

    explicit aRefresher(bool debugNames);
    virtual ~aRefresher();

    virtual void setNeedsRefresh(aRefreshContext* ctx);
    virtual void doRefreshIfNeeded(aRefreshContext* ctx);

    virtual void schedule(aRefreshable* r, int level, rtl::str* name);
    virtual void schedule(aRefreshable& r, int level, rtl::str* name);
    virtual void schedule(aRefreshable* r, int level, char const* name);
    virtual void schedule(aRefreshable& r, int level, char const* name);
    virtual void unschedule(aRefreshable* r);
    virtual void scheduleFunc(FreeFunc fn, int level, rtl::str* name);
    virtual void scheduleFunc(FreeFunc fn, int level, char const* name);
    virtual bool unscheduleFunc(FreeFunc fn, int level);
    virtual void unscheduleFunc(FreeFunc fn);
    virtual bool isScheduledTest(int& level) const;
    virtual bool isScheduledTest() const;
    virtual void print();
    virtual void schedule(aRefreshable* r, int level, Func f, rtl::str* name);
    virtual void schedule(aRefreshable* r, int level, Func f, char const* name);
    virtual void unschedule(Func f);
    virtual bool unschedule(Func f, int level);

    // A bare nullptr for the name would be ambiguous between the text and string forms; it
    // means no name.
    void schedule(aRefreshable* r, int level, std::nullptr_t) { schedule(r, level, static_cast<rtl::str*>(nullptr)); }
    void schedule(aRefreshable& r, int level, std::nullptr_t) { schedule(r, level, static_cast<rtl::str*>(nullptr)); }
    void schedule(aRefreshable* r, int level, Func f, std::nullptr_t)
    {
        schedule(r, level, f, static_cast<rtl::str*>(nullptr));
    }
    void scheduleFunc(FreeFunc fn, int level, std::nullptr_t) { scheduleFunc(fn, level, static_cast<rtl::str*>(nullptr)); }

    std::map<int, rtl::ref<Tx>> myTxByLevel;
    int myCurrentLevel = -1;
    bool myNeedsRefresh = false;
    bool myInRefresh = false;
    bool myDebugNames;

private:
    void eraseEmptyLevels(std::vector<int> const& levels);
};
