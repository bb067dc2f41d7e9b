#pragma once

#include "aContainer.h"

// Walks the items of one container.
template <class T>
class aIter
{
public:
    explicit aIter(aContainer<T> const* container = nullptr)
        : myContainer(container)
    {
    }

    virtual ~aIter() = default;

    virtual void Reset() = 0;
    virtual bool MoreItems() const = 0;
    virtual void NextItem() = 0;
    virtual T& CurrentItem() = 0;
    virtual int Length() const { return myContainer ? myContainer->Length() : 0; }
    virtual operator bool() const { return MoreItems(); }

protected:
    aContainer<T> const* myContainer;
};
