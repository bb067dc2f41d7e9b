#include "mRangeHours.h"

mRangeHours::mRangeHours(int hours, tlUnits* units, int index, double zoomBegin, double zoomEnd,
                         bool twentyFourHourClock)
    : mRangeHour(units, index, zoomBegin, zoomEnd, twentyFourHourClock)
    , myHours(hours > 0 ? hours : 1)
{
}

bool mRangeHours::timesSpanAGridline(aTs const& previous, aTs const& current, double) const
{
    return floorBucket(fieldsOf(previous).hour, myHours) != floorBucket(fieldsOf(current).hour, myHours);
}

void mRangeHours::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (f.ok)
        setFields(t, f.year, f.month, f.day, f.hour - f.hour % myHours, 0, 0);
}

bool mRangeHours::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.hour % myHours == 0;
}

bool mRangeHours::timeIsMinorGrid(aTs const&) const
{
    return false;
}
