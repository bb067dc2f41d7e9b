#include "mPayload.h"

bool mPayload::droppedIntoEvent(Obh&)
{
    return true;
}
