#include "Obt.h"

#include "ObEngine.h"
#include "ObObj.h"
#include "ObTrace.h"
#include "XmlReader.h"
#include "XmlWriter.h"
#include "aAssert.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// Counts and slots are 32-bit in the pool; hi never exceeds that.
bool readCount(XmlReader& r, char const* name, uint64_t lo, uint64_t hi, uint32_t& out)
{
    uint64_t v = 0;
    if (!r.getDecimalAttr(name, lo, hi, v))
        return false;
    out = static_cast<uint32_t>(v);
    return true;
}

} // namespace

Obt::Obt(char const* name, int expandBy)
    : myIndex(0)
    , myRosterIndicesByAddr(nullptr)
    , myAddrsByRosterIndex(nullptr)
    , mySize(0)
    , myName(name)
    , myNextRosterIndex(0)
    , myDataByteSize(0)
    , myExpandBy(static_cast<uint32_t>(expandBy))
{
    OB_TRACE("%s: Init state\n", name ? name : "");
}

Obt::~Obt()
{
    if (myEngine)
        myEngine->forgetType(this);
}

void Obt::reset(bool freeMem, bool deallocLive)
{
    if (mySize != 0 && deallocLive)
        while (myNextRosterIndex > 0)
            deallocAddr(myAddrsByRosterIndex[myNextRosterIndex - 1]);
    myNextRosterIndex = 0;
    if (freeMem)
        myClaimedSlots = 0;
}

Obh Obt::make()
{
    Obh h;
    make(h);
    A_ASSERT(h.isValid());
    return h;
}

bool Obt::make(Obh& h)
{
    h.myType = this;
    h.myTypeIndex = myIndex;
    alloc(&h);
    inscope(&h);
    A_ASSERT(h.isValid());
    return true;
}

bool Obt::make(Obh* h)
{
    h->myType = this;
    h->myTypeIndex = myIndex;
    alloc(h);
    inscope(h);
    A_ASSERT(h->isValid());
    return true;
}

bool Obt::isAddrValidTest(unsigned int addr)
{
    return mySize > 0 && addr < mySize && myRosterIndicesByAddr[addr] < myNextRosterIndex;
}

void* Obt::mem(Obh const&)
{
    return nullptr;
}

void const* Obt::mem(Obh const&) const
{
    return nullptr;
}

ObObj* Obt::obj(Obh const&)
{
    return nullptr;
}

ObObj const* Obt::obj(Obh const&) const
{
    return nullptr;
}

ObObj* Obt::objFromAddr(unsigned int) const
{
    return nullptr;
}

bool Obt::namesLiveSlot(Obh const& h) const
{
    return h.isValid() && h.myType == this && h.myTypeIndex == myIndex && h.myAddr < mySize &&
           myRosterIndicesByAddr[h.myAddr] < myNextRosterIndex;
}

ObObj* Obt::objFromFile(Obh const& h) const
{
    return namesLiveSlot(h) ? objFromAddr(h.myAddr) : nullptr;
}

uint64_t Obt::ourMemoryLimit = 0;

bool Obt::slotsFitInMemory(uint64_t slots) const
{
    uint64_t memory = ourMemoryLimit;
    if (memory == 0) {
        long const pages = ::sysconf(_SC_PHYS_PAGES);
        long const pageSize = ::sysconf(_SC_PAGESIZE);
        if (pages <= 0 || pageSize <= 0)
            return true;
        memory = static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
    }
    return slots <= memory / std::max<size_t>(slotBytes(), 1);
}

rtl::str Obt::describeMem(void const*) const
{
    rtl::str out;
    out.set("[%i bytes]", static_cast<int>(getDataByteSize()));
    return out;
}

void Obt::alloc(Obh* h)
{
    A_ASSERT(!(h->myFlags & Obh::IsValid));
    h->myFlags |= Obh::IsValid;
    if (myNextRosterIndex >= mySize) {
        // By the step, or by an eighth of the pool when that is more: a pool of many objects
        // grows a few times, not once per object (each growth copies the slot tables). A step
        // read from a document is only a hint: one new object never makes more than MaxStep
        // slots beyond that eighth, whatever the document asks. Slots a document claimed and
        // did not reach come first, as they would in a pool of that many.
        uint32_t step = std::max(std::min(myExpandBy, MaxStep), mySize / 8);
        if (mySize < myClaimedSlots)
            step = std::min(step, myClaimedSlots - mySize);
        OB_TRACE("%s: Expand by %u to alloc new, current=%u\n", OB_CLASS(*this), step, mySize);
        expandBy(step);
    }
    uint32_t addr = myAddrsByRosterIndex[myNextRosterIndex];
    h->myAddr = addr;
    OB_TRACE("%s: INIT INSTANCE %u\n", OB_CLASS(*this), addr);
    initInstance(addr);
    ++myNextRosterIndex;
    OB_TRACE("%s: ALLOC @ %p, Inc next index to: %i\n", OB_CLASS(*this), mem(*h), myNextRosterIndex);
}

void Obt::dealloc(Obh* h)
{
    if (myAddrsByRosterIndex) {
        A_ASSERT(h->myFlags & Obh::IsValid);
        deallocAddr(h->myAddr);
    }
    h->myFlags &= ~Obh::IsValid;
}

void Obt::deallocAddr(unsigned int addr)
{
    if (!isAddrValidTest(addr)) {
        // Freeing twice (through a stale copy of a handle) must not disturb the roster.
        A_TRACE_C("ired", "%s: deallocAddr of addr %u, which is not live: ignored\n", OB_CLASS(*this), addr);
        return;
    }
    uint32_t r = myRosterIndicesByAddr[addr];
    uint32_t last = myNextRosterIndex - 1;
    recycleInstance(addr);
    if (r != last) {
        uint32_t a = myAddrsByRosterIndex[last];
        myAddrsByRosterIndex[last] = addr;
        myAddrsByRosterIndex[r] = a;
        myRosterIndicesByAddr[addr] = last;
        myRosterIndicesByAddr[a] = r;
    }
    --myNextRosterIndex;
    OB_TRACE("%s: Dec next index to: %i\n", OB_CLASS(*this), myNextRosterIndex);
}

bool Obt::xmlWrite(XmlWriter& w) const
{
    OB_TRACE("type %s, writing %i addrs\n", getName(), myNextRosterIndex);
    bool ok = w.startElement("type") && w.addAttribute("name", getName());
    ok = ok && w.startElement("bank") && w.addAttribute("count", myNextRosterIndex) &&
         w.addAttribute("bytes", static_cast<int>(getDataByteSize())) &&
         w.addAttribute("total", std::max(mySize, myClaimedSlots)) &&
         w.addAttribute("inc", myExpandBy);
    // Ascending addr: a walk over the slots, testing each for life.
    std::vector<uint32_t> live;
    live.reserve(myNextRosterIndex);
    for (uint32_t addr = 0; ok && addr < mySize; ++addr)
        if (myRosterIndicesByAddr[addr] < myNextRosterIndex)
            live.push_back(addr);
    // Runs of slots may be formatted on several threads when the objects write alone and no
    // trace runs; a run that meets anything else is written again in order, one slot at a time.
    bool const apartAllowed = !Ob::ourTrace;
    size_t const runs = (live.size() + RunSlots - 1) / RunSlots;
    ok = ok && w.writeRuns(runs, [&](size_t run, XmlWriter& out, bool apart) {
        size_t const end = std::min(live.size(), (run + 1) * RunSlots);
        for (size_t k = run * RunSlots; k < end; ++k) {
            if (apart) {
                ObObj* o = apartAllowed ? objFromAddr(live[k]) : nullptr;
                if (!o || !o->xmlWritesAlone())
                    return false;
            }
            if (!xmlWriteSlot(out, live[k]))
                return false;
        }
        return true;
    });
    ok = ok && w.endElement() && w.endElement();
    return ok;
}

bool Obt::xmlWriteSlot(XmlWriter& w, uint32_t addr) const
{
    bool ok = w.startElement("addr") && w.addAttribute("_id", addr);
    ObObj* o = objFromAddr(addr);
    if (o) {
        ok = ok && w.startElement("object") &&
             w.addNameAttribute("_t", o->xmlGetObjectTypeName()) && o->xmlWrite(w) &&
             w.endElement();
    } else {
        ok = ok && w.startElement("data") &&
             xmlWriteMem(w, static_cast<char const*>(mem(addr, false))) && w.endElement();
    }
    return ok && w.endElement();
}

bool Obt::xmlObjFactory(char const* typeName, ObObj*& obj, Obh& h, char const*)
{
    return ObEngine::makeForRead(typeName, obj, h);
}

void Obt::xmlReadBegin()
{
    myReadState = ReadState::Type;
    myReadSawBank = false;
    myReadObjectPending = false;
}

bool Obt::refuse(XmlReader& r, char const* format, ...)
{
    char msg[512];
    int n = std::snprintf(msg, sizeof msg, "objects: type '%.200s': ", getName());
    if (n < 0)
        n = 0;
    va_list args;
    va_start(args, format);
    std::vsnprintf(msg + n, sizeof msg - static_cast<size_t>(n), format, args);
    va_end(args);
    A_TRACE_C("red", "%s\n", msg);
    r.fail(msg);
    return true;
}

bool Obt::readBank(XmlReader& r)
{
    if (myReadState != ReadState::Type || myReadSawBank)
        return refuse(r, "'bank' out of its place");
    uint32_t bytes = 0, total = 0, inc = 0, count = 0;
    if (!readCount(r, "bytes", 1, 4096, bytes))
        return refuse(r, "'bank' needs a 'bytes' of 1 to 4096");
    if (!readCount(r, "total", 0, UINT32_MAX, total))
        return refuse(r, "'bank' needs a 'total' of 0 to %u", UINT32_MAX);
    if (!readCount(r, "inc", 1, INT32_MAX, inc))
        return refuse(r, "'bank' needs an 'inc' of 1 to %d", INT32_MAX);
    // The step is taken as a whole when the pool is next full.
    if (!slotsFitInMemory(inc))
        return refuse(r, "'bank' has an 'inc' of %u slots, more than memory holds", inc);
    char const* countText = nullptr;
    if (r.getAttr("count", countText) && !readCount(r, "count", 0, total, count))
        return refuse(r, "'bank' has a 'count' that is not a number of 0 to 'total'");
    reset(true, true);
    myDataByteSize = bytes;
    myExpandBy = inc;
    myNextRosterIndex = 0;
    myClaimedSlots = total;
    OB_TRACE("%s: Xml read <bank>, byteSize=%i, inc=%i, numAddrs=%i, nextIndex=0\n",
             OB_CLASS(*this), static_cast<int>(bytes), inc, total);
    myReadSawBank = true;
    if (!r.isEmptyElement())
        myReadState = ReadState::Bank;
    return true;
}

// The pool grows with the addrs the document lists, not with the total it claims: to the addr
// read, doubling at least (a document lists its addrs in ascending order), never beyond the
// total. New slots come at the tail with identity entries, so the slots already placed stay
// where they are and the free ones are handed out in the order a pool of "total" slots would.
// The slots skipped cost their tables only: an object is made when its slot is first live.
bool Obt::growForRead(uint32_t addr)
{
    uint64_t const want =
        std::max<uint64_t>(addr + 1ull, std::min<uint64_t>(2ull * mySize, myClaimedSlots));
    if (!slotsFitInMemory(want))
        return false;
    expandBy(static_cast<uint32_t>(want - mySize));
    return true;
}

bool Obt::readAddr(XmlReader& r)
{
    if (myReadState != ReadState::Bank)
        return refuse(r, "'addr' out of its place");
    uint32_t id = 0;
    if (!readCount(r, "_id", 0, UINT32_MAX, id))
        return refuse(r, "'addr' needs an '_id' that is a number");
    if (id >= myClaimedSlots)
        return refuse(r, "'addr' %u is outside the pool of %u slots", id, myClaimedSlots);
    if (id >= mySize && !growForRead(id))
        return refuse(r, "'addr' %u needs a pool of more slots than memory holds", id);
    if (myRosterIndicesByAddr[id] < myNextRosterIndex)
        return refuse(r, "'addr' %u is read twice", id);
    uint32_t ri = myNextRosterIndex++;
    uint32_t old = myRosterIndicesByAddr[id];
    uint32_t a = myAddrsByRosterIndex[ri];
    myRosterIndicesByAddr[id] = ri;
    myRosterIndicesByAddr[a] = old;
    myAddrsByRosterIndex[ri] = id;
    myAddrsByRosterIndex[old] = a;
    OB_TRACE("%s: Xml read addr[%u] => roster[%u], pushing addr[%u] into roster[%u]\n", OB_CLASS(*this), id, ri, a,
             old);
    // The slot is live from here on, so its object is made and initialised now, also when no
    // "object" element follows.
    initInstance(id);
    myReadAddr = id;
    myReadObjectPending = true;
    if (!r.isEmptyElement())
        myReadState = ReadState::Addr;
    return true;
}

bool Obt::xmlReadStartElement(XmlReader& r, char const* name, int)
{
    if (std::strcmp(name, "bank") == 0)
        return readBank(r);
    if (std::strcmp(name, "addr") == 0)
        return readAddr(r);
    if (std::strcmp(name, "object") == 0) {
        if (myReadState != ReadState::Addr || !myReadObjectPending)
            return refuse(r, "'object' out of its place");
        myReadObjectPending = false;
        OB_TRACE("%s: Xml read object[%i] => data slot[%lu]\n", OB_CLASS(*this), myReadAddr,
                 static_cast<unsigned long>(myReadAddr));
        ObObj* o = objFromAddr(myReadAddr);
        A_ASSERT(o);
        if (!r.isEmptyElement())
            r.pushHandler(o, nullptr);
        return true;
    }
    if (std::strcmp(name, "data") == 0)
        return false;
    A_TRACE("Ignoring element '%s'\n", name);
    return false;
}

bool Obt::xmlReadEndElement(XmlReader& r, char const* name)
{
    if (std::strcmp(name, "type") == 0) {
        myReadState = ReadState::Done;
        // Take off whatever an object left above this type, then the type itself.
        while (r.currentHandler() != this && r.stackSize() > 0)
            r.popHandler();
        r.popHandler();
        return true;
    }
    if (std::strcmp(name, "object") == 0) {
        // Reached only when an object's own end did not pop it.
        if (r.currentHandler() != this)
            r.popHandler();
        return true;
    }
    if (std::strcmp(name, "addr") == 0) {
        if (myReadState == ReadState::Addr)
            myReadState = ReadState::Bank;
        myReadObjectPending = false;
        return true;
    }
    if (std::strcmp(name, "bank") == 0) {
        if (myReadState == ReadState::Bank)
            myReadState = ReadState::Type;
        return true;
    }
    return std::strcmp(name, "data") == 0;
}
