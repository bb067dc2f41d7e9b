#include "cmdTimelineZoomToPreset_Seconds.h"

cmdTimelineZoomToPreset_Seconds cmdTimelineZoomToPreset_Seconds::ourInstance;

cmdTimelineZoomToPreset_Seconds::cmdTimelineZoomToPreset_Seconds() : cmdTimelineZoomToPreset(0.1)
{
}
