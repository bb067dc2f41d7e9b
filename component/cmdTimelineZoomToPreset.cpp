#include "cmdTimelineZoomToPreset.h"

#include "mScale.h"
#include "mTimeline.h"

// In the order of the panel's buttons.
cmdTimelineZoomToPreset_Seconds cmdTimelineZoomToPreset_Seconds::ourInstance;
cmdTimelineZoomToPreset_Minutes cmdTimelineZoomToPreset_Minutes::ourInstance;
cmdTimelineZoomToPreset_Hours cmdTimelineZoomToPreset_Hours::ourInstance;
cmdTimelineZoomToPreset_Days cmdTimelineZoomToPreset_Days::ourInstance;
cmdTimelineZoomToPreset_Weeks cmdTimelineZoomToPreset_Weeks::ourInstance;
cmdTimelineZoomToPreset_Months cmdTimelineZoomToPreset_Months::ourInstance;
cmdTimelineZoomToPreset_Years cmdTimelineZoomToPreset_Years::ourInstance;

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

cmdTimelineZoomToPreset_Seconds::cmdTimelineZoomToPreset_Seconds() : cmdTimelineZoomToPreset(0.1)
{
}

cmdTimelineZoomToPreset_Minutes::cmdTimelineZoomToPreset_Minutes() : cmdTimelineZoomToPreset(15)
{
}

cmdTimelineZoomToPreset_Hours::cmdTimelineZoomToPreset_Hours() : cmdTimelineZoomToPreset(60)
{
}

cmdTimelineZoomToPreset_Days::cmdTimelineZoomToPreset_Days() : cmdTimelineZoomToPreset(1440)
{
}

cmdTimelineZoomToPreset_Weeks::cmdTimelineZoomToPreset_Weeks() : cmdTimelineZoomToPreset(10080)
{
}

cmdTimelineZoomToPreset_Months::cmdTimelineZoomToPreset_Months() : cmdTimelineZoomToPreset(40320)
{
}

cmdTimelineZoomToPreset_Years::cmdTimelineZoomToPreset_Years() : cmdTimelineZoomToPreset(525600)
{
}
