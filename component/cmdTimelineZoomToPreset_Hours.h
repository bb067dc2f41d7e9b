#pragma once

#include "cmdTimelineZoomToPreset.h"

// A minute a pixel.
class cmdTimelineZoomToPreset_Hours : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Hours();
    static cmdTimelineZoomToPreset_Hours ourInstance;
};
