#include "cmdTimelineNewLayer.h"

#include "ObSelection.h"
#include "tlCmp.h"

cmdTimelineNewLayer cmdTimelineNewLayer::ourInstance;

bool cmdTimelineNewLayer::cmdAction()
{
    tlCmp* cmp = getCmp();
    ObSelection* selection = getSelectionEngine();
    if (!cmp || !cmp->getCmpTimeline() || !selection)
        return false;
    selection->setSelection(cmp->newLayer());
    requestRefresh();
    return true;
}
