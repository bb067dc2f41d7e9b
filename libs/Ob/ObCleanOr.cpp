#include "ObCleanOr.h"

#include "aAssert.h"

ObCleanOr::ObCleanOr(ObCleanCheck* first, ...) : ObCleanCombo("Or")
{
    va_list rest;
    va_start(rest, first);
    addAll(first, rest);
    va_end(rest);
}

bool ObCleanOr::needsCleaning(ObDirty const* dirt)
{
    if (!myChecks)
        return false;
    for (ObCleanCheck* check : *myChecks) {
        A_ASSERT(check);
        if (check->needsCleaning(dirt))
            return true;
    }
    return false;
}
