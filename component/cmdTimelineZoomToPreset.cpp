#include "cmdTimelineZoomToPreset.h"

#include "mScale.h"
#include "mTimeline.h"

cmdTimelineZoomToPreset::cmdTimelineZoomToPreset(double secondsPerPixel) : myZoom(secondsPerPixel)
{
}

bool cmdTimelineZoomToPreset::cmdAction()
{
    mTimeline* tl = getTimeline();
    if (!tl || !tl->timeScale())
        return false;
    tl->timeScale()->setZoom(myZoom);
    raiseDirt(DirtTimeScaleZoom);
    requestRefresh();
    return true;
}
