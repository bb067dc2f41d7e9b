#pragma once

#include "Ob.h"
#include "Obh.h"
#include "XmlReadHandler.h"
#include "str.h"

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
    // Upper bound on the slots and the growth step a document may ask for.
    static constexpr uint32_t MaxReadSlots = 1u << 20;

    Obt(char const* name, int expandBy);
    ~Obt() override;

    virtual void reset(bool freeMem, bool deallocLive);
    virtual void postLoadHook() {}
    virtual char const* getName() const { return myName.c(); }
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
    virtual void inscope(Obh*) {}
    virtual void init(Obh*) {}
    virtual void outscope(Obh*) {}
    virtual void dump(char const*, int) const {}
    virtual rtl::str describeMem(void const* mem) const;
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

private:
    enum class ReadState { Type, Bank, Addr, Done };
    bool readBank(XmlReader& r);
    bool readAddr(XmlReader& r);
    bool refuse(XmlReader& r, char const* format, ...) __attribute__((format(printf, 3, 4)));

    ReadState myReadState = ReadState::Done;
    bool myReadSawBank = false;
    bool myReadObjectPending = false;
    uint32_t myReadAddr = 0;
};
