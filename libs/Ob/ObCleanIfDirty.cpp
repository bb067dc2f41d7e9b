#include "ObCleanIfDirty.h"

#include "ObDirty.h"

ObCleanIfDirty::ObCleanIfDirty(unsigned int dirtId) : myDirtId(dirtId)
{
}

void ObCleanIfDirty::getSignature(rtl::str& signature, ObDirty const* dirt) const
{
    if (dirt)
        signature.set("IfDirty[%s]", dirt->getDirtName(myDirtId));
    else
        signature.set("IfDirty[%i]", static_cast<int>(myDirtId));
}

bool ObCleanIfDirty::needsCleaning(ObDirty const* dirt)
{
    return dirt->isDirty(myDirtId);
}
