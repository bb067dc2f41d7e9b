#pragma once

namespace rtl {

template <class T> class ref;
template <class T> class weakref;

// Keeper of one shared object: the heads of the chains of handles on it, and the object itself.
// Created and destroyed only by the handle operations; destroying it deletes the object.
template <class T>
class refmgr
{
public:
    refmgr(T* data, ref<T>* first)
        : myFirstWeakRef(nullptr)
        , myFirstRef(first)
        , myData(data)
    {
    }

    ~refmgr()
    {
        for (weakref<T>* w = myFirstWeakRef; w;) {
            weakref<T>* next = w->myNextRef;
            if (w->myCnt == this)
                w->destroyHook();
            w = next;
        }
        myFirstWeakRef = nullptr;
        if (myData) {
            delete myData;
            myData = nullptr;
        }
    }

    refmgr(refmgr const&) = delete;
    refmgr& operator=(refmgr const&) = delete;

private:
    friend class ref<T>;
    friend class weakref<T>;

    weakref<T>* myFirstWeakRef;
    ref<T>* myFirstRef;
    T* myData;
};

} // namespace rtl

#include "weakref.h"
