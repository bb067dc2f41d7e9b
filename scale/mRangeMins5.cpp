#include "mRangeMins5.h"

#include "mRangeLabels.h"

mRangeMins5::mRangeMins5(tlUnits* units, int index, double zoomBegin, double zoomEnd, bool dayNightTicks)
    : mRangeDayNight(units, index, zoomBegin, zoomEnd, dayNightTicks)
{
    myLabelingSchemes.emplace_back(20.0f, LabelCallback(&mRangeLabels::labelMinute));
}

bool mRangeMins5::timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const
{
    if (secsPerPixel > 300.0)
        return true;
    return floorBucket(fieldsOf(previous).minute, 5) != floorBucket(fieldsOf(current).minute, 5);
}

void mRangeMins5::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (f.ok)
        setFields(t, f.year, f.month, f.day, f.hour, f.minute - f.minute % 5, 0);
}

bool mRangeMins5::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.minute % 30 == 0;
}

bool mRangeMins5::timeIsMinorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.minute % 15 == 0;
}
