#pragma once

#include "aAssert.h"
#include "aRef.h"
#include "aRefEl.h"
#include "aRefList.h"

// Walks an aRefList in one direction, passing over (and deleting) elements whose object died.
// Registered with its list from construction to destruction; once the list is gone it may only
// be destroyed.
template <class T>
class aRefIter
{
public:
    aRefIter(aRefList<T>* list, bool reverse)
        : myList(list)
        , myPrevIter(nullptr)
        , myNextIter(nullptr)
        , myCurrentEl(nullptr)
        , myCachedEl(nullptr)
        , myReverse(reverse)
    {
        A_ASSERT(list);
        enlist();
    }

    virtual ~aRefIter()
    {
        if (myList)
            delist();
        myList = nullptr;
    }

    aRefIter(aRefIter const&) = delete;
    aRefIter& operator=(aRefIter const&) = delete;

    virtual int Length() const
    {
        A_ASSERT(myList);
        return myList->Length();
    }

    virtual void Reset() = 0;
    virtual void Reset(aRefEl<T>* el) = 0;

    virtual bool MoreItems() const
    {
        A_ASSERT(myList);
        return myCurrentEl != nullptr;
    }

    virtual void NextItem()
    {
        A_ASSERT(myList);
        myCurrentEl = myCachedEl;
        CacheNext();
    }

    virtual void CacheNext() = 0;

    virtual T* CurrentData() const
    {
        A_ASSERT(myList);
        if (!myCurrentEl)
            return nullptr;
        A_ASSERT(myCurrentEl->RefData());
        return myCurrentEl->RefData();
    }

    virtual aRef<T> CurrentItem() const
    {
        A_ASSERT(myList);
        return myCurrentEl ? aRef<T>(*myCurrentEl) : aRef<T>();
    }

    virtual aRefEl<T>* CurrentEl() const
    {
        A_ASSERT(myList);
        return myCurrentEl;
    }

    // el is about to be deleted by the list: step off it.
    virtual void ElDeletedHook(aRefEl<T>* el)
    {
        A_ASSERT(myList);
        if (myCachedEl == el)
            myCachedEl = step(el);
        if (myCurrentEl == el)
            myCurrentEl = nullptr;
    }

    virtual aRefList<T>* GetList() const
    {
        A_ASSERT(myList);
        return myList;
    }

    virtual void ListDeletedHook()
    {
        myList = nullptr;
        myPrevIter = nullptr;
        myNextIter = nullptr;
        myCurrentEl = nullptr;
        myCachedEl = nullptr;
    }

    // Deletes dead elements from the current one on, in the walking direction.
    void RemoveNullCurrent()
    {
        A_ASSERT(myList);
        while (myCurrentEl && myCurrentEl->RefIsNullTest()) {
            aRefEl<T>* next = step(myCurrentEl);
            myList->RemoveConst(myCurrentEl);
            myCurrentEl = next;
        }
    }

protected:
    // The neighbour of el in the walking direction.
    aRefEl<T>* step(aRefEl<T> const* el) const { return myReverse ? el->myPrevEl : el->myNextEl; }
    aRefEl<T>* firstEl() const { return myReverse ? myList->myLast : myList->myFirst; }

    // Move the registration to the list el lives in.
    void relistTo(aRefEl<T> const* el)
    {
        aRefList<T>* list = el ? el->myList : nullptr;
        if (!list || list == myList)
            return;
        if (myList)
            delist();
        myList = list;
        enlist();
    }

    aRefList<T>* myList;
    aRefIter<T>* myPrevIter;
    aRefIter<T>* myNextIter;
    aRefEl<T>* myCurrentEl;
    aRefEl<T>* myCachedEl;

private:
    friend class aRefList<T>;

    void enlist()
    {
        myPrevIter = nullptr;
        myNextIter = myList->myIters;
        if (myNextIter)
            myNextIter->myPrevIter = this;
        myList->myIters = this;
    }

    void delist()
    {
        if (myPrevIter)
            myPrevIter->myNextIter = myNextIter;
        else if (myList->myIters == this)
            myList->myIters = myNextIter;
        if (myNextIter)
            myNextIter->myPrevIter = myPrevIter;
        myPrevIter = nullptr;
        myNextIter = nullptr;
    }

    bool const myReverse;
};
