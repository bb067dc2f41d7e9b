#pragma once

#include "cmdTimelineZoomToPreset.h"

// 60 pixels for 28 days.
class cmdTimelineZoomToPreset_Months : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Months();
    static cmdTimelineZoomToPreset_Months ourInstance;
};
