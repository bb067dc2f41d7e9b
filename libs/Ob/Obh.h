#pragma once

#include "Ob.h"
#include "str.h"

#include <cstdint>
#include <functional>

class Obt;
class ObObj;
class XmlReader;
class XmlWriter;

// Names one object of one pool: the pool's type, the object's slot ("addr") and flags. A small
// value that owns nothing; copying or dropping a handle never touches the object. There is no
// generation count: a handle that outlives its object resolves to whatever later takes the slot.
// No virtual table: sets and objects of the model hold millions of handles.
class Obh
{
public:
    static constexpr uint64_t IsValid = 1;

    // Handles are copied and compared in every set and search of the model: all inline.
    Obh() : myTypeIndex(0), myAddr(0), myFlags(0), myType(nullptr) {}
    Obh(Obh const& other)
        : myTypeIndex(other.myTypeIndex)
        , myAddr(other.myAddr)
        , myFlags(other.myFlags)
        , myType(other.myType)
    {
    }
    Obh& operator=(Obh const& other)
    {
        myTypeIndex = other.myTypeIndex;
        myAddr = other.myAddr;
        myFlags = other.myFlags;
        myType = other.myType;
        return *this;
    }
    ~Obh() = default;

    bool isValid() const { return (myFlags & IsValid) != 0; }
    explicit operator bool() const { return isValid(); }

    // Same pool, slot and flags; the type index is not compared.
    bool operator==(Obh const& other) const
    {
        return myType == other.myType && myAddr == other.myAddr && myFlags == other.myFlags;
    }
    bool operator!=(Obh const& other) const { return !(*this == other); }
    // By pool, then slot; flags are ignored, so a valid and an invalid handle of one slot are
    // one key of a set. The order between pools is that of the pools' identities.
    bool operator<(Obh const& other) const
    {
        if (myType != other.myType)
            return std::less<Obt*>()(myType, other.myType);
        return myAddr < other.myAddr;
    }

    ObObj* obj();
    ObObj const* obj() const;
    void* mem();
    void const* mem() const;

    // Returns the object to its pool and clears this handle's valid bit; copies keep theirs.
    void dealloc();

    Obt* getType() const { return myType; }
    unsigned int getAddr() const { return myAddr; }
    unsigned int getTypeIndex() const { return myTypeIndex; }

    rtl::str desc() const;
    void dump(char const* prefix) const;

    // The handle element: "_t"="h", optional "_id", "tid", "oid", "flags". Without an element
    // name the attributes go on the element the caller has open.
    static bool xmlWriteHdl(XmlWriter& w, char const* elem, Obh const& h, char const* id);
    // Reads the handle element at the reader's current element. False when "tid", "oid" or
    // "flags" is missing or malformed, or "tid" names no type of the current store. "flags"
    // other than 0 or 1 (never written) also fails the reader, with the reason. What it reads
    // can name anything: resolve it with Obt::objFromFile or ObClassTypeOf<T>::ptrFromFile.
    static bool xmlReadHdl(XmlReader& r, Obh* tgt, rtl::str* id);

    uint32_t myTypeIndex;
    uint32_t myAddr;
    uint64_t myFlags;
    Obt* myType;
};
