#include "ObCleanCheck.h"

#include "aTypeName.h"

#include <typeinfo>

void ObCleanCheck::getSignature(rtl::str& signature, ObDirty const*) const
{
    signature = aTypeName(typeid(*this));
}

bool ObCleanCheck::needsCleaning(ObDirty const*)
{
    return false;
}
