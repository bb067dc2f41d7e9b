#include "mRangeMonths.h"

mRangeMonths::mRangeMonths(int months, tlUnits* units, int index, double zoomBegin, double zoomEnd)
    : mRangeMonth(units, index, zoomBegin, zoomEnd)
    , myMonths(months > 0 ? months : 1)
{
}

bool mRangeMonths::timesSpanAGridline(aTs const& previous, aTs const& current, double) const
{
    return floorBucket(fieldsOf(previous).month, myMonths) != floorBucket(fieldsOf(current).month, myMonths);
}

// Month 0 (January and February of a 3-month unit) is December of the year before.
void mRangeMonths::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (f.ok)
        setFields(t, f.year, f.month - f.month % myMonths, 1, 0, 0, 0);
}

bool mRangeMonths::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.month % myMonths == 0;
}

bool mRangeMonths::timeIsMinorGrid(aTs const&) const
{
    return false;
}
