#pragma once

#include "Ob.h"
#include "Obh.h"
#include "XmlReadHandler.h"
#include "str.h"

#include <cstddef>
#include <cstdint>

class ObEngine;
class ObObj;
class XmlReader;
class XmlWriter;

// The untyped half of an object pool: the roster of live and free slots, allocation and
// freeing, and the pool's "type" element in a document. The slots themselves and the objects
// in them belong to ObClassTypeOf<T>.
//
// The two roster arrays are inverse permutations of [0, mySize): the live addrs are the first
// myNextRosterIndex entries of myAddrsByRosterIndex, the free ones follow.
class Obt : public Ob, public XmlReadHandler
{
public:
    Obt(char const* name, int expandBy);
    ~Obt() override;

    virtual void reset(bool freeMem, bool deallocLive);
    virtual void postLoadHook() {}
    virtual char const* getName() const { return myName.cs(); }
    virtual unsigned int getCurrentTypeCount() const { return myNextRosterIndex; }
    virtual Obh make();
    virtual bool make(Obh& h);
    virtual bool make(Obh* h);
    virtual bool isAddrValidTest(unsigned int addr);
    virtual void* mem(unsigned int addr, bool evenIfFree) const = 0;
    virtual void* mem(Obh const& h);
    virtual void const* mem(Obh const& h) const;
    virtual ObObj* obj(Obh const& h);
    virtual ObObj const* obj(Obh const& h) const;
    virtual ObObj* objFromAddr(unsigned int addr) const;

    // The one lookup for a handle that comes from a file (Obh::xmlReadHdl, or any reader of
    // handle elements): the object the handle names in this pool, or null when the handle is
    // not valid (flags 0), belongs to another pool, or names a slot that is out of range or
    // free. obj(), mem() and the typed ptr() assert what a handle made in this run satisfies;
    // a damaged document can name anything, so whatever resolves a handle read from XML goes
    // through here (typed: ObClassTypeOf<T>::ptrFromFile).
    ObObj* objFromFile(Obh const& h) const;
    bool namesLiveSlot(Obh const& h) const;
    virtual void inscope(Obh*) {}
    virtual void init(Obh*) {}
    virtual void outscope(Obh*) {}
    virtual void dump(char const*, int) const {}
    virtual rtl::str describeMem(void const* mem) const;
    // The pool's "type" element: its bank, then each live slot in ascending addr.
    virtual bool xmlWrite(XmlWriter& w) const;
    virtual bool xmlWriteMem(XmlWriter&, char const*) const { return false; }
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    virtual bool xmlObjFactory(char const* typeName, ObObj*& obj, Obh& h, char const* id);
    virtual unsigned int getTypeIndex() const { return myIndex; }
    virtual void expandBy(unsigned int) {}
    virtual void freeInstance(unsigned int) {}
    virtual void recycleInstance(unsigned int) {}
    virtual void initInstance(unsigned int) {}
    virtual void deallocAddr(unsigned int addr);

    void alloc(Obh* h);
    void dealloc(Obh* h);
    unsigned int getDataByteSize() const { return static_cast<unsigned int>(myDataByteSize); }
    // What one slot costs in memory once live, its object included. A pool grows only when
    // every slot is live, so a pool whose slots could not all hold an object in this memory was
    // never made here: a document may not ask for one. (A slot never live costs its tables only.)
    virtual size_t slotBytes() const
    {
        return static_cast<size_t>(myDataByteSize) + 2 * sizeof(uint32_t);
    }
    bool slotsFitInMemory(uint64_t slots) const;
    // The memory pools may claim, in bytes; 0 for the machine's. A reader of untrusted bytes
    // that runs under a limit of resident memory of its own sets it to that limit.
    static uint64_t ourMemoryLimit;

    // Called by the store when it hands this type's "type" element to it.
    void xmlReadBegin();

    uint32_t myIndex;
    uint32_t* myRosterIndicesByAddr;
    uint32_t* myAddrsByRosterIndex;
    uint32_t mySize;
    rtl::str myName;
    uint32_t myNextRosterIndex;
    uint64_t myDataByteSize;
    uint32_t myExpandBy;
    // The store this type is registered with; a type that goes first leaves it.
    ObEngine* myEngine = nullptr;

protected:
    // The slots the document claimed for this pool ("total"), which reading bounds its addrs
    // by. The pool gets only the slots its addrs reach, yet counts as that large: it writes
    // that total back and grows to it before growing beyond it, as a pool of that many slots
    // would. 0 once the pool's memory is freed.
    uint32_t myClaimedSlots = 0;

private:
    // Slots per run of a pool written on several threads (XmlWriter::writeRuns).
    static constexpr size_t RunSlots = 1024;
    // The most slots a full pool adds at once beyond an eighth of itself.
    static constexpr uint32_t MaxStep = 1u << 16;
    // One live slot: its "addr" element with its object, or its data.
    bool xmlWriteSlot(XmlWriter& w, uint32_t addr) const;

    enum class ReadState { Type, Bank, Addr, Done };
    bool readBank(XmlReader& r);
    bool readAddr(XmlReader& r);
    bool growForRead(uint32_t addr);
    bool refuse(XmlReader& r, char const* format, ...) __attribute__((format(printf, 3, 4)));

    ReadState myReadState = ReadState::Done;
    bool myReadSawBank = false;
    bool myReadObjectPending = false;
    uint32_t myReadAddr = 0;
};
