#include "cmdTimelineZoomToPreset_Hours.h"

cmdTimelineZoomToPreset_Hours cmdTimelineZoomToPreset_Hours::ourInstance;

cmdTimelineZoomToPreset_Hours::cmdTimelineZoomToPreset_Hours() : cmdTimelineZoomToPreset(60)
{
}
