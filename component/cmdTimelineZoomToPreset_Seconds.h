#pragma once

#include "cmdTimelineZoomToPreset.h"

// A tenth of a second a pixel.
class cmdTimelineZoomToPreset_Seconds : public cmdTimelineZoomToPreset
{
public:
    cmdTimelineZoomToPreset_Seconds();
    static cmdTimelineZoomToPreset_Seconds ourInstance;
};
