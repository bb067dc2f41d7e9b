#include "cmdTimelineZoomToPreset_Years.h"

cmdTimelineZoomToPreset_Years cmdTimelineZoomToPreset_Years::ourInstance;

cmdTimelineZoomToPreset_Years::cmdTimelineZoomToPreset_Years() : cmdTimelineZoomToPreset(525600)
{
}
