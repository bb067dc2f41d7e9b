#pragma once

#include "DelegateMemento.h"
#include "aAssert.h"

#include <cstring>
#include <type_traits>
#include <utility>

namespace fastdelegate {

template <class Signature>
class FastDelegate;

// A copyable callable that binds an object and one of its member functions, or a free function.
// It neither owns nor keeps alive the object. No heap: the memento plus one call thunk that knows
// the bound class and turns the raw bytes back into the member-function pointer.
template <class R, class... A>
class FastDelegate<R(A...)>
{
public:
    using FreeFunction = R (*)(A...);

    FastDelegate() = default;

    template <class X, class Y>
    FastDelegate(Y* object, R (X::*func)(A...))
    {
        bindMember<X, R (X::*)(A...)>(static_cast<X*>(object), func);
    }

    template <class X, class Y>
    FastDelegate(Y const* object, R (X::*func)(A...) const)
    {
        bindMember<X const, R (X::*)(A...) const>(static_cast<X const*>(object), func);
    }

    FastDelegate(FreeFunction func) { bind(func); }

    // A null function leaves the delegate empty. The function's address takes the object's place
    // and the member function is the fixed forwarder, so free functions order by address.
    void bind(FreeFunction func)
    {
        if (!func) {
            clear();
            return;
        }
        myMemento.myObject = reinterpret_cast<std::uintptr_t>(func);
        auto forward = &FastDelegate::forwardFree;
        static_assert(sizeof forward == sizeof myMemento.myFunc, "member function pointer size");
        std::memcpy(myMemento.myFunc, &forward, sizeof forward);
        myThunk = &callFree;
    }

    template <class X, class Y>
    void bind(Y* object, R (X::*func)(A...))
    {
        *this = FastDelegate(object, func);
    }

    void clear()
    {
        myMemento.clear();
        myThunk = nullptr;
    }

    bool empty() const { return myThunk == nullptr; }
    bool operator!() const { return empty(); }

    R operator()(A... args) const
    {
        A_ASSERT(myThunk);
        return myThunk(myMemento, std::forward<A>(args)...);
    }

    bool operator<(FastDelegate const& other) const { return myMemento.IsLess(other.myMemento); }
    bool operator==(FastDelegate const& other) const { return myMemento.IsEqual(other.myMemento); }

    DelegateMemento const& GetMemento() const { return myMemento; }

private:
    using Thunk = R (*)(DelegateMemento const&, A...);

    template <class X, class Func>
    void bindMember(X* object, Func func)
    {
        static_assert(sizeof(Func) == sizeof myMemento.myFunc, "member function pointer size");
        if (!object || !func) {
            clear();
            return;
        }
        myMemento.myObject = reinterpret_cast<std::uintptr_t>(object);
        std::memcpy(myMemento.myFunc, &func, sizeof func);
        myThunk = &callMember<X, Func>;
    }

    template <class X, class Func>
    static R callMember(DelegateMemento const& m, A... args)
    {
        Func func;
        std::memcpy(&func, m.myFunc, sizeof func);
        return (reinterpret_cast<X*>(m.myObject)->*func)(std::forward<A>(args)...);
    }

    static R callFree(DelegateMemento const& m, A... args)
    {
        return reinterpret_cast<FreeFunction>(m.myObject)(std::forward<A>(args)...);
    }

    // Never called: its address only gives free-function delegates their member-function bytes.
    R forwardFree(A...) { return R(); }

    DelegateMemento myMemento;
    Thunk myThunk = nullptr;
};

} // namespace fastdelegate
