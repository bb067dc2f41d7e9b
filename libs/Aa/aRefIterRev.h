#pragma once

#include "aAssert.h"
#include "aRefIter.h"

// Walks an aRefList back to front.
template <class T>
class aRefIterRev : public aRefIter<T>
{
public:
    explicit aRefIterRev(aRefList<T>* list)
        : aRefIter<T>(list, true)
    {
        aRefIterRev<T>::Reset();
    }

    ~aRefIterRev() override = default;

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
