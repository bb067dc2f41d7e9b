#include "cmdTimelineNewLayer.h"

#include "ObSelection.h"
#include "mTimeline.h"

cmdTimelineNewLayer cmdTimelineNewLayer::ourInstance;

bool cmdTimelineNewLayer::cmdAction()
{
    mTimeline* tl = getTimeline();
    ObSelection* selection = getSelectionEngine();
    if (!tl || !selection)
        return false;
    selection->setSelection(tl->newLayer());
    requestRefresh();
    return true;
}
