#pragma once

namespace rtl {

template <class T> class ref;
template <class T> class refmgr;

// A handle that would sit in a manager's weak chain and never keep the object alive. Nothing
// creates one on an object yet: only what the strong handle needs of it is here.
template <class T>
class weakref
{
public:
    weakref()
        : myNextRef(nullptr)
        , myPrevRef(nullptr)
        , myCnt(nullptr)
    {
    }

    virtual ~weakref() { leave(); }

    weakref(weakref const&) = delete;
    weakref& operator=(weakref const&) = delete;

    // True while the manager still holds an object.
    virtual bool isValid() const { return myCnt && myCnt->myData; }
    virtual refmgr<T>* getMgr() const { return myCnt; }

    // The object is going: forget it without touching the rest of the chain.
    virtual void destroyHook()
    {
        myCnt = nullptr;
        myNextRef = nullptr;
        myPrevRef = nullptr;
    }

private:
    friend class ref<T>;
    friend class refmgr<T>;

    void leave()
    {
        if (!myCnt)
            return;
        if (myPrevRef)
            myPrevRef->myNextRef = myNextRef;
        if (myNextRef)
            myNextRef->myPrevRef = myPrevRef;
        if (myCnt->myFirstWeakRef == this)
            myCnt->myFirstWeakRef = myNextRef;
        destroyHook();
    }

    weakref<T>* myNextRef;
    weakref<T>* myPrevRef;
    refmgr<T>* myCnt;
};

} // namespace rtl
