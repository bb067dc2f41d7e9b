#include "cmdEventNew.h"

#include "tlCmp.h"

cmdEventNew cmdEventNew::ourInstance;

bool cmdEventNew::cmdAction()
{
    tlCmp* cmp = getCmp();
    if (!cmp || !cmp->getCmpTimeline())
        return false;
    cmp->newEvent(Obh());
    return true;
}
