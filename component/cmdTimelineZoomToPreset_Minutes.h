#pragma once

#include "cmdTimelineZoomToPreset.h"

// 15 seconds a pixel.
class cmdTimelineZoomToPreset_Minutes : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Minutes();
    static cmdTimelineZoomToPreset_Minutes ourInstance;
};
