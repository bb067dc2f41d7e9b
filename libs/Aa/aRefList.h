#pragma once

#include "aRef.h"
#include "aRefEl.h"

template <class T> class aRefIt;
template <class T> class aRefIter;

// Doubly linked list of shared handles. Only elements whose object lives are counted; elements
// whose object died through another handle stay linked until an iterator passes them or they
// are removed. Iterators register with the list so that removals and the list's end reach them.
template <class T>
class aRefList
{
public:
    aRefList()
        : myLength(0)
        , myFirst(nullptr)
        , myLast(nullptr)
        , myIters(nullptr)
    {
    }

    virtual ~aRefList()
    {
        Clear();
        for (aRefIter<T>* it = myIters; it;) {
            aRefIter<T>* next = it->myNextIter;
            it->ListDeletedHook();
            it = next;
        }
        myIters = nullptr;
    }

    aRefList(aRefList const&) = delete;
    aRefList& operator=(aRefList const&) = delete;

    // Number of elements holding r's object.
    virtual int Count(aRef<T> const& r)
    {
        if (!r.RefGetMaster())
            return 0;
        int n = 0;
        for (aRefEl<T>* el = myFirst; el; el = el->myNextEl)
            if (*el == r)
                ++n;
        return n;
    }

    virtual bool AppendUnique(aRef<T> const& r)
    {
        if (!r || Count(r) != 0)
            return false;
        Append(r);
        return true;
    }

    virtual bool PrependUnique(aRef<T> const& r)
    {
        if (!r || Count(r) != 0)
            return false;
        Prepend(r);
        return true;
    }

    virtual int Append(aRef<T> const& r)
    {
        if (!r)
            return myLength;
        auto* el = new aRefEl<T>(this, r);
        el->myPrevEl = myLast;
        if (myLast)
            myLast->myNextEl = el;
        else
            myFirst = el;
        myLast = el;
        return ++myLength;
    }

    virtual int Prepend(aRef<T> const& r)
    {
        if (!r)
            return myLength;
        auto* el = new aRefEl<T>(this, r);
        el->myNextEl = myFirst;
        if (myFirst)
            myFirst->myPrevEl = el;
        else
            myLast = el;
        myFirst = el;
        return ++myLength;
    }

    virtual int Remove(aRefEl<T>* el) { return RemoveConst(el); }
    virtual int RemoveHead() { return Remove(myFirst); }
    virtual int RemoveTail() { return Remove(myLast); }

    virtual void Clear()
    {
        // Until no element is left: dead elements are no longer counted but still linked.
        while (myFirst)
            RemoveHead();
        myFirst = nullptr;
        myLast = nullptr;
    }

    virtual aRefIt<T> GetFwdIter() const;
    virtual aRefIt<T> GetRevIter() const;

    virtual int Length() const { return myLength; }

    virtual aRef<T> GetHeadItem() const { return myFirst ? aRef<T>(*myFirst) : aRef<T>(); }
    virtual aRef<T> GetTailItem() const { return myLast ? aRef<T>(*myLast) : aRef<T>(); }

    // Removes every element holding r's object; returns how many went.
    virtual int RemoveMatching(aRef<T> const& r)
    {
        // r may be one of the elements: keep its keeper, not the handle.
        aRefCnt<T>* c = r.RefGetMaster();
        if (!c)
            return 0;
        int n = 0;
        for (aRefEl<T>* el = myFirst; el;) {
            aRefEl<T>* next = el->myNextEl;
            if (el->RefGetMaster() == c) {
                Remove(el);
                ++n;
            }
            el = next;
        }
        return n;
    }

    virtual int ElementClearedHook(aRefEl<T> const*) { return --myLength; }

    // Takes el out of the list and deletes it; iterators standing on it or about to step onto
    // it are moved on first.
    virtual int RemoveConst(aRefEl<T>* el) const
    {
        auto* self = const_cast<aRefList<T>*>(this);
        if (!el)
            return myLength;
        for (aRefIter<T>* it = myIters; it; it = it->myNextIter)
            it->ElDeletedHook(el);
        if (el->myList)
            --self->myLength;
        self->unlinkEl(el);
        el->myList = nullptr;
        delete el;
        return myLength;
    }

private:
    friend class aRefEl<T>;
    friend class aRefIter<T>;

    void unlinkEl(aRefEl<T>* el)
    {
        if (el->myPrevEl)
            el->myPrevEl->myNextEl = el->myNextEl;
        else if (myFirst == el)
            myFirst = el->myNextEl;
        if (el->myNextEl)
            el->myNextEl->myPrevEl = el->myPrevEl;
        else if (myLast == el)
            myLast = el->myPrevEl;
        el->myNextEl = nullptr;
        el->myPrevEl = nullptr;
    }

    int myLength;
    aRefEl<T>* myFirst;
    aRefEl<T>* myLast;
    aRefIter<T>* myIters;
};

#include "aRefIt.h"
#include "aRefIterFwd.h"
#include "aRefIterRev.h"

template <class T>
aRefIt<T> aRefList<T>::GetFwdIter() const
{
    return aRefIt<T>(new aRefIterFwd<T>(const_cast<aRefList<T>*>(this)));
}

template <class T>
aRefIt<T> aRefList<T>::GetRevIter() const
{
    return aRefIt<T>(new aRefIterRev<T>(const_cast<aRefList<T>*>(this)));
}
