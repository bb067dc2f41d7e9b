#pragma once

#include "FastDelegate.h"

namespace fastdelegate {

// A delegate of one argument (the refresh callbacks).
template <class P1, class R = void>
class FastDelegate1 : public FastDelegate<R(P1)>
{
public:
    using FastDelegate<R(P1)>::FastDelegate;
    FastDelegate1() = default;
};

template <class X, class Y, class P1, class R>
FastDelegate1<P1, R> MakeDelegate(Y* object, R (X::*func)(P1))
{
    return FastDelegate1<P1, R>(object, func);
}

template <class X, class Y, class P1, class R>
FastDelegate1<P1, R> MakeDelegate(Y const* object, R (X::*func)(P1) const)
{
    return FastDelegate1<P1, R>(object, func);
}

} // namespace fastdelegate
