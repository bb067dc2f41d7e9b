#include "Obh.h"

#include "ObEngine.h"
#include "ObTrace.h"
#include "Obt.h"
#include "XmlReader.h"
#include "XmlWriter.h"
#include "aAssert.h"

#include <cstdio>
#include <functional>

// A handle that is not valid names nothing. It may come from a document ("flags" 0), so it
// resolves to null here rather than reaching the pool's assertion.
ObObj* Obh::obj()
{
    return myType && isValid() ? myType->obj(*this) : nullptr;
}

ObObj const* Obh::obj() const
{
    return myType && isValid() ? static_cast<Obt const*>(myType)->obj(*this) : nullptr;
}

void* Obh::mem()
{
    return myType && isValid() ? myType->mem(*this) : nullptr;
}

void const* Obh::mem() const
{
    return myType && isValid() ? static_cast<Obt const*>(myType)->mem(*this) : nullptr;
}

void Obh::dealloc()
{
    if (!isValid())
        return;
    A_ASSERT(myType);
    myType->dealloc(this);
}

rtl::str Obh::desc() const
{
    A_ASSERT(myType);
    return myType->describeMem(mem());
}

void Obh::dump(char const* prefix) const
{
    OB_TRACE("%s HDL - Type '%s'[%u], Addr[ %u ], IsValid=%s, mem=0x%lu\n", prefix ? prefix : "",
             myType ? myType->getName() : "NULL", myTypeIndex, myAddr, isValid() ? "YES" : "no",
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(mem())));
}

bool Obh::xmlWriteHdl(XmlWriter& w, char const* elem, Obh const& h, char const* id)
{
    Obt* type = h.myType;
    A_ASSERT(type);
    bool ok = true;
    if (elem)
        ok = w.startElement(elem);
    ok = ok && w.addNameAttribute("_t", "h");
    if (id)
        ok = ok && w.addAttribute("_id", id);
    ok = ok && w.addNameAttribute("tid", type->getName()) && w.addAttribute("oid", h.myAddr) &&
         w.addAttribute("flags", static_cast<int>(h.myFlags));
    if (elem)
        ok = ok && w.endElement();
    return ok;
}

bool Obh::xmlReadHdl(XmlReader& r, Obh* tgt, rtl::str* id)
{
    char const* tid = nullptr;
    uint64_t addr = 0, f = 0;
    if (!tgt || !r.getAttr("tid", tid) || !r.getDecimalAttr("oid", 0, UINT32_MAX, addr) ||
        !r.getDecimalAttr("flags", 0, UINT32_MAX, f))
        return false;
    // Only these are ever written: other bits would ride along in every set and selection that
    // the handle reaches, and be written back.
    if (f != 0 && f != IsValid) {
        char message[160];
        std::snprintf(message, sizeof message,
                      "the handle to \"%.40s\" %llu has \"flags\" = \"%llu\": only 0 (no object) "
                      "or 1 (an object) is written",
                      tid, static_cast<unsigned long long>(addr),
                      static_cast<unsigned long long>(f));
        r.fail(message);
        return false;
    }
    // A handle of a type this store does not have would resolve through nothing.
    Obt* type = Ob::ourEngine ? Ob::ourEngine->getTypeNamed(tid) : nullptr;
    if (!type)
        return false;
    tgt->myType = type;
    tgt->myTypeIndex = type->getTypeIndex();
    tgt->myAddr = static_cast<uint32_t>(addr);
    tgt->myFlags = f;
    if (id) {
        char const* text = nullptr;
        if (!r.getAttr("_id", text))
            return false;
        *id = text;
    }
    return true;
}
