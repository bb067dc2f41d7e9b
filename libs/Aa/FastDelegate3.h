#pragma once

#include "FastDelegate.h"

namespace fastdelegate {

// A delegate of three arguments (the gridline label callbacks).
template <class P1, class P2, class P3, class R = void>
class FastDelegate3 : public FastDelegate<R(P1, P2, P3)>
{
public:
    using FastDelegate<R(P1, P2, P3)>::FastDelegate;
    FastDelegate3() = default;
};

template <class X, class Y, class P1, class P2, class P3, class R>
FastDelegate3<P1, P2, P3, R> MakeDelegate(Y* object, R (X::*func)(P1, P2, P3))
{
    return FastDelegate3<P1, P2, P3, R>(object, func);
}

template <class X, class Y, class P1, class P2, class P3, class R>
FastDelegate3<P1, P2, P3, R> MakeDelegate(Y const* object, R (X::*func)(P1, P2, P3) const)
{
    return FastDelegate3<P1, P2, P3, R>(object, func);
}

} // namespace fastdelegate
