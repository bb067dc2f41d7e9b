#pragma once

#include "IsNullError.h"
#include "aAssert.h"
#include "refmgr.h"
#include "weakref.h"

#include <cstddef>

namespace rtl {

// Shared owning handle without a counter: every handle on one object is a node of one doubly
// linked chain kept by the object's manager, and the last handle to leave deletes manager and
// object. Copying and assigning share; construction from a pointer and set(T*) start a new owner.
// Operations call each other through their virtual slots so that a derived handle's overrides
// take part in all of them. The comparisons, the assignments and the conversion to T* are not
// virtual: nothing overrides them, and a derived handle (rtl::str) gives its own for its own
// argument types, which hide these.
template <class T>
class ref
{
public:
    ref()
        : myNextRef(nullptr)
        , myPrevRef(nullptr)
        , myCnt(nullptr)
    {
    }

    explicit ref(T* p)
        : myNextRef(nullptr)
        , myPrevRef(nullptr)
        , myCnt(nullptr)
    {
        if (p)
            myCnt = new refmgr<T>(p, this);
    }

    ref(ref<T> const& r)
        : myNextRef(nullptr)
        , myPrevRef(nullptr)
        , myCnt(nullptr)
    {
        if (r.myCnt)
            join(r.myCnt);
    }

    virtual ~ref()
    {
        if (myCnt)
            clear();
        myNextRef = nullptr;
        myPrevRef = nullptr;
        myCnt = nullptr;
    }

    // Leave the current manager; the last handle to leave deletes the object.
    void clear()
    {
        if (!myCnt) {
            A_ASSERT((!myPrevRef) && (!myNextRef));
            return;
        }
        refmgr<T>* m = myCnt;
        if (unlink())
            delete m;
    }

    void refSet(T* r)
    {
        if (myCnt)
            A_ASSERT(r != myCnt->myData);
        // The new manager comes first: when it cannot be had, the handle keeps its object.
        refmgr<T>* m = new refmgr<T>(r, nullptr);
        refmgr<T>* old = myCnt;
        bool const oldGone = old && unlink();
        m->myFirstRef = this;
        myCnt = m;
        if (oldGone)
            delete old;
    }

    void refSet(ref<T> const& r) { setMgr(r.getMgr()); }

    virtual bool isNull() const { return !myCnt || !myCnt->myData; }

    // Deletes the object now and empties every handle on it. The flag is not read.
    virtual void destroy(bool)
    {
        refmgr<T>* m = myCnt;
        if (!m) {
            myNextRef = nullptr;
            myPrevRef = nullptr;
            return;
        }
        for (ref<T>* h = m->myFirstRef; h;) {
            ref<T>* next = h->myNextRef;
            if (h != this)
                h->externalDestroyHook();
            h = next;
        }
        for (weakref<T>* w = m->myFirstWeakRef; w;) {
            weakref<T>* next = w->myNextRef;
            w->destroyHook();
            w = next;
        }
        myNextRef = nullptr;
        myPrevRef = nullptr;
        myCnt = nullptr;
        m->myFirstRef = nullptr;
        m->myFirstWeakRef = nullptr;
        delete m;
    }

    // Leave the current manager and join m. The new manager is joined before the old one is
    // left: m may be reachable only through the old object (a = a->next), which leaving may delete.
    virtual void setMgr(refmgr<T>* m)
    {
        if (m == myCnt)
            return;
        refmgr<T>* old = myCnt;
        bool const oldGone = old && unlink();
        if (m)
            join(m);
        if (oldGone)
            delete old;
    }

    virtual void set(ref<T> const& r) { refSet(r); }

    virtual void set(weakref<T> const& w)
    {
        if (w.isValid())
            setMgr(w.getMgr());
        else
            clear();
    }

    virtual void set(refmgr<T>& m) { setMgr(&m); }
    virtual void set(refmgr<T>* m) { setMgr(m); }
    virtual void set(T* p) { refSet(p); }

    // Moves every handle on this object to m and hands back the emptied old manager, which still
    // owns the old object: disposing of it is the caller's task.
    virtual refmgr<T>* setAll(refmgr<T>* m)
    {
        if (!m) {
            destroy(true);
            return nullptr;
        }
        if (!myCnt) {
            A_ASSERT(myNextRef == NULL);
            A_ASSERT(myPrevRef == NULL);
            set(m);
            return nullptr;
        }
        if (m == myCnt)
            return nullptr;
        refmgr<T>* old = myCnt;
        ref<T>* first = old->myFirstRef;
        ref<T>* last = nullptr;
        for (ref<T>* h = first; h; h = h->myNextRef) {
            h->myCnt = m;
            last = h;
        }
        if (last) {
            last->myNextRef = m->myFirstRef;
            if (m->myFirstRef)
                m->myFirstRef->myPrevRef = last;
            m->myFirstRef = first;
        }
        old->myFirstRef = nullptr;

        weakref<T>* wfirst = old->myFirstWeakRef;
        weakref<T>* wlast = nullptr;
        for (weakref<T>* w = wfirst; w; w = w->myNextRef) {
            w->myCnt = m;
            wlast = w;
        }
        if (wlast) {
            wlast->myNextRef = m->myFirstWeakRef;
            if (m->myFirstWeakRef)
                m->myFirstWeakRef->myPrevRef = wlast;
            m->myFirstWeakRef = wfirst;
        }
        old->myFirstWeakRef = nullptr;
        return old;
    }

    // Every sharer of this object now shares r's object; the old object is deleted.
    virtual void setAll(ref<T> const& r) { delete setAll(r.getMgr()); }

    // Every sharer of this object now shares p; the old object is deleted.
    virtual void setAll(T* p)
    {
        // p already held here: handing it to a second manager would delete it under the sharers.
        if (p && myCnt && myCnt->myData == p)
            return;
        delete setAll(new refmgr<T>(p, nullptr));
    }

    virtual T* get() const { return myCnt ? myCnt->myData : nullptr; }

    virtual T* operator->()
    {
        if (!myCnt)
            throw IsNullError();
        return myCnt->myData;
    }

    virtual T* operator->() const
    {
        if (!myCnt)
            throw IsNullError();
        return myCnt->myData;
    }

    operator T*() const { return get(); }

    virtual refmgr<T>* getMgr() const { return myCnt; }

    virtual int getCount() const
    {
        if (!myCnt)
            return 0;
        int n = 0;
        for (ref<T>* h = myCnt->myFirstRef; h; h = h->myNextRef)
            ++n;
        return n;
    }

    virtual int getWeakCount() const
    {
        if (!myCnt)
            return 0;
        int n = 0;
        for (weakref<T>* w = myCnt->myFirstWeakRef; w; w = w->myNextRef)
            ++n;
        return n;
    }

    virtual operator bool() const { return !isNull(); }
    virtual bool operator!() const { return isNull(); }

    bool operator==(weakref<T> const& w) const { return myCnt == w.myCnt; }
    bool operator==(ref<T> const& r) const { return myCnt == r.myCnt; }
    bool operator==(T* p) const { return myCnt ? myCnt->myData == p : p == nullptr; }
    bool operator!=(weakref<T> const& w) const { return !(*this == w); }
    bool operator!=(ref<T> const& r) const { return !(*this == r); }
    bool operator!=(T* p) const { return !(*this == p); }

    // Refused: a handle gets a new object through set(T*) or construction.
    ref<T>& operator=(T*)
    {
        A_ASSERT(0);
        return *this;
    }

    ref<T>& operator=(weakref<T> const& w)
    {
        if (w.getMgr() != myCnt)
            setMgr(w.getMgr());
        return *this;
    }

    ref<T>& operator=(ref<T> const& r)
    {
        if (&r == this || r.getMgr() == myCnt)
            return *this;
        set(r.myCnt);
        return *this;
    }

    // The *= forms move every sharer and dispose of the emptied old manager with its object.
    virtual weakref<T> const& operator*=(weakref<T> const& w)
    {
        delete setAll(w.myCnt);
        return w;
    }

    virtual ref<T>& operator*=(ref<T> const& r)
    {
        delete setAll(r.myCnt);
        return *this;
    }

    virtual ref<T>& operator*=(refmgr<T>* m)
    {
        delete setAll(m);
        return *this;
    }

    // The object is being deleted through another handle: forget it without relinking.
    virtual void externalDestroyHook()
    {
        myCnt = nullptr;
        myNextRef = nullptr;
        myPrevRef = nullptr;
    }

protected:
    ref<T>* myNextRef;
    ref<T>* myPrevRef;
    refmgr<T>* myCnt;

private:
    // Push this (empty) handle at the head of m's chain.
    void join(refmgr<T>* m)
    {
        if (m->myFirstRef) {
            m->myFirstRef->myPrevRef = this;
            myNextRef = m->myFirstRef;
        }
        m->myFirstRef = this;
        myCnt = m;
    }

    // Take this handle out of its manager's chain and empty it. True when the chain is now empty,
    // in which case disposing of the manager is the caller's task.
    bool unlink()
    {
        refmgr<T>* m = myCnt;
        if (myPrevRef)
            myPrevRef->myNextRef = myNextRef;
        if (myNextRef)
            myNextRef->myPrevRef = myPrevRef;
        bool last = false;
        if (m->myFirstRef == this) {
            m->myFirstRef = myNextRef;
            last = !myNextRef;
        }
        myNextRef = nullptr;
        myPrevRef = nullptr;
        myCnt = nullptr;
        return last;
    }
};

} // namespace rtl
