#include "cmdViewLockTimeToNow.h"

#include "mScale.h"
#include "mTimeline.h"
#include "tlCmd.h"

cmdViewLockTimeToNow cmdViewLockTimeToNow::ourInstance;

bool cmdViewLockTimeToNow::isActiveTest() const
{
    return tlCmd::docAndTimeline(*this);
}

bool cmdViewLockTimeToNow::isCheckedTest() const
{
    mTimeline* tl = getTimeline();
    return tl && tl->getLockToNowFlag();
}

bool cmdViewLockTimeToNow::cmdAction()
{
    mTimeline* tl = getTimeline();
    if (!tl || !tl->timeScale())
        return false;
    if (!tl->getLockToNowFlag()) {
        tl->setLockToNowFlag(true);
        tl->timeScale()->viewCurrentTime(false);
        raiseDirt(DirtTimeScalePanToNow);
        raiseDirt(DirtTimeScalePan);
    } else {
        tl->setLockToNowFlag(false);
    }
    raiseDirt(DirtTimeScaleLockToNowChanged);
    requestRefresh();
    return true;
}
