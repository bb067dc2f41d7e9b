#pragma once

#include "cmdTimelineZoomToPreset.h"

// 60 pixels a day.
class cmdTimelineZoomToPreset_Days : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Days();
    static cmdTimelineZoomToPreset_Days ourInstance;
};
