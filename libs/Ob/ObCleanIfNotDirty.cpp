#include "ObCleanIfNotDirty.h"

#include "ObDirty.h"

ObCleanIfNotDirty::ObCleanIfNotDirty(unsigned int dirtId) : myDirtId(dirtId)
{
}

void ObCleanIfNotDirty::getSignature(rtl::str& signature, ObDirty const* dirt) const
{
    if (dirt)
        signature.set("IfNotDirty[%s]", dirt->getDirtName(myDirtId));
    else
        signature.set("IfNotDirty[%i]", static_cast<int>(myDirtId));
}

bool ObCleanIfNotDirty::needsCleaning(ObDirty const* dirt)
{
    return !dirt->isDirty(myDirtId);
}
