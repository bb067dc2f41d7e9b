#pragma once

#include "aAssert.h"
#include "aContainer.h"
#include "aListEl.h"

// Doubly linked list of plain values. The list owns its elements, never its items.
template <class T>
class aList : public aContainer<T>
{
public:
    aList()
        : myLength(0)
        , myFirst(nullptr)
        , myLast(nullptr)
    {
    }

    ~aList() override { Clear(); }

    aList(aList const&) = delete;
    aList& operator=(aList const&) = delete;

    int Length() const override { return myLength; }
    aIter<T>* NewIter() const override;

    virtual int Append(T item)
    {
        auto* el = new aListEl<T>(item);
        el->myPrevEl = myLast;
        if (myLast)
            myLast->myNextEl = el;
        else
            myFirst = el;
        myLast = el;
        return ++myLength;
    }

    virtual int Prepend(T item)
    {
        auto* el = new aListEl<T>(item);
        el->myNextEl = myFirst;
        if (myFirst)
            myFirst->myPrevEl = el;
        else
            myLast = el;
        myFirst = el;
        return ++myLength;
    }

    virtual void Clear()
    {
        while (RemoveHead() > 0) {
        }
        myFirst = nullptr;
        myLast = nullptr;
    }

    virtual int RemoveHead()
    {
        if (!myFirst) {
            A_ASSERT(myLength == 0);
            return 0;
        }
        return Remove(myFirst);
    }

    virtual int RemoveTail()
    {
        if (!myLast)
            return myLength;
        return Remove(myLast);
    }

    virtual int Remove(int i)
    {
        if (i < 0 || i >= myLength)
            return myLength;
        aListEl<T>* el = myFirst;
        while (i-- > 0)
            el = el->myNextEl;
        return Remove(el);
    }

    // Removes every element whose item equals v; returns how many went.
    virtual int RemoveMatching(T v)
    {
        int n = 0;
        for (aListEl<T>* el = myFirst; el;) {
            aListEl<T>* next = el->myNextEl;
            if (el->myData == v) {
                Remove(el);
                ++n;
            }
            el = next;
        }
        return n;
    }

    virtual int Remove(aListEl<T>* el)
    {
        if (!el)
            return myLength;
        if (el->myPrevEl)
            el->myPrevEl->myNextEl = el->myNextEl;
        else
            myFirst = el->myNextEl;
        if (el->myNextEl)
            el->myNextEl->myPrevEl = el->myPrevEl;
        else
            myLast = el->myPrevEl;
        delete el;
        return --myLength;
    }

    virtual aListEl<T>* GetHead() const { return myFirst; }
    virtual aListEl<T>* GetTail() const { return myLast; }
    virtual T GetHeadItem() const { return myFirst ? myFirst->myData : T(); }
    virtual T GetTailItem() const { return myLast ? myLast->myData : T(); }
    virtual int NumItems() const { return myLength; }

    // An index out of range is taken as 0. The list must not be empty.
    virtual T& operator[](int i)
    {
        A_ASSERT(myFirst);
        if (i < 0 || i >= myLength)
            i = 0;
        aListEl<T>* el = myFirst;
        while (i-- > 0)
            el = el->myNextEl;
        return el->myData;
    }

    // Index of the first item equal to v; the length when there is none.
    virtual int Find(T v)
    {
        int i = 0;
        for (aListEl<T>* el = myFirst; el; el = el->myNextEl, ++i)
            if (el->myData == v)
                return i;
        return myLength;
    }

    virtual void Sort(int (*compare)(T, T))
    {
        if (myLength < 2)
            return;
        auto** els = new aListEl<T>*[myLength];
        int n = 0;
        for (aListEl<T>* el = myFirst; el; el = el->myNextEl)
            els[n++] = el;
        QuickSort(els, 0, n - 1, compare);
        for (int i = 0; i < n; ++i) {
            els[i]->myPrevEl = i > 0 ? els[i - 1] : nullptr;
            els[i]->myNextEl = i + 1 < n ? els[i + 1] : nullptr;
        }
        myFirst = els[0];
        myLast = els[n - 1];
        delete[] els;
    }

    // Partitions around the last element; equal items go left, so their order is not kept.
    // The median of the first, middle and last element is moved to the end as the pivot, and
    // only the smaller side is recursed into: a presorted listing neither takes quadratic time
    // nor runs the stack out.
    void QuickSort(aListEl<T>** els, int lo, int hi, int (*compare)(T, T))
    {
        while (lo < hi) {
            int mid = lo + (hi - lo) / 2;
            if (compare(els[mid]->myData, els[lo]->myData) < 0)
                swap(els, mid, lo);
            if (compare(els[hi]->myData, els[lo]->myData) < 0)
                swap(els, hi, lo);
            if (compare(els[mid]->myData, els[hi]->myData) < 0)
                swap(els, mid, hi);
            T pivot = els[hi]->myData;
            int i = lo - 1;
            int j = hi;
            for (;;) {
                do
                    ++i;
                while (i < hi && compare(els[i]->myData, pivot) <= 0);
                do
                    --j;
                while (j > i && compare(els[j]->myData, pivot) > 0);
                if (j <= i)
                    break;
                swap(els, i, j);
            }
            swap(els, i, hi);
            if (i - lo < hi - i) {
                QuickSort(els, lo, i - 1, compare);
                lo = i + 1;
            } else {
                QuickSort(els, i + 1, hi, compare);
                hi = i - 1;
            }
        }
    }

private:
    friend class aListIter<T>;

    static void swap(aListEl<T>** els, int a, int b)
    {
        aListEl<T>* t = els[a];
        els[a] = els[b];
        els[b] = t;
    }

    int myLength;
    aListEl<T>* myFirst;
    aListEl<T>* myLast;
};

#include "aListIter.h"

template <class T>
aIter<T>* aList<T>::NewIter() const
{
    return new aListIter<T>(this);
}
