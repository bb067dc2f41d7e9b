#pragma once

#include "aAssert.h"
#include "aRef.h"

template <class T> class aRefList;
template <class T> class aRefIter;

// One element of an aRefList: itself a handle on its item. When the item dies through another
// handle the element leaves its list's count at once and waits, still linked, for an iterator or
// Remove to take it out.
template <class T>
class aRefEl : public aRef<T>
{
public:
    aRefEl(aRefList<T>* list, aRef<T> const& r)
        : aRef<T>(r)
        , myList(list)
        , myNextEl(nullptr)
        , myPrevEl(nullptr)
    {
        A_ASSERT(myList);
    }

    ~aRefEl() override
    {
        if (myList)
            myList->unlinkEl(this);
        myList = nullptr;
    }

    void RefClearedExternallyHook() override
    {
        if (myList)
            myList->ElementClearedHook(this);
        aRef<T>::RefClearedExternallyHook();
        myList = nullptr;
    }

private:
    friend class aRefList<T>;
    friend class aRefIter<T>;

    aRefList<T>* myList;
    aRefEl<T>* myNextEl;
    aRefEl<T>* myPrevEl;
};
