#include "cmdTimelineZoomToPreset_Weeks.h"

cmdTimelineZoomToPreset_Weeks cmdTimelineZoomToPreset_Weeks::ourInstance;

cmdTimelineZoomToPreset_Weeks::cmdTimelineZoomToPreset_Weeks() : cmdTimelineZoomToPreset(10080)
{
}
