#pragma once

#include "cmdTimelineZoomToPreset.h"

// 60 pixels for 365 days.
class cmdTimelineZoomToPreset_Years : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Years();
    static cmdTimelineZoomToPreset_Years ourInstance;
};
