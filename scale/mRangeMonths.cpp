#include "mRangeMonths.h"

mRangeMonths::mRangeMonths(int months, tlUnits* units, int index, double zoomBegin, double zoomEnd)
    : mRangeMonth(units, index, zoomBegin, zoomEnd), myMonths(months > 0 ? months : 1)
{
}

// Months counted from January (0 to 11), so that units of one length begin evenly.
int mRangeMonths::unitOfYear(mLocalFields const& f) const
{
    return floorBucket(f.month - 1, myMonths);
}

bool mRangeMonths::timesSpanAGridline(aTs const& previous, aTs const& current, double) const
{
    mLocalFields const a = fieldsOf(previous);
    mLocalFields const b = fieldsOf(current);
    return unitOfYear(a) != unitOfYear(b) || a.year != b.year;
}

void mRangeMonths::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (f.ok)
        setFields(t, f.year, 1 + unitOfYear(f) * myMonths, 1, 0, 0, 0);
}

// Every unit begins on a multiple of its months from January, as every gridline of the row does.
bool mRangeMonths::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && (f.month - 1) % myMonths == 0;
}

bool mRangeMonths::timeIsMinorGrid(aTs const&) const
{
    return false;
}
