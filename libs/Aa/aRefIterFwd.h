#pragma once

#include "aAssert.h"
#include "aRefIter.h"

// Walks an aRefList front to back.
template <class T>
class aRefIterFwd : public aRefIter<T>
{
public:
    explicit aRefIterFwd(aRefList<T>* list)
        : aRefIter<T>(list, false)
    {
        aRefIterFwd<T>::Reset();
    }

    ~aRefIterFwd() override = default;

    void Reset() override
    {
        A_ASSERT(this->myList);
        this->myCurrentEl = this->firstEl();
        CacheNext();
    }

    // Start at el (taking its list), or at the end when el is null.
    void Reset(aRefEl<T>* el) override
    {
        A_ASSERT(this->myList);
        this->relistTo(el);
        this->myCurrentEl = el ? el : this->firstEl();
        CacheNext();
    }

    void CacheNext() override
    {
        this->RemoveNullCurrent();
        this->myCachedEl = this->myCurrentEl ? this->step(this->myCurrentEl) : nullptr;
    }
};
