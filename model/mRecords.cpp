#include "mRecords.h"

#include "ObClassTypeOf.h"
#include "mAttrLimits.h"
#include "mScale.h"
#include "tlObj.h"

#include <string>

bool mRecords::readOwnedScale(XmlReader& r, ObObj const& owner, char const* name, Obh& hdl,
                              mScale*& scale, bool& seen)
{
    std::string const element = std::string("\"") + name + "\"";
    if (seen) {
        // A second one would give back the scale the first one named, which may be anyone's.
        mAttrLimits::refuse(r, owner, (element + " is given twice").c_str());
        return true;
    }
    Obh read;
    if (!Obh::xmlReadHdl(r, &read, nullptr)) {
        mAttrLimits::refuse(r, owner, (element + " is not a readable handle").c_str());
        return true;
    }
    auto* type = tlObj::ourType_mScale;
    mScale* named = type && read.getType() == type ? type->ptrFromFile(read) : nullptr;
    if (!named || named == scale) {
        mAttrLimits::refuse(r, owner, (element + " names no scale of the document").c_str());
        return true;
    }
    seen = true;
    if (type->ptrFromFile(hdl))
        hdl.dealloc();
    hdl = read;
    scale = named;
    return true;
}
