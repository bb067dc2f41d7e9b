#pragma once

#include "aAssert.h"
#include "aIter.h"
#include "aList.h"

// Walks an aList front to back. The next element is cached before the current one is handed
// out, so the caller may remove the current element while walking.
template <class T>
class aListIter : public aIter<T>
{
public:
    explicit aListIter(aList<T> const* list)
        : aIter<T>(list)
        , myList(list)
        , myCurrentEl(nullptr)
        , myCachedEl(nullptr)
    {
        aListIter<T>::Reset();
    }

    explicit aListIter(aList<T> const& list)
        : aListIter(&list)
    {
    }

    void Reset() override
    {
        myCurrentEl = myList ? myList->myFirst : nullptr;
        CacheNext();
    }

    bool MoreItems() const override { return myCurrentEl != nullptr; }

    void NextItem() override
    {
        myCurrentEl = myCachedEl;
        CacheNext();
    }

    T& CurrentItem() override
    {
        A_ASSERT(myCurrentEl);
        return myCurrentEl->myData;
    }

    virtual T& CurrentItemNext()
    {
        T& item = CurrentItem();
        NextItem();
        return item;
    }

    virtual aListEl<T>* Current() { return myCurrentEl; }

    virtual void CacheNext() { myCachedEl = myCurrentEl ? myCurrentEl->myNextEl : nullptr; }

private:
    aList<T> const* myList;
    aListEl<T>* myCurrentEl;
    aListEl<T>* myCachedEl;
};
