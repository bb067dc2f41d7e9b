#pragma once

#include "aAssert.h"
#include "aRefCnt.h"

#include <cstddef>

// The library's own reference-linked handle: handles on one object form a doubly linked chain
// kept by one aRefCnt, and the last handle to leave deletes the object. Operations call each
// other through their virtual slots, so list elements and iterator handles can hook in. The
// assignments are not virtual: nothing overrides them, and each derived handle's own hides them.
template <class T>
class aRef
{
public:
    aRef()
        : myNextRef(nullptr)
        , myPrevRef(nullptr)
        , myCnt(nullptr)
    {
    }

    explicit aRef(T* p)
        : myNextRef(nullptr)
        , myPrevRef(nullptr)
        , myCnt(nullptr)
    {
        if (p) {
            myCnt = new aRefCnt<T>(p, this);
            A_ASSERT(myCnt != NULL);
        }
    }

    aRef(aRef<T> const& o)
        : myNextRef(nullptr)
        , myPrevRef(nullptr)
        , myCnt(nullptr)
    {
        if (o.myCnt) {
            A_ASSERT(myCnt == NULL);
            join(o.myCnt);
        }
    }

    virtual ~aRef()
    {
        if (myCnt)
            RefClear();
    }

    virtual bool RefIsNullTest() const { return !myCnt || !myCnt->myData; }

    // Leave the chain; the last handle to leave deletes the object.
    virtual void RefClear()
    {
        if (!myCnt) {
            A_ASSERT((!myPrevRef) && (!myNextRef));
            return;
        }
        aRefCnt<T>* c = myCnt;
        if (unlink())
            delete c;
    }

    // Every handle on the object is emptied; with the flag, the object goes at once.
    virtual void RefClearAll(bool deleteIt)
    {
        aRefCnt<T>* c = myCnt;
        if (!c) {
            myNextRef = nullptr;
            myPrevRef = nullptr;
            return;
        }
        for (aRef<T>* h = c->myFirstRef; h;) {
            aRef<T>* next = h->myNextRef;
            if (h != this)
                h->RefClearedExternallyHook();
            h = next;
        }
        c->myFirstRef = nullptr;
        // Through the hook as well, so that a list element holding the object drops out of its count.
        RefClearedExternallyHook();
        if (deleteIt)
            delete c;
    }

    // Join c's chain. c is taken hold of before the old object is left: c may be reachable only
    // through the old object, which leaving may delete.
    virtual void RefSet(aRefCnt<T>* c)
    {
        if (c == myCnt)
            return;
        aRefCnt<T>* old = myCnt;
        bool const oldGone = old && unlink();
        if (c)
            join(c);
        if (oldGone)
            delete old;
    }

    virtual void RefSet(aRef<T> const& o) { RefSet(o.RefGetMaster()); }

    // This handle alone owns p under a new keeper.
    virtual void RefSet(T* p)
    {
        // Already this handle's object: a second keeper would delete it under the first.
        if (p && myCnt && myCnt->myData == p)
            return;
        aRefCnt<T>* c = new aRefCnt<T>(p);
        aRefCnt<T>* old = myCnt;
        bool const oldGone = old && unlink();
        join(c);
        if (oldGone)
            delete old;
    }

    // Moves every handle on this object to c and hands back the emptied old keeper, which still
    // owns the old object: disposing of it is the caller's task.
    virtual aRefCnt<T>* RefSetAll(aRefCnt<T>* c)
    {
        if (!c) {
            RefClearAll(true);
            return nullptr;
        }
        if (!myCnt) {
            A_ASSERT(myNextRef == NULL);
            A_ASSERT(myPrevRef == NULL);
            RefSet(c);
            return nullptr;
        }
        if (c == myCnt)
            return nullptr;
        aRefCnt<T>* old = myCnt;
        aRef<T>* first = old->myFirstRef;
        aRef<T>* last = nullptr;
        for (aRef<T>* h = first; h; h = h->myNextRef) {
            h->Master(c);
            last = h;
        }
        if (last) {
            last->myNextRef = c->myFirstRef;
            if (c->myFirstRef)
                c->myFirstRef->myPrevRef = last;
            c->myFirstRef = first;
        }
        old->myFirstRef = nullptr;
        return old;
    }

    virtual void RefSetAll(aRef<T> const& o) { delete RefSetAll(o.RefGetMaster()); }

    virtual void RefSetAll(T* p)
    {
        if (p && myCnt && myCnt->myData == p)
            return;
        delete RefSetAll(new aRefCnt<T>(p));
    }

    virtual T* RefGetData() const { return myCnt ? myCnt->myData : nullptr; }
    virtual T* RefData() const { return RefGetData(); }
    virtual aRefCnt<T>* RefGetMaster() const { return myCnt; }

    virtual int RefGetCount() const
    {
        int n = 0;
        if (myCnt)
            for (aRef<T>* h = myCnt->myFirstRef; h; h = h->myNextRef)
                ++n;
        return n;
    }

    virtual int RefCount() const { return RefGetCount(); }

    virtual operator T*() const { return RefGetData(); }
    virtual operator bool() const { return !RefIsNullTest(); }
    virtual bool operator!() const { return RefIsNullTest(); }

    virtual bool operator==(aRef<T> const& o) const { return myCnt == o.myCnt; }
    virtual bool operator==(T* p) const { return myCnt ? myCnt->myData == p : p == nullptr; }
    virtual bool operator!=(aRef<T> const& o) const { return !(*this == o); }
    virtual bool operator!=(T* p) const { return !(*this == p); }

    // Refused: a handle gets a new object through RefSet(T*).
    aRef<T>& operator=(T*)
    {
        A_ASSERT(0);
        return *this;
    }

    aRef<T>& operator=(aRef<T> const& o)
    {
        if (&o != this && o.myCnt != myCnt)
            RefSet(o.myCnt);
        return *this;
    }

    // The *= forms move every sharer and dispose of the old object.
    virtual aRef<T>& operator*=(aRef<T> const& o)
    {
        delete RefSetAll(o.myCnt);
        return *this;
    }

    virtual aRef<T>& operator*=(aRefCnt<T>* c)
    {
        delete RefSetAll(c);
        return *this;
    }

    virtual void Master(aRefCnt<T>* c) { myCnt = c; }

    // The object went through another handle: forget it without touching the chain.
    virtual void RefClearedExternallyHook()
    {
        myCnt = nullptr;
        myNextRef = nullptr;
        myPrevRef = nullptr;
    }

protected:
    aRef<T>* myNextRef;
    aRef<T>* myPrevRef;
    aRefCnt<T>* myCnt;

private:
    // Push this empty handle at the front of c's chain.
    void join(aRefCnt<T>* c)
    {
        if (c->myFirstRef) {
            c->myFirstRef->myPrevRef = this;
            myNextRef = c->myFirstRef;
        }
        c->myFirstRef = this;
        Master(c);
    }

    // Take this handle out of its chain and empty it; true when the chain is now empty and the
    // keeper is the caller's to dispose of.
    bool unlink()
    {
        aRefCnt<T>* c = myCnt;
        if (myPrevRef)
            myPrevRef->myNextRef = myNextRef;
        if (myNextRef)
            myNextRef->myPrevRef = myPrevRef;
        bool last = false;
        if (c->myFirstRef == this) {
            c->myFirstRef = myNextRef;
            last = !myNextRef;
        }
        myNextRef = nullptr;
        myPrevRef = nullptr;
        myCnt = nullptr;
        return last;
    }
};
