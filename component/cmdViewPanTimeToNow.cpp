#include "cmdViewPanTimeToNow.h"

#include "mScale.h"
#include "mTimeline.h"
#include "tlCmd.h"

cmdViewPanTimeToNow cmdViewPanTimeToNow::ourInstance;

bool cmdViewPanTimeToNow::isActiveTest() const
{
    return tlCmd::docAndTimeline(*this);
}

bool cmdViewPanTimeToNow::cmdAction()
{
    mTimeline* tl = getTimeline();
    if (!tl || !tl->timeScale())
        return false;
    tl->timeScale()->viewCurrentTime(true);
    raiseDirt(DirtTimeScalePan);
    raiseDirt(DirtTimeScalePanToNow);
    requestRefresh();
    return true;
}
