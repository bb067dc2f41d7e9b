#include "aRefresher.h"

#include "aAssert.h"
#include "aTemporaryChange.h"
#include "aTrace.h"

#include <vector>

aRefresher::aRefresher(bool debugNames) : myDebugNames(debugNames)
{
}

aRefresher::~aRefresher()
{
    // Every transmitter goes, and every receiver forgets it: refreshables may outlive us.
    myTxByLevel.clear();
}

void aRefresher::setNeedsRefresh(aRefreshContext*)
{
    myNeedsRefresh = true;
}

void aRefresher::doRefreshIfNeeded(aRefreshContext* ctx)
{
    // Back to what it was however the pass ends: a step that throws must not leave the
    // refresher believing it is still inside a pass.
    aTemporaryChange<bool> inPass(myInRefresh, true);
    std::vector<int> emptyLevels;
    // Walked by key over the live map, so callbacks may add or drop levels while it runs.
    auto it = myTxByLevel.begin();
    while (it != myTxByLevel.end()) {
        int const level = it->first;
        myCurrentLevel = level;
        rtl::ref<Tx> tx = it->second; // kept alive even if its level goes during its own turn
        if (tx.get()->txSize() == 0)
            emptyLevels.push_back(level);
        else
            tx.get()->txTransmit(ctx);
        it = myTxByLevel.upper_bound(level);
    }
    eraseEmptyLevels(emptyLevels);
}

void aRefresher::eraseEmptyLevels(std::vector<int> const& levels)
{
    for (int level : levels) {
        auto it = myTxByLevel.find(level);
        if (it != myTxByLevel.end() && it->second.get()->txSize() == 0)
            myTxByLevel.erase(it);
    }
}

void aRefresher::schedule(aRefreshable* r, int level, Func f, rtl::str* name)
{
    // An empty callback (a null function, say) cannot be called: every pass would stop on it.
    if (f.empty())
        return;
    auto it = myTxByLevel.find(level);
    if (it == myTxByLevel.end())
        it = myTxByLevel.emplace(level, rtl::ref<Tx>(new Tx(myDebugNames))).first;
    Tx* tx = it->second.get();
    if (name)
        tx->txConnect(f, r, *name);
    else
        tx->txConnect(f, r);
    if (r)
        r->rxConnect(f, tx);
}

void aRefresher::schedule(aRefreshable* r, int level, Func f, char const* name)
{
    if (name) {
        rtl::str text(name);
        schedule(r, level, f, &text);
    } else {
        schedule(r, level, f, static_cast<rtl::str*>(nullptr));
    }
}

void aRefresher::schedule(aRefreshable& r, int level, rtl::str* name)
{
    Func f = fastdelegate::MakeDelegate<aRefreshable>(&r, &aRefreshable::refresh);
    if (!myDebugNames) {
        schedule(&r, level, f, static_cast<rtl::str*>(nullptr));
        return;
    }
    if (name) {
        schedule(&r, level, f, name);
        return;
    }
    rtl::str desc;
    r.describeRefreshable(desc);
    rtl::str made;
    made.set("%s::refresh", desc.c());
    schedule(&r, level, f, &made);
}

void aRefresher::schedule(aRefreshable* r, int level, rtl::str* name)
{
    A_ASSERT(r);
    schedule(*r, level, name);
}

void aRefresher::schedule(aRefreshable* r, int level, char const* name)
{
    A_ASSERT(r);
    schedule(*r, level, name);
}

void aRefresher::schedule(aRefreshable& r, int level, char const* name)
{
    if (name) {
        rtl::str text(name);
        schedule(r, level, &text);
    } else {
        schedule(r, level, static_cast<rtl::str*>(nullptr));
    }
}

void aRefresher::scheduleFunc(FreeFunc fn, int level, rtl::str* name)
{
    schedule(nullptr, level, Func(fn), name);
}

void aRefresher::scheduleFunc(FreeFunc fn, int level, char const* name)
{
    schedule(nullptr, level, Func(fn), name);
}

void aRefresher::unschedule(aRefreshable* r)
{
    if (r)
        r->rxDisconnect();
}

void aRefresher::unschedule(Func f)
{
    std::vector<int> emptyLevels;
    for (auto& [level, tx] : myTxByLevel) {
        if (tx.get()->txSize() == 0)
            emptyLevels.push_back(level);
        else
            tx.get()->txDisconnectFunc(f);
    }
    eraseEmptyLevels(emptyLevels);
}

bool aRefresher::unschedule(Func f, int level)
{
    auto it = myTxByLevel.find(level);
    if (it == myTxByLevel.end())
        return false;
    it->second.get()->txDisconnectFunc(f);
    return true;
}

bool aRefresher::unscheduleFunc(FreeFunc fn, int level)
{
    return unschedule(Func(fn), level);
}

void aRefresher::unscheduleFunc(FreeFunc fn)
{
    unschedule(Func(fn));
}

bool aRefresher::isScheduledTest(int& level) const
{
    level = myCurrentLevel;
    return myInRefresh;
}

bool aRefresher::isScheduledTest() const
{
    return myInRefresh;
}

void aRefresher::print()
{
    std::size_t clients = 0;
    for (auto const& entry : myTxByLevel)
        clients += entry.second.get()->txSize();
    A_TRACE_C("icyan", "%28s" "REFRESHING %i refresh phases, %i clients!\n", "",
              static_cast<int>(myTxByLevel.size()), static_cast<int>(clients));
    std::vector<int> emptyLevels;
    for (auto const& [level, tx] : myTxByLevel) {
        if (tx.get()->txSize() == 0) {
            emptyLevels.push_back(level);
            continue;
        }
        A_TRACE_C("cyan", "  LEVEL: %i\n", level);
        tx.get()->txPrint("    ");
    }
    eraseEmptyLevels(emptyLevels);
}
