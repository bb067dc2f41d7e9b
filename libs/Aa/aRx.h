#pragma once

#include "FastDelegate1.h"

#include <list>
#include <map>

template <class A, class R>
class aTx;

// The receiving side of a connection: remembers every transmitter it is connected to, and
// through which callbacks, so that it can leave all of them at once (and does so when it dies).
template <class A, class R>
class aRx
{
public:
    using Func = fastdelegate::FastDelegate1<A, R>;
    using Tx = aTx<A, R>;

    aRx() = default;
    // A copy would be recorded nowhere: its transmitters would call the original.
    aRx(aRx const&) = delete;
    aRx& operator=(aRx const&) = delete;
    ~aRx() { rxDisconnect(); }

    void rxConnect(Func f, Tx* tx) { myFuncsByTx[tx].push_back(f); }

    // Forget one transmitter (it is going away or has dropped us).
    void rxDisconnect(Tx* tx) { myFuncsByTx.erase(tx); }

    // Leave every transmitter: each drops the callbacks it holds for this receiver.
    void rxDisconnect()
    {
        while (!myFuncsByTx.empty()) {
            auto first = myFuncsByTx.begin();
            Tx* tx = first->first;
            tx->txDisconnectRx(this);
            myFuncsByTx.erase(tx);
        }
    }

    std::map<Tx*, std::list<Func>> myFuncsByTx;
};

#include "aTx.h"
