#pragma once

#include <cstdint>
#include <cstring>

namespace fastdelegate {

// The comparable part of a delegate: the bound object and the bound member function, kept as
// raw words so that delegates of any class compare with one another. Ordering is by object
// address first, then by the member function's bytes in memory order; this order is the call
// order of the callbacks of one refresh level.
class DelegateMemento
{
public:
    static constexpr int FuncWords = 2;

    DelegateMemento() = default;

    void clear()
    {
        myObject = 0;
        myFunc[0] = 0;
        myFunc[1] = 0;
    }

    bool empty() const { return myObject == 0 && myFunc[0] == 0 && myFunc[1] == 0; }

    bool IsLess(DelegateMemento const& other) const
    {
        if (myObject != other.myObject)
            return myObject < other.myObject;
        return std::memcmp(myFunc, other.myFunc, sizeof myFunc) < 0;
    }

    bool IsEqual(DelegateMemento const& other) const
    {
        return myObject == other.myObject && std::memcmp(myFunc, other.myFunc, sizeof myFunc) == 0;
    }

    bool operator<(DelegateMemento const& other) const { return IsLess(other); }

    // The object address (or a free function's address) and the member function's raw bytes.
    std::uintptr_t myObject = 0;
    std::uintptr_t myFunc[FuncWords] = {0, 0};
};

} // namespace fastdelegate
