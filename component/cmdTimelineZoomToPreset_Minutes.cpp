#include "cmdTimelineZoomToPreset_Minutes.h"

cmdTimelineZoomToPreset_Minutes cmdTimelineZoomToPreset_Minutes::ourInstance;

cmdTimelineZoomToPreset_Minutes::cmdTimelineZoomToPreset_Minutes() : cmdTimelineZoomToPreset(15)
{
}
