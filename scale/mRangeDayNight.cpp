#include "mRangeDayNight.h"

#include "aAssert.h"
#include "mRangeLabels.h"

mRangeDayNight::mRangeDayNight(tlUnits* units, int index, double zoomBegin, double zoomEnd, bool dayNightTicks)
    : mRange(units, index, zoomBegin, zoomEnd)
    , myDayNightTicks(dayNightTicks)
{
}

bool mRangeDayNight::calcTickBgColor(mGridline* g, double, int& r, int& gr, int& b, int& a) const
{
    if (!myDayNightTicks)
        A_ASSERT(0);
    mRangeLabels::dayNightTick(g->getHour(), true, r, gr, b, a);
    return true;
}

bool mRangeDayNight::calcTickFgColor(mGridline* g, double, int& r, int& gr, int& b, int& a) const
{
    if (!myDayNightTicks)
        A_ASSERT(0);
    mRangeLabels::dayNightTick(g->getHour(), false, r, gr, b, a);
    return true;
}
