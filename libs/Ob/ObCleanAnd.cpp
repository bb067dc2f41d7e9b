#include "ObCleanAnd.h"

#include "aAssert.h"

ObCleanAnd::ObCleanAnd(ObCleanCheck* first, ...) : ObCleanCombo("And")
{
    va_list rest;
    va_start(rest, first);
    addAll(first, rest);
    va_end(rest);
}

bool ObCleanAnd::needsCleaning(ObDirty const* dirt)
{
    if (!myChecks)
        return true;
    for (ObCleanCheck* check : *myChecks) {
        A_ASSERT(check);
        if (!check->needsCleaning(dirt))
            return false;
    }
    return true;
}
