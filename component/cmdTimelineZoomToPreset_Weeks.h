#pragma once

#include "cmdTimelineZoomToPreset.h"

// 60 pixels a week.
class cmdTimelineZoomToPreset_Weeks : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Weeks();
    static cmdTimelineZoomToPreset_Weeks ourInstance;
};
