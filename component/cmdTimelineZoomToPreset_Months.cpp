#include "cmdTimelineZoomToPreset_Months.h"

cmdTimelineZoomToPreset_Months cmdTimelineZoomToPreset_Months::ourInstance;

cmdTimelineZoomToPreset_Months::cmdTimelineZoomToPreset_Months() : cmdTimelineZoomToPreset(40320)
{
}
