#pragma once

#include "FastDelegate1.h"
#include "aRx.h"
#include "aTemporaryChange.h"
#include "aTrace.h"
#include "str.h"

#include <cstddef>
#include <iterator>
#include <list>
#include <map>

// The transmitter of one refresh level: its callbacks in callback order, each with the receiver
// it was connected through (or none), and optionally a name per callback for the listings.
template <class A, class R>
class aTx
{
public:
    using Func = fastdelegate::FastDelegate1<A, R>;
    using Rx = aRx<A, R>;

    explicit aTx(bool debugNames) : myDebugNames(debugNames) {}
    aTx(aTx const&) = delete;
    aTx& operator=(aTx const&) = delete;

    virtual ~aTx()
    {
        txClear();
        delete myNamesByFunc;
    }

    // A callback already present keeps its one entry; a different receiver takes it over, and
    // the former one stops recording it here.
    Func txConnect(Func f, Rx* rx)
    {
        auto [it, added] = myRxByFunc.try_emplace(f, rx);
        if (!added && it->second != rx) {
            forgetInRx(it->second, f);
            it->second = rx;
        }
        return f;
    }

    Func txConnect(Func f, Rx* rx, rtl::str name)
    {
        txConnect(f, rx);
        if (myDebugNames && name) {
            if (!myNamesByFunc)
                myNamesByFunc = new std::map<Func, rtl::str>;
            (*myNamesByFunc)[f] = name;
        }
        return f;
    }

    void txDisconnectFunc(Func f)
    {
        auto it = myRxByFunc.find(f);
        if (it != myRxByFunc.end())
            eraseEntry(it);
    }

    // Drops every callback connected through rx. The receiver's own record names them.
    void txDisconnectRx(Rx* rx)
    {
        auto record = rx->myFuncsByTx.find(this);
        if (record == rx->myFuncsByTx.end())
            return;
        std::list<Func> const funcs = std::move(record->second);
        rx->myFuncsByTx.erase(record);
        for (Func const& f : funcs) {
            auto it = myRxByFunc.find(f);
            if (it != myRxByFunc.end() && it->second == rx)
                eraseEntry(it);
        }
    }

    // Calls every callback in callback order over the live map: callbacks added after the
    // running one are reached, removed ones are not, and removing the running one is safe.
    // A callback that throws ends the walk; the record of the running entry, which lives on
    // this stack, is unhooked all the same.
    void txTransmit(A ctx)
    {
        Running running;
        aTemporaryChange<Running*> current(myRunning, &running);
        auto it = myRxByFunc.begin();
        while (it != myRxByFunc.end()) {
            Func const f = it->first;
            running.entry = it;
            running.erased = false;
            f(ctx);
            it = running.erased ? myRxByFunc.upper_bound(f) : std::next(it);
        }
    }

    virtual void txClear()
    {
        for (auto const& entry : myRxByFunc)
            if (entry.second)
                entry.second->rxDisconnect(this);
        myRxByFunc.clear();
        if (myRunning) {
            myRunning->erased = true;
            myRunning->entry = myRxByFunc.end(); // the old node is gone: compare with nothing
        }
        if (myNamesByFunc)
            myNamesByFunc->clear();
    }

    std::size_t txSize() const { return myRxByFunc.size(); }

    void txPrint(char const* prefix) const
    {
        if (!myNamesByFunc)
            return;
        for (auto const& entry : *myNamesByFunc)
            A_TRACE("%s%s\n", prefix, entry.second.c());
    }

    bool myDebugNames;
    std::map<Func, Rx*> myRxByFunc;
    std::map<Func, rtl::str>* myNamesByFunc = nullptr;

private:
    struct Running
    {
        typename std::map<Func, Rx*>::iterator entry;
        bool erased = false;
    };

    // A receiver must not keep a transmitter that holds none of its callbacks: the transmitter
    // may go (its level emptied) while the receiver lives on.
    void forgetInRx(Rx* rx, Func const& f)
    {
        if (!rx)
            return;
        auto record = rx->myFuncsByTx.find(this);
        if (record == rx->myFuncsByTx.end())
            return;
        record->second.remove(f);
        if (record->second.empty())
            rx->myFuncsByTx.erase(record);
    }

    void eraseEntry(typename std::map<Func, Rx*>::iterator it)
    {
        if (myRunning && myRunning->entry == it)
            myRunning->erased = true;
        forgetInRx(it->second, it->first);
        if (myNamesByFunc)
            myNamesByFunc->erase(it->first);
        myRxByFunc.erase(it);
    }

    Running* myRunning = nullptr;
};
