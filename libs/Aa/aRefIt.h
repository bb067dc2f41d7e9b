#pragma once

#include "aRef.h"
#include "aRefEl.h"
#include "aRefIter.h"

// Shared handle on one heap iterator over an aRefList; the last handle deletes the iterator.
// On an empty handle every operation gives false, 0, null or an empty handle.
template <class T>
class aRefIt : public aRef<aRefIter<T>>
{
public:
    aRefIt() = default;

    explicit aRefIt(aRefIter<T>* it)
        : aRef<aRefIter<T>>(it)
    {
    }

    aRefIt(aRefIt<T> const& o) = default;

    ~aRefIt() override = default;

    virtual void Reset(aRefEl<T>* el)
    {
        if (aRefIter<T>* it = this->RefGetData())
            it->Reset(el);
    }

    virtual bool MoreItems()
    {
        aRefIter<T>* it = this->RefGetData();
        return it && it->MoreItems();
    }

    virtual void NextItem()
    {
        if (aRefIter<T>* it = this->RefGetData())
            it->NextItem();
    }

    virtual aRefIt<T>& operator=(aRefIt<T> const& o)
    {
        aRef<aRefIter<T>>::operator=(o);
        return *this;
    }

    virtual int Length() const
    {
        aRefIter<T>* it = this->RefGetData();
        return it ? it->Length() : 0;
    }

    virtual T* CurrentData() const
    {
        aRefIter<T>* it = this->RefGetData();
        return it ? it->CurrentData() : nullptr;
    }

    virtual aRef<T> CurrentItem() const
    {
        aRefIter<T>* it = this->RefGetData();
        return it ? it->CurrentItem() : aRef<T>();
    }

    virtual aRefEl<T>* CurrentEl() const
    {
        aRefIter<T>* it = this->RefGetData();
        return it ? it->CurrentEl() : nullptr;
    }
};
