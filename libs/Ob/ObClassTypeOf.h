#pragma once

#include "ObObj.h"
#include "ObTrace.h"
#include "Obt.h"
#include "aAssert.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The pool of objects of class T: a slot's object is constructed by the time the slot first
// becomes live and kept from then on. Objects handed back are recycled (recycleObj) and reused
// (initObj); they are deleted only by a reset that frees memory, or with the pool. Slots beyond
// those made ahead (makeAhead) hold null until they are live, so a sparse pool costs its
// tables, not an object per slot.
template <class T>
class ObClassTypeOf : public Obt
{
public:
    typedef T Type;

    ObClassTypeOf(char const* name, int expandBy, int initial = -1)
        : Obt(name, expandBy)
        , myData(nullptr)
    {
        if (initial < 0)
            initial = 2 * expandBy;
        uint32_t n = static_cast<uint32_t>(initial);
        if (n > 0) {
            myData = allocArray<T*>(n);
            A_ASSERT(myData);
            myAddrsByRosterIndex = allocArray<uint32_t>(n);
            A_ASSERT(myAddrsByRosterIndex);
            myRosterIndicesByAddr = allocArray<uint32_t>(n);
            A_ASSERT(myRosterIndicesByAddr);
            for (uint32_t a = 0; a < n; ++a) {
                myAddrsByRosterIndex[a] = a;
                myRosterIndicesByAddr[a] = a;
            }
            makeAhead(0, n);
        }
        mySize = n;
        myDataByteSize = sizeof(T*);
        OB_TRACE("%s: myData = %p\n", OB_CLASS(*this), static_cast<void*>(myData));
    }

    ~ObClassTypeOf() override
    {
        OB_TRACE("%s: DESTRUCT!\n", OB_CLASS(*this));
        for (uint32_t a = 0; a < mySize; ++a)
            delete myData[a];
        freeArrays();
        OB_TRACE("%s: myData = %p\n", OB_CLASS(*this), static_cast<void*>(myData));
    }

    void reset(bool freeMem, bool deallocLive) override
    {
        if (mySize != 0) {
            if (deallocLive)
                returnLive();
            if (freeMem) {
                for (uint32_t a = 0; a < mySize; ++a)
                    if (myData[a])
                        freeInstance(a);
                OB_TRACE("%s: Reset - delete all storage of data and addrs\n", OB_CLASS(*this));
                freeArrays();
            } else {
                OB_TRACE("%s: RESET - next index = 0\n", OB_CLASS(*this));
                returnLive();
            }
        }
        myNextRosterIndex = 0;
        if (freeMem)
            myClaimedSlots = 0;
    }

    void postLoadHook() override
    {
        for (uint32_t r = 0; r < myNextRosterIndex && r < mySize; ++r) {
            T* o = myData[myAddrsByRosterIndex[r]];
            if (o)
                static_cast<ObObj*>(o)->postLoadHook();
        }
    }

    void* mem(unsigned int addr, bool evenIfFree) const override
    {
        if (mySize == 0 || addr >= mySize)
            return nullptr;
        if (!evenIfFree && !isLive(addr))
            return nullptr;
        // Null for a slot that holds no object yet.
        return static_cast<void*>(myData[addr]);
    }

    void* mem(Obh const& h) override { return const_cast<void*>(constMem(h)); }
    void const* mem(Obh const& h) const override { return constMem(h); }

    ObObj* obj(Obh const& h) override { return checkedObj(h); }

    ObObj const* obj(Obh const& h) const override
    {
        ObObj const* o = checkedObj(h);
        if (!o)
            return nullptr;
        OB_TRACE("%s::obj( ti=%i, addr=%i ) ==> %p\n", OB_CLASS(*this), h.myTypeIndex, h.myAddr,
                 static_cast<void const*>(o));
        return o;
    }

    ObObj* objFromAddr(unsigned int addr) const override
    {
        if (mySize == 0 || addr >= mySize)
            return noObj(__LINE__);
        if (!isLive(addr)) {
            OB_TRACE("%s::objFromAddr myRosterIndicesByAddr[ %u ] = %u, which is >= than next roster index = %u\n",
                     OB_CLASS(*this), addr, myRosterIndicesByAddr[addr], myNextRosterIndex);
            return noObj(__LINE__);
        }
        if (!myData[addr])
            return noObj(__LINE__);
        ObObj* o = asObj(myData[addr]);
        OB_TRACE("%s::objFromAddr( addr=%i ) ==> %p\n", OB_CLASS(*this), addr, static_cast<void*>(o));
        return o;
    }

    void dump(char const* prefix, int) const override
    {
        char const* p = prefix ? prefix : "";
        A_TRACE_C("iblue", "%sType[%i] = '%s', %i items, %i slots, %i bytes/item (for the pointer)\n", p, myIndex,
                  getName(), myNextRosterIndex, mySize, static_cast<int>(sizeof(T)));
        std::string deeper = std::string(p) + "        ";
        for (uint32_t r = 0; r < myNextRosterIndex; ++r) {
            uint32_t a = myAddrsByRosterIndex[r];
            A_TRACE_C("iblue", "%s    roster[%u] -> addr[%u] @ %p\n", p, r, a, static_cast<void*>(myData[a]));
            if (myData[a])
                asObj(myData[a])->dump(deeper.c_str(), 0);
        }
    }

    rtl::str describeMem(void const* mem) const override
    {
        A_ASSERT(dynamic_cast<Type*>((Type*)mem));
        void const* m = mem;
        ObObj const* b = static_cast<ObObj const*>(static_cast<T const*>(m));
        rtl::str out;
        if (!b->hasAttr("name")) {
            out.set("%s[%p]", getName(), m);
            return out;
        }
        rtl::str text;
        if (b->getAttrAsString("name", text))
            out.set("%s['%s']", getName(), text.cs());
        return out;
    }

    bool xmlWriteMem(XmlWriter&, char const*) const override { return false; }

    void expandBy(unsigned int count) override
    {
        A_ASSERT(count>0);
        A_ASSERT(count <= UINT32_MAX - mySize);
        uint32_t old = mySize;
        mySize += count;
        A_ASSERT(mySize>0);
        uint32_t size = mySize;
        OB_TRACE("%s: expanding By = %ui, to %i\n", OB_CLASS(*this), count, size);
        // The pointer array is sized by slots and pointer size only; its new slots are null
        // (calloc's zero pages, untouched) but for those made ahead.
        T** newData = allocArray<T*>(size);
        A_ASSERT(newData);
        uint32_t* newAddrs = allocArray<uint32_t>(size);
        A_ASSERT(newAddrs);
        uint32_t* newRoster = allocArray<uint32_t>(size);
        A_ASSERT(newRoster);
        if (old != 0) {
            A_ASSERT(myData);
            A_ASSERT(myAddrsByRosterIndex);
            A_ASSERT(myRosterIndicesByAddr);
            std::memcpy(newData, myData, old * sizeof(T*));
            std::memcpy(newAddrs, myAddrsByRosterIndex, old * sizeof(uint32_t));
            std::memcpy(newRoster, myRosterIndicesByAddr, old * sizeof(uint32_t));
        }
        std::free(myData);
        std::free(myAddrsByRosterIndex);
        std::free(myRosterIndicesByAddr);
        for (uint32_t a = old; a < size; ++a) {
            newAddrs[a] = a;
            newRoster[a] = a;
        }
        myData = newData;
        myAddrsByRosterIndex = newAddrs;
        myRosterIndicesByAddr = newRoster;
        mySize = size;
        makeAhead(old, size);
        OB_TRACE("%s: myData = %p\n", OB_CLASS(*this), static_cast<void*>(myData));
    }

    void freeInstance(unsigned int addr) override
    {
        T* obj = addr < mySize ? myData[addr] : nullptr;
        A_ASSERT(obj);
        OB_TRACE("%s freeInstance addr=%u, obj=%p\n", OB_CLASS(*this), addr, static_cast<void*>(obj));
        static_cast<ObObj*>(obj)->clearObj();
        delete obj;
        myData[addr] = nullptr;
        --myMade;
    }

    void recycleInstance(unsigned int addr) override
    {
        T* obj = addr < mySize ? myData[addr] : nullptr;
        A_ASSERT(obj);
        OB_TRACE("%s recycleInstance addr=%u, obj=%p\n", OB_CLASS(*this), addr, static_cast<void*>(obj));
        static_cast<ObObj*>(obj)->recycleObj();
    }

    // The slot has just become live: its object is made the first time, then reused.
    void initInstance(unsigned int addr) override
    {
        A_ASSERT(addr < mySize);
        T*& obj = myData[addr];
        if (!obj) {
            obj = new T();
            ++myMade;
        }
        OB_TRACE("%s: INIT OBJ %p, at addr %u\n", OB_CLASS(*this), static_cast<void*>(obj), addr);
        static_cast<ObObj*>(obj)->initObj();
    }

    virtual T* ptr(Obh& h)
    {
        if (mySize == 0 || h.myAddr >= mySize || !isLive(h.myAddr))
            return nullptr;
        A_ASSERT(h.isValid());
        A_ASSERT(h.myTypeIndex == myIndex);
        return myData[h.myAddr];
    }

    virtual T* ptr(Obh& h) const
    {
        if (mySize == 0 || h.myAddr >= mySize)
            return nullptr;
        A_ASSERT(h.isValid());
        A_ASSERT(h.myTypeIndex == myIndex);
        if (!isLive(h.myAddr))
            return nullptr;
        T* o = myData[h.myAddr];
        OB_TRACE("%s::ptr( ti=%i, addr=%i ) ==> %p\n", OB_CLASS(*this), h.myTypeIndex, h.myAddr,
                 static_cast<void*>(o));
        return o;
    }

    // The object of a handle that comes from a file, or null: see Obt::objFromFile.
    T* ptrFromFile(Obh const& h) const { return namesLiveSlot(h) ? myData[h.myAddr] : nullptr; }

    size_t slotBytes() const override
    {
        return sizeof(T) + sizeof(T*) + 2 * sizeof(uint32_t) + MallocOverhead;
    }

    // Every condition asserted: the handle must name a live object of this pool.
    virtual T* value(Obh& h) const
    {
        A_ASSERT(mySize!=0);
        A_ASSERT(h.myAddr<mySize);
        A_ASSERT(h.isValid());
        A_ASSERT(h.myTypeIndex == myIndex);
        A_ASSERT(myRosterIndicesByAddr[h.myAddr] < myNextRosterIndex);
        return myData[h.myAddr];
    }

    T** myData;

private:
    // The bookkeeping of the allocator for each object made with new.
    static constexpr size_t MallocOverhead = 16;
    // The objects the slots hold, live or not.
    uint32_t myMade = 0;

    // New slots get their objects in one run, so that a pool read or grown whole keeps them
    // together in memory, in the order it hands them out; but the objects not live never
    // outnumber the live ones by more than two, so that a slot named far beyond the others
    // makes no object for each slot between.
    void makeAhead(uint32_t from, uint32_t to)
    {
        uint64_t const most = 2 * (static_cast<uint64_t>(myNextRosterIndex) + 1);
        for (uint32_t a = from; a < to && myMade < most; ++a) {
            myData[a] = new T();
            ++myMade;
        }
    }

    template <class E>
    static E* allocArray(uint32_t n)
    {
        return static_cast<E*>(std::calloc(n, sizeof(E)));
    }

    // The pool without slots (the objects are gone already).
    void freeArrays()
    {
        std::free(myData);
        std::free(myAddrsByRosterIndex);
        std::free(myRosterIndicesByAddr);
        myData = nullptr;
        myAddrsByRosterIndex = nullptr;
        myRosterIndicesByAddr = nullptr;
        mySize = 0;
        myMade = 0;
    }

    // obj(h): the slot's range first, then the handle's validity and type are asserted.
    ObObj* checkedObj(Obh const& h) const
    {
        if (mySize == 0 || h.myAddr >= mySize)
            return nullptr;
        A_ASSERT(h.isValid());
        A_ASSERT(h.myTypeIndex == myIndex);
        return isLive(h.myAddr) ? asObj(myData[h.myAddr]) : nullptr;
    }

    bool isLive(uint32_t addr) const { return myRosterIndicesByAddr[addr] < myNextRosterIndex; }

    // The debug line of a lookup that found nothing.
    static ObObj* noObj(int line)
    {
        if (Ob::ourTrace)
            std::printf("HERE %s - %s, line %i\n", "", Aa::filetail(__FILE__), line);
        return nullptr;
    }

    static ObObj* asObj(T* o) { return o ? static_cast<ObObj*>(o) : nullptr; }
    static ObObj const* asObj(T const* o) { return o ? static_cast<ObObj const*>(o) : nullptr; }

    void const* constMem(Obh const& h) const
    {
        if (mySize == 0 || h.myAddr >= mySize)
            return nullptr;
        A_ASSERT(h.isValid());
        A_ASSERT(h.myTypeIndex == myIndex);
        return mem(h.myAddr, false);
    }

    // Returns every live object once, the last roster entry first, so nothing is swapped.
    void returnLive()
    {
        while (myNextRosterIndex > 0)
            deallocAddr(myAddrsByRosterIndex[myNextRosterIndex - 1]);
    }
};
