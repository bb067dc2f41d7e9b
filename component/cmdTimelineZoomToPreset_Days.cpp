#include "cmdTimelineZoomToPreset_Days.h"

cmdTimelineZoomToPreset_Days cmdTimelineZoomToPreset_Days::ourInstance;

cmdTimelineZoomToPreset_Days::cmdTimelineZoomToPreset_Days() : cmdTimelineZoomToPreset(1440)
{
}
