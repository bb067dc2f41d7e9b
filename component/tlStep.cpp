#include "tlStep.h"

#include "ObDirty.h"
#include "mTrace.h"

#include <cstring>

bool tlStep::needsCleaning(ObDirty* dirt, char const* className)
{
    if (!dirt)
        return false;
    if (dirt != myEngine || std::strcmp(dirt->getDirtName(myId), myName) != 0) {
        myId = dirt->initCleanable(myName);
        myEngine = dirt;
    }
    if (!dirt->needsCleaningTest(myId))
        return false;
    M_TRACE_C("yellow", "--------------------------------------------------- %s cleaning %s\n",
              className, myName);
    return true;
}
